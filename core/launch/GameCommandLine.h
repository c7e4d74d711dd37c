#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The parameter string tribes.exe is started with, and the modification names it is made of.
namespace korvane::launch {

// What the player chooses for one start of the game, in the Execute dialog or as QuickExec.
struct LaunchChoices
{
    std::vector<std::string> mods; // modification folder names, in the order the game loads them
    bool dedicated = false;
    std::string extraCommandLine; // appended exactly as typed
};

// "-dedicated", then "-mod <name>" for each name in order, then the extra text after one blank,
// all separated by single blanks. Names are not quoted: the game takes them as they are.
std::string BuildGameCommandLine(bool dedicated, const std::vector<std::string>& mods,
                                 std::string_view extraCmdLine);
std::string BuildGameCommandLine(const LaunchChoices& choices);

// Appends to names the parts of text between separators and returns how many it appended. A
// separator at the very start does not cut (it stays in the first part); two separators in a
// row give an empty part. An empty text gives nothing.
std::size_t SplitString(std::string_view text, char separator, std::vector<std::string>& names);

// A folder's name as the game's -mod switch takes it: the text after the path's last separator.
std::string FolderName(std::string_view path);

// The name of the Korvane folder, with or without its trailing separator. Empty when the setting
// names no folder of its own (not set, or the root of a drive or file system).
std::string GetKorvaneFolderName(std::string_view korvaneFolder);

} // namespace korvane::launch
