#pragma once

#include "cli/Command.h"

#include <vector>

namespace korvane {

// The game commands: command-line, launch, quickexec.
std::vector<Command> GameCommands();

} // namespace korvane
