#pragma once

#include "cli/net_command_call.h"

namespace tvx::cli {

// The session's commands on the modules of the topology; each takes SEG NODE first.

// modules: every module with its outputs and inputs.
CommandOutcome listModules(const CommandCall& call);
// set SEG NODE VALUE
CommandOutcome setModuleOutputs(const CommandCall& call);
// bit SEG NODE INDEX 0|1
CommandOutcome setModuleOutput(const CommandCall& call);
// reset SEG NODE
CommandOutcome resetModule(const CommandCall& call);
// ask SEG NODE version|class|customer: waits for the answer, which the session prints.
CommandOutcome askModule(const CommandCall& call);

}  // namespace tvx::cli
