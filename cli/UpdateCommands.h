#pragma once

#include "cli/Command.h"

#include <vector>

namespace korvane {

// The updater commands: updates, install.
std::vector<Command> UpdateCommands();

} // namespace korvane
