#include "cli/net_module_commands.h"

#include "cli/net_text.h"

namespace tvx::cli {
namespace {

using namespace std::chrono_literals;
using KwxCtrl::THCNetViaTvx232;
using KwxCtrl::TTvx4i4o;

constexpr auto kAnswerWait = 1s;

// The module at the arguments' SEG NODE, or null after reporting.
TTvx4i4o* findModule(const CommandCall& call) {
  const THCNetViaTvx232& bridge = call.session.bridge();
  const auto seg = parseHex(call.args[0], KwxCtrl::kHcnMaxSegId);
  const auto node = parseHex(call.args[1], KwxCtrl::kHcnMaxNodeId);
  if (!seg || !node) {
    fail("\"" + call.args[0] + " " + call.args[1] +
         "\" is no module address (segment 00..80, node 00..7F, hexadecimal)");
    return nullptr;
  }
  if (bridge.pr_TopologicClsId(*seg, *node) != KwxCtrl::hci_Tvx4i4o) {
    fail("no module at " + address(*seg, *node) + " in the topology file " + bridge.pr_FileName());
    return nullptr;
  }
  return bridge.pr_Tvx4i4o(*seg, *node);
}

}  // namespace

CommandOutcome listModules(const CommandCall& call) {
  const THCNetViaTvx232& bridge = call.session.bridge();
  const auto addresses = topologyModules(bridge);
  for (const auto& [seg, node] : addresses) {
    const TTvx4i4o* found = bridge.pr_Tvx4i4o(seg, node);
    say(address(seg, node) + "  outputs " + hex2(found->pr_Yout()) + "  inputs " +
        hex2(found->pr_Xin()) + " (was " + hex2(found->pr_Old_Xin()) +
        "): " + bits(found->pr_Xin(), 'X'));
  }
  if (addresses.empty()) {
    say("the topology file declares no module");
  }
  return CommandOutcome::Ok;
}

CommandOutcome setModuleOutputs(const CommandCall& call) {
  if (call.args.size() != 3) {
    return usage(call);
  }
  TTvx4i4o* target = findModule(call);
  const auto value = parseHex(call.args[2], 0xFF);
  if (target == nullptr) {
    return CommandOutcome::Failed;
  }
  if (!value) {
    return fail("\"" + call.args[2] + "\" is no byte value (00..FF, hexadecimal)");
  }
  target->pw_Yout(static_cast<std::uint8_t>(*value));
  return CommandOutcome::Ok;
}

CommandOutcome setModuleOutput(const CommandCall& call) {
  if (call.args.size() != 4) {
    return usage(call);
  }
  TTvx4i4o* target = findModule(call);
  const auto index = parseDecimal(call.args[2], 3);
  const auto on = parseDecimal(call.args[3], 1);
  if (target == nullptr) {
    return CommandOutcome::Failed;
  }
  if (!index || !on) {
    return usage(call, 0, "INDEX 0..3");
  }
  target->pw_BitOfY(static_cast<int>(*index), *on == 1);
  return CommandOutcome::Ok;
}

CommandOutcome resetModule(const CommandCall& call) {
  if (call.args.size() != 2) {
    return usage(call);
  }
  TTvx4i4o* target = findModule(call);
  if (target == nullptr) {
    return CommandOutcome::Failed;
  }
  target->RequestToReset();
  return CommandOutcome::Ok;
}

CommandOutcome askModule(const CommandCall& call) {
  if (call.args.size() != 3) {
    return usage(call);
  }
  TTvx4i4o* target = findModule(call);
  if (target == nullptr) {
    return CommandOutcome::Failed;
  }
  const std::string& what = call.args[2];
  void (TTvx4i4o::*query)() = what == "version"    ? &TTvx4i4o::QueryHcnProtocolVersion
                              : what == "class"    ? &TTvx4i4o::QueryHcnClsId
                              : what == "customer" ? &TTvx4i4o::QueryHcnCustomerId
                                                   : nullptr;
  if (query == nullptr) {
    return usage(call);
  }
  if (!call.session.awaitModuleReply([&] { (target->*query)(); }, kAnswerWait)) {
    return fail("module " + call.args[0] + "/" + call.args[1] + " did not answer within 1 s");
  }
  return CommandOutcome::Ok;
}

}  // namespace tvx::cli
