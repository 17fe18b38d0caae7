#include "cli/commands.h"

namespace tvx::cli {

void registerIniCommands(CLI::App& app, CommandRunner& runner) {
  CLI::App* ini = app.add_subcommand("ini", "Read and change INI files as the settings store does");
  ini->require_subcommand(1);
  (void)runner;
}

}  // namespace tvx::cli
