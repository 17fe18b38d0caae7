#include "cli/commands.h"

namespace tvx::cli {

// The project new/show commands arrive with their module.
void registerProjectCommands(CLI::App& /*app*/, CommandRunner& /*runner*/) {}

}  // namespace tvx::cli
