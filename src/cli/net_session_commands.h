#pragma once

#include <string>

#include "cli/net_command_call.h"

namespace tvx::cli {

// Runs one command line on the session ("set 05 12 0F"); empty lines and lines that begin
// with "#" do nothing. A failure has been reported on standard error. input is where the
// lines come from, or null for the commands of the command line.
CommandOutcome runSessionCommand(NetSession& session, const std::string& line, StdinLines* input);

// The session's commands and how they are written, as "help" shows them.
const std::string& sessionCommandHelp();

}  // namespace tvx::cli
