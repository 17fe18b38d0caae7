// tvx880 net: talk to the input/output modules of a device network through its RS-232 bridge,
// so that a technician can test a wiring without writing a program.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/net_session.h"
#include "cli/net_session_commands.h"
#include "cli/net_text.h"
#include "cli/stdin_lines.h"
#include "util/platform_exception.h"

namespace tvx::cli {
namespace {

using KwxCtrl::THCNetViaTvx232;
using KwxCtrl::TTvx4i4o;

int runConnect(const std::string& port, const std::string& topology,
               const std::vector<std::string>& commands) {
  NetSession session(port, topology);
  if (!session.connect()) {
    return kExitFailure;
  }
  if (!commands.empty()) {
    for (const std::string& command : commands) {
      const auto outcome = runSessionCommand(session, command, nullptr);
      if (outcome == CommandOutcome::Failed) {
        return kExitFailure;
      }
      if (outcome == CommandOutcome::Quit) {
        break;
      }
    }
    return kExitOk;
  }

  const bool interactive = ::isatty(STDIN_FILENO) != 0;
  StdinLines input(session.loop());
  if (interactive) {
    say("type help for the commands");
  }
  bool failed = false;
  for (;;) {
    if (interactive) {
      std::fputs("net> ", stdout);
      std::fflush(stdout);
    }
    session.loop().runUntil([&] { return input.ready(); },
                            tvx::LocalEventLoop::Clock::time_point::max());
    const auto line = input.take();
    if (!line) {
      break;  // end of input
    }
    const auto outcome = runSessionCommand(session, *line, &input);
    if (outcome == CommandOutcome::Quit) {
      break;
    }
    // A script stops at its first failed command; a technician at the prompt goes on.
    if (outcome == CommandOutcome::Failed && !interactive) {
      failed = true;
      break;
    }
  }
  return failed ? kExitFailure : kExitOk;
}

// Loads and checks a topology file the way Connect does, without a line.
int runCheck(const std::string& topology) {
  TTvx4i4o tmpl(nullptr);
  THCNetViaTvx232 bridge(nullptr);
  bridge.pw_Name(kNetBridgeName);
  bridge.pw_FileName(topology);
  bridge.pw_DefHandler_Tvx4i4o(&tmpl);
  try {
    bridge.LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic();
  } catch (const tvx::platform::Exception& error) {
    return reportFailure(oneLine(error.Message()));
  }
  const auto modules = topologyModules(bridge);
  for (const auto& [seg, node] : modules) {
    say(address(seg, node) + "  TVX_4i4o");
  }
  say(topology + ": " + std::to_string(modules.size()) + " module(s)");
  return kExitOk;
}

}  // namespace

void registerNetCommands(CLI::App& app, CommandRunner& runner) {
  CLI::App* net = app.add_subcommand(
      "net", "Drive the input/output modules of a device network through its RS-232 bridge");
  net->require_subcommand(1);

  CLI::App* connect = net->add_subcommand(
      "connect",
      "Connect to the bridge, then run the --command options or read commands from standard "
      "input (a prompt on a terminal; type help there)");
  auto port = std::make_shared<std::string>();
  auto topology = std::make_shared<std::string>();
  auto commands = std::make_shared<std::vector<std::string>>();
  connect->add_option("--port", *port, "Serial port of the bridge: COM3, 3 or a device path")
      ->required();
  connect->add_option("--topology", *topology, "Topology file that declares the modules")
      ->required()
      ->check(CLI::ExistingFile);
  connect->add_option("-c,--command", *commands,
                      "A command to run (repeatable), e.g. -c \"set 80 01 0F\" -c \"watch 10\"");
  connect->footer(sessionCommandHelp());
  runner.bind(connect, [=] { return runConnect(*port, *topology, *commands); });

  CLI::App* check =
      net->add_subcommand("check", "Check a topology file and list the modules it declares");
  auto checked = std::make_shared<std::string>();
  check->add_option("--topology", *checked, "Topology file")->required();
  runner.bind(check, [=] { return runCheck(*checked); });
}

}  // namespace tvx::cli
