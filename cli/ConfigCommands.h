#pragma once

#include "cli/Command.h"

#include <vector>

namespace korvane {

// The configuration file commands: save-config, load-config, undo-load.
std::vector<Command> ConfigCommands();

} // namespace korvane
