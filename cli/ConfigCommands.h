#pragma once

#include "cli/Command.h"

#include <vector>

// The configuration file commands: save-config, load-config.
std::vector<Command> ConfigCommands();
