#pragma once

#include "cli/net_command_call.h"

namespace tvx::cli {

// The session's commands on the bridge's own inputs, outputs and registers.

// inputs: asks for R1 again and shows it.
CommandOutcome readBridgeInputs(const CommandCall& call);
// outputs VALUE: writes R0.
CommandOutcome setBridgeOutputs(const CommandCall& call);
// reg shows every register, reg R0|R1|RE asks for one again, reg R8|R9 VALUE writes one.
CommandOutcome bridgeRegisters(const CommandCall& call);
// resetbridge: resets the bridge and waits until it announces the reset.
CommandOutcome resetBridge(const CommandCall& call);

}  // namespace tvx::cli
