#include "cli/commands.h"

namespace tvx::cli {

// The build and inspect commands arrive with their module.
void registerBuildCommands(CLI::App& /*app*/, CommandRunner& /*runner*/) {}

}  // namespace tvx::cli
