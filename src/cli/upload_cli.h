#pragma once

#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/console_upload.h"

namespace tvx::cli {

// The options every transfer to the indicator takes: --port (required when asked), --map,
// --lang, --mem, --close-delay, --no-progress. The build's "--port" uses them too.
void addUploadOptions(CLI::App* command, const std::shared_ptr<ConsoleUploadOptions>& options,
                      bool portRequired);

// Runs the transfer and answers the exit status (reporting the failure on stderr).
int runUpload(ConsoleUploadKind kind, const std::string& file, const ConsoleUploadOptions& options);

}  // namespace tvx::cli
