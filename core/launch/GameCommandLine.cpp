#include "core/launch/GameCommandLine.h"

#include "core/platform/KPath.h"

#include <algorithm>

namespace korvane::launch {

std::string BuildGameCommandLine(bool dedicated, const std::vector<std::string>& mods,
                                 std::string_view extraCmdLine)
{
    std::string parameters;
    if (dedicated)
        parameters = "-dedicated";
    for (const std::string& name : mods) {
        parameters += parameters.empty() ? "-mod " : " -mod ";
        parameters += name;
    }
    if (!extraCmdLine.empty()) {
        parameters += ' ';
        parameters += extraCmdLine;
    }
    return parameters;
}

std::string BuildGameCommandLine(const LaunchChoices& choices)
{
    return BuildGameCommandLine(choices.dedicated, choices.mods, choices.extraCommandLine);
}

std::size_t SplitString(std::string_view text, char separator, std::vector<std::string>& names)
{
    if (text.empty())
        return 0;
    std::size_t count = 0;
    std::size_t start = 0;
    for (std::size_t cut = text.find(separator, 1); cut != std::string_view::npos;
         cut = text.find(separator, cut + 1)) {
        names.emplace_back(text.substr(start, cut - start));
        ++count;
        start = cut + 1;
    }
    names.emplace_back(text.substr(start));
    return count + 1;
}

std::string FolderName(std::string_view path)
{
    const auto last = std::find_if(path.rbegin(), path.rend(), kpath::IsSeparator);
    return std::string(last.base(), path.end());
}

std::string GetKorvaneFolderName(std::string_view korvaneFolder)
{
    if (kpath::EndsWithSeparator(korvaneFolder))
        korvaneFolder.remove_suffix(1);
    // Without a separator left the setting is empty or a drive such as "C:", neither of which
    // is a modification folder.
    if (std::none_of(korvaneFolder.begin(), korvaneFolder.end(), kpath::IsSeparator))
        return {};
    return FolderName(korvaneFolder);
}

} // namespace korvane::launch
