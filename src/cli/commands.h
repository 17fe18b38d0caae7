#pragma once

#include "cli/command.h"

namespace tvx::cli {

// One registration function per command family, each in its own <family>_command.cpp.
void registerIniCommands(CLI::App& app, CommandRunner& runner);

}  // namespace tvx::cli
