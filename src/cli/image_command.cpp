#include "cli/commands.h"

namespace tvx::cli {

// The convert and crc8 commands arrive with their module.
void registerImageCommands(CLI::App& /*app*/, CommandRunner& /*runner*/) {}

}  // namespace tvx::cli
