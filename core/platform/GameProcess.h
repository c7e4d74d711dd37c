#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Starting the game: a program that runs on its own, outside the program's control, from the
// parameter string a Windows program receives.
namespace kprocess {

// Splits a parameter string into arguments the way the C runtime of a Windows program splits its
// command line: blanks and tabs separate arguments outside double quotes; 2n backslashes before
// a quote give n backslashes and the quote opens or closes a quoted part, 2n+1 give n backslashes
// and a literal quote; "" inside a quoted part is a literal quote; other backslashes are literal.
std::vector<std::string> SplitWindowsArguments(std::string_view parameters);

enum class ProgramKind
{
    Windows, // starts with the "MZ" signature
    Native,  // an executable of the platform itself (only on POSIX)
};

enum class StartResult
{
    Started,
    WineNotFound, // a Windows program on POSIX, and no wine on PATH to run it
    Failed,
};

// Starts program in workingFolder without waiting for it. On Windows the program receives the
// parameter string unchanged; elsewhere the string is split into arguments as the program would
// split it, and a Windows program runs through wine found on PATH. No shell ever reads the
// string, so text typed by the user stays arguments.
StartResult StartDetached(const std::filesystem::path& program, ProgramKind kind,
                          std::string_view parameters, const std::filesystem::path& workingFolder);

} // namespace kprocess
