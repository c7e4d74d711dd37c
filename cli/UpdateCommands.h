#pragma once

#include "cli/Command.h"

#include <vector>

// The updater commands: updates, install.
std::vector<Command> UpdateCommands();
