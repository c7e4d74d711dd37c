#pragma once

#include "cli/Command.h"

#include <vector>

namespace korvane {

// The command that shows plug-ins in use that define the same function: conflicts.
std::vector<Command> ClashCommands();

} // namespace korvane
