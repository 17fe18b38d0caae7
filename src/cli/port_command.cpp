#include "cli/commands.h"

namespace tvx::cli {

// The ports commands arrive with their module.
void registerPortCommands(CLI::App& /*app*/, CommandRunner& /*runner*/) {}

}  // namespace tvx::cli
