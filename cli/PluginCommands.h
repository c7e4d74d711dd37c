#pragma once

#include "cli/Command.h"

#include <vector>

namespace korvane {

// The catalogue commands: sync, list, use, unuse, describe, hold, release.
std::vector<Command> PluginCommands();

} // namespace korvane
