#pragma once

namespace korvane {

// What korvane-cli returns to the shell; scripts rely on these three values.
enum ExitStatus : int
{
    kExitSuccess = 0,
    kExitFailure = 1, // the command ran and failed; the reason is on standard error
    kExitUsage = 2,   // the command line was wrong; a usage line is on standard error
};

} // namespace korvane
