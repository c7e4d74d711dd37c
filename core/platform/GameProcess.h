#pragma once

#include "core/platform/Status.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Starting the game: a program that runs on its own, outside the program's control, from the
// parameter string a Windows program receives.
namespace korvane::kprocess {

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

// Why StartDetached did not start the program.
enum class StartFailure
{
    WineNotFound, // a Windows program on POSIX, and the command that runs it cannot be found
    Failed,       // the reason is the system's, when it gave one (Windows does), else empty
};

// How a Windows program runs on POSIX, as the user chose it.
struct WineSettings
{
    // The program that runs Windows programs, optionally followed by arguments of its own; a word
    // in double quotes may hold blanks. No shell reads it. Blank: wine found on PATH.
    std::string command;
    // The Wine prefix to run in; empty: the prefix that holds the program, else Wine's default.
    std::string prefix;

    bool operator==(const WineSettings&) const = default;
};

inline constexpr char kDefaultWineCommand[] = "wine";

// The words of the command: its program first, then its own arguments; the default command
// when it is blank.
std::vector<std::string> SplitWineCommand(std::string_view command);

// The program of the command, as the user will recognise it in a message.
std::string WineProgram(std::string_view command);

// True when the folder is a Wine prefix: it holds the registry file system.reg and drive_c.
bool IsWinePrefix(const std::filesystem::path& folder);

// The prefix a Windows program in programFolder runs in: a prefix of the environment (WINEPREFIX)
// first, then the one the user set, then the nearest folder above programFolder that holds
// system.reg and the drive_c that programFolder lies in. Empty: Wine's own default.
std::string ChooseWinePrefix(const std::filesystem::path& programFolder,
                             std::string_view userPrefix, std::string_view environmentPrefix);

// Starts program in workingFolder without waiting for it. On Windows the program receives the
// parameter string unchanged; elsewhere the string is split into arguments as the program would
// split it, and a Windows program runs through the Wine command in the prefix ChooseWinePrefix
// gives. No shell ever reads the string, so text typed by the user stays arguments. Fails with
// a StartFailure.
korvane::Status StartDetached(const std::filesystem::path& program, ProgramKind kind,
                              std::string_view parameters,
                              const std::filesystem::path& workingFolder, const WineSettings& wine);

} // namespace korvane::kprocess
