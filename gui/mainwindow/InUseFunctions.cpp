#include "gui/mainwindow/InUseFunctions.h"

#include "core/platform/KPath.h"
#include "gui/widgets/ShownText.h"

#include <utility>

namespace korvane::mainwindow {

using widgets::ShownText;

namespace {

std::string Place(const std::string& subdirectory, const std::string& key)
{
    // A subfolder's name holds no null character.
    return kpath::Lowered(subdirectory) + '\0' + kpath::Lowered(key);
}

} // namespace

void InUseFunctions::setName(const PluginFunctions& plugin, QString name)
{
    m_names.insert_or_assign(Place(plugin.subdirectory, plugin.key), std::move(name));
}

QString InUseFunctions::nameOf(const FunctionClash::Definer& definer) const
{
    const auto found = m_names.find(Place(definer.subdirectory, definer.key));
    if (found != m_names.end())
        return found->second;
    return ShownText(definer.key);
}

} // namespace korvane::mainwindow
