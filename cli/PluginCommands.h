#pragma once

#include "cli/Command.h"

#include <vector>

// The catalogue commands: sync, list, use, unuse, describe.
std::vector<Command> PluginCommands();
