#include "cli/commands.h"

namespace tvx::cli {

// The net commands arrive with their module.
void registerNetCommands(CLI::App& /*app*/, CommandRunner& /*runner*/) {}

}  // namespace tvx::cli
