#pragma once

#include "core/catalogue/FunctionClashes.h"
#include "core/catalogue/PluginFunctions.h"
#include "core/platform/Status.h"

#include <QString>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvane::mainwindow {

// The functions that the plug-ins in use define and where they clash, as one look at the plugins
// folder read them, with the name the window shows each of those plug-ins by: what the marks,
// the panel and the Clashes dialog tell.
class InUseFunctions
{
public:
    InUseFunctions() = default;
    explicit InUseFunctions(functionclashes::InUse read) : m_read(std::move(read)) {}

    const std::vector<PluginFunctions>& plugins() const { return m_read.plugins; }
    const std::vector<FunctionClash>& clashes() const { return m_read.clashes; }
    // Why folders and scripts could not be read; ok when everything was.
    const korvane::Status& unreadable() const { return m_read.unreadable; }

    void setName(const PluginFunctions& plugin, QString name);
    // The name of a plug-in in use that defines a clash's function, else its key.
    QString nameOf(const FunctionClash::Definer& definer) const;

private:
    functionclashes::InUse m_read;
    // By subfolder and key, both in lower case: the plugins folder tells no letter case apart.
    std::unordered_map<std::string, QString> m_names;
};

} // namespace korvane::mainwindow
