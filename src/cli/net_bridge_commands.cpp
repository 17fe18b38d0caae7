#include "cli/net_bridge_commands.h"

#include <functional>
#include <optional>

#include "cli/net_text.h"

namespace tvx::cli {
namespace {

using namespace std::chrono_literals;
using KwxCtrl::THCNetViaTvx232;

constexpr auto kAnswerWait = 1s;
constexpr auto kResetWait = 3s;
constexpr auto kWriteEchoWait = 200ms;  // the bridge answers a write with the value it took
constexpr char kByteHint[] = "00..FF, hexadecimal";

using RegisterValue = std::uint8_t (THCNetViaTvx232::*)() const;

// The registers that "reg NAME" asks the bridge for again.
struct QueriedRegister {
  std::string_view name;
  void (THCNetViaTvx232::*query)();
  RegisterValue value;
};
constexpr QueriedRegister kQueriedRegisters[] = {
    {"R0", &THCNetViaTvx232::QueryYout, &THCNetViaTvx232::pr_Yout},
    {"R1", &THCNetViaTvx232::QueryXin, &THCNetViaTvx232::pr_Xin},
    {"RE", &THCNetViaTvx232::QueryHcnFlags, &THCNetViaTvx232::pr_RE},
};

// The registers that "reg NAME VALUE" writes.
struct WrittenRegister {
  std::string_view name;
  void (THCNetViaTvx232::*write)(std::uint8_t);
  RegisterValue value;
};
constexpr WrittenRegister kWrittenRegisters[] = {
    {"R8", &THCNetViaTvx232::pw_R8, &THCNetViaTvx232::pr_R8},
    {"R9", &THCNetViaTvx232::pw_R9, &THCNetViaTvx232::pr_R9},
};

template <typename Register, std::size_t kCount>
const Register* findRegister(const Register (&registers)[kCount], const std::string& name) {
  for (const Register& reg : registers) {
    if (reg.name == name) {
      return &reg;
    }
  }
  return nullptr;
}

// Sends a register query and waits for its answer; false after reporting.
bool askBridge(NetSession& session, const std::string& reg, const std::function<void()>& query) {
  if (!session.awaitBridgeReply(query, kAnswerWait)) {
    fail("the bridge did not answer the " + reg + " query within 1 s");
    return false;
  }
  return true;
}

void showRegisters(const THCNetViaTvx232& bridge) {
  say("R0 (outputs) " + hex2(bridge.pr_Yout()) + "  R1 (inputs) " + hex2(bridge.pr_Xin()) +
      "  R3 " + hex2(bridge.pr_R3()) + "  R4 " + hex2(bridge.pr_R4()) + "  R5 " +
      hex2(bridge.pr_R5()) + "  R6 " + hex2(bridge.pr_R6()) + "  R7 (largest packet) " +
      hex2(bridge.pr_R7()) + "  R8 " + hex2(bridge.pr_R8()) + "  R9 " + hex2(bridge.pr_R9()) +
      "  RE (network flags) " + hex2(bridge.pr_RE()));
}

}  // namespace

CommandOutcome readBridgeInputs(const CommandCall& call) {
  if (!call.args.empty()) {
    return usage(call);
  }
  THCNetViaTvx232& bridge = call.session.bridge();
  if (!askBridge(call.session, "R1", [&] { bridge.QueryXin(); })) {
    return CommandOutcome::Failed;
  }
  say("bridge inputs " + hex2(bridge.pr_Xin()) + ": " + bits(bridge.pr_Xin(), 'X'));
  return CommandOutcome::Ok;
}

CommandOutcome setBridgeOutputs(const CommandCall& call) {
  const auto value = call.args.size() == 1 ? parseHex(call.args[0], 0xFF) : std::nullopt;
  if (!value) {
    return usage(call, 0, kByteHint);
  }
  call.session.bridge().pw_Yout(static_cast<std::uint8_t>(*value));
  return CommandOutcome::Ok;
}

CommandOutcome bridgeRegisters(const CommandCall& call) {
  THCNetViaTvx232& bridge = call.session.bridge();
  if (call.args.empty()) {
    showRegisters(bridge);
    return CommandOutcome::Ok;
  }
  const std::string& name = call.args[0];
  const QueriedRegister* queried = findRegister(kQueriedRegisters, name);
  if (call.args.size() == 1 && queried != nullptr) {
    if (!askBridge(call.session, name, [&] { (bridge.*queried->query)(); })) {
      return CommandOutcome::Failed;
    }
    say(name + " " + hex2((bridge.*queried->value)()));
    return CommandOutcome::Ok;
  }
  const WrittenRegister* written = findRegister(kWrittenRegisters, name);
  if (call.args.size() == 2 && written != nullptr) {
    const auto value = parseHex(call.args[1], 0xFF);
    if (!value) {
      return usage(call, 1, kByteHint);
    }
    (bridge.*written->write)(static_cast<std::uint8_t>(*value));
    call.session.loop().runFor(kWriteEchoWait);
    say(name + " " + hex2((bridge.*written->value)()));
    return CommandOutcome::Ok;
  }
  return usage(call);
}

CommandOutcome resetBridge(const CommandCall& call) {
  THCNetViaTvx232& bridge = call.session.bridge();
  if (!call.session.awaitBridgeReply([&] { bridge.ResetRnsm(); }, kResetWait)) {
    return fail("the bridge did not announce its reset within 3 s");
  }
  return CommandOutcome::Ok;
}

}  // namespace tvx::cli
