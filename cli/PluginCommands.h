#pragma once

#include "cli/Command.h"

#include <vector>

// The catalogue commands: list, use, unuse, describe.
std::vector<Command> PluginCommands();
