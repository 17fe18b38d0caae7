#include "cli/commands.h"

namespace tvx::cli {

// The upload, clock and sim commands arrive with their module.
void registerUploadCommands(CLI::App& /*app*/, CommandRunner& /*runner*/) {}

}  // namespace tvx::cli
