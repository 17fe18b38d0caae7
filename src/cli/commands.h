#pragma once

#include "cli/command.h"

namespace tvx::cli {

// One registration function per command family, each in a <name>_command.cpp of its own.
void registerIniCommands(CLI::App& app, CommandRunner& runner);
void registerImageCommands(CLI::App& app, CommandRunner& runner);
void registerProjectCommands(CLI::App& app, CommandRunner& runner);
void registerBuildCommands(CLI::App& app, CommandRunner& runner);
void registerInspectCommands(CLI::App& app, CommandRunner& runner);
void registerCheckCommands(CLI::App& app, CommandRunner& runner);
void registerPortCommands(CLI::App& app, CommandRunner& runner);
void registerUploadCommands(CLI::App& app, CommandRunner& runner);
void registerNetCommands(CLI::App& app, CommandRunner& runner);

}  // namespace tvx::cli
