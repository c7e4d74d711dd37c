#include "core/updater/HeldPlugins.h"

#include "core/catalogue/FolderListings.h"
#include "core/catalogue/PluginScript.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/KPath.h"
#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "core/updater/UpdateFilePlace.h"

#include <algorithm>

namespace korvane {

namespace {

// No key holds one: the scan refuses a file name with a backslash.
constexpr char kKeySeparator = '\\';

// The names of a path below the Korvane folder, without the empty ones doubled separators leave.
std::vector<std::string_view> NamesOf(std::string_view path)
{
    std::vector<std::string_view> names;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && !kpath::IsSeparator(path[end]))
            ++end;
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// A file below storage\ or plugins\ is a plug-in's, stored or in use; anything else under the
// Korvane folder (the modification's own korvane.cs) belongs to no plug-in.
bool IsPluginFile(const std::vector<std::string_view>& names)
{
    return names.size() >= 2 && (kpath::EqualsNoCase(names.front(), "storage") ||
                                 kpath::EqualsNoCase(names.front(), "plugins"));
}

} // namespace

HeldPlugins HeldPlugins::Load(const SettingsProfile& profile)
{
    HeldPlugins held;
    const std::string joined = Settings(profile).HeldKeys();
    size_t start = 0;
    while (start <= joined.size()) {
        const size_t end = std::min(joined.find(kKeySeparator, start), joined.size());
        held.Hold(std::string_view(joined).substr(start, end - start));
        start = end + 1;
    }
    return held;
}

bool HeldPlugins::Store(const SettingsProfile& profile) const
{
    std::string joined;
    for (const std::string& key : m_keys) {
        if (!joined.empty())
            joined += kKeySeparator;
        joined += key;
    }
    return Settings(profile).SetHeldKeys(joined);
}

bool HeldPlugins::IsHeld(std::string_view key) const
{
    if (m_keys.empty()) // most players hold nothing: a catalogue is marked without a conversion
        return false;
    const std::string text = textencoding::ToUtf8(key);
    return std::any_of(m_keys.begin(), m_keys.end(), [&text](const std::string& held) {
        return kpath::EqualsNoCase(held, text);
    });
}

void HeldPlugins::Hold(std::string_view key)
{
    if (!pluginscript::IsUsableKey(key) || key.find(kKeySeparator) != std::string_view::npos ||
        IsHeld(key))
        return;
    m_keys.push_back(textencoding::ToUtf8(key));
}

bool HeldPlugins::Release(std::string_view key)
{
    const std::string text = textencoding::ToUtf8(key);
    return std::erase_if(m_keys, [&text](const std::string& held) {
               return kpath::EqualsNoCase(held, text);
           }) > 0;
}

std::vector<std::string> HeldPlugins::ReplacedBy(const CUpdateInfo& update,
                                                 const Path& korvaneFolder) const
{
    std::vector<std::string> replaced;
    if (m_keys.empty())
        return replaced;
    const auto places = UpdateFilePlace::Of(update, korvaneFolder);
    if (!places)
        return replaced;
    const size_t below = korvaneFolder.AsFolder().Stored().size();
    std::vector<std::string_view> pluginFiles;
    for (const UpdateFilePlace& place : *places) {
        const std::vector<std::string_view> names =
            NamesOf(std::string_view(place.stored).substr(below));
        if (IsPluginFile(names))
            pluginFiles.push_back(names.back());
    }
    for (const std::string& key : m_keys) {
        if (std::any_of(pluginFiles.begin(), pluginFiles.end(),
                        [&key](std::string_view name) { return fileops::MatchesKey(name, key); }))
            replaced.push_back(key);
    }
    return replaced;
}

} // namespace korvane
