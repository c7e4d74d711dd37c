#pragma once

#include "cli/Command.h"

#include <vector>

// The game commands: command-line, launch, quickexec.
std::vector<Command> GameCommands();
