#pragma once

#include "cli/Command.h"

#include <vector>

// The configuration file commands: save-config, load-config, undo-load.
std::vector<Command> ConfigCommands();
