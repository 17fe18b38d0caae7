// tvx880 net: talk to the input/output modules of a device network through its RS-232 bridge,
// so that a technician can test a wiring without writing a program.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/net_text.h"
#include "cli/stdin_lines.h"
#include "devnet/hcnet_via_tvx232.h"
#include "devnet/tvx4i4o.h"
#include "serial/port_map.h"
#include "util/local_event_loop.h"
#include "util/platform_exception.h"

namespace tvx::cli {
namespace {

using namespace std::chrono_literals;
using KwxCtrl::THCNetViaTvx232;
using KwxCtrl::TTvx4i4o;
using tvx::platform::TComponent;

constexpr auto kConnectWait = 5s;  // the bridge itself gives up after 2 s
constexpr auto kReplyWait = 1s;

constexpr const char kCommandHelp[] =
    "Numbers are hexadecimal (0x optional): segments 00..80, nodes 00..7F, values 00..FF.\n"
    "  modules                    list the modules of the topology with outputs and inputs\n"
    "  set SEG NODE VALUE         set the four outputs of a module (bits 0..3)\n"
    "  bit SEG NODE INDEX 0|1     switch one output (INDEX 0..3) of a module\n"
    "  reset SEG NODE             reset a module (its outputs go off)\n"
    "  ask SEG NODE version|class|customer\n"
    "                             ask a module for its protocol version, class id or customer\n"
    "  inputs                     read the bridge's own inputs (register R1)\n"
    "  outputs VALUE              set the bridge's own outputs (register R0)\n"
    "  reg [R0|R1|RE]             show the bridge's registers, or read one again\n"
    "  reg R8|R9 VALUE            write register R8 or R9\n"
    "  resetbridge                reset the bridge (its outputs go off)\n"
    "  watch [SECONDS]            show input changes until Enter (or for SECONDS)\n"
    "  wait MILLISECONDS          do nothing for a while, showing what comes in\n"
    "  help, quit\n"
    "Input changes and other reports of the modules are shown whenever they arrive.\n";

// One connection to a bridge and the commands on it.
class NetSession {
 public:
  enum class Outcome { Ok, Failed, Quit };

  NetSession(const std::string& port, const std::string& topology) : m_port(port) {
    m_template.OnInputChanged = [](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
      const auto* module = static_cast<TTvx4i4o*>(sender);
      say(address(seg, node) + " inputs " + hex2(module->pr_Xin()) + " (was " +
          hex2(module->pr_Old_Xin()) + "): " + bits(module->pr_Xin(), 'X'));
    };
    m_template.OnSuccessfulReset = [](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
      const auto* module = static_cast<TTvx4i4o*>(sender);
      say(address(seg, node) + " reset done" +
          (module->pr_Yout() != 0 ? ", outputs " + hex2(module->pr_Yout()) + " restored" : ""));
    };
    m_template.OnPacketUnreachable = [](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
      const auto report = static_cast<TTvx4i4o*>(sender)->pr_PacketUnreachableReport();
      say(address(seg, node) + " reports an undelivered packet: " + hex2(report[0]) + " " +
          hex2(report[1]) + " " + hex2(report[2]));
    };
    m_template.OnGotHcnProtocolVersion =
        replyPrinter("protocol version", &TTvx4i4o::pr_GotHcnProtocolVersion);
    m_template.OnGotHcnClsId = replyPrinter("class id", &TTvx4i4o::pr_GotHcnClsId);
    m_template.OnGotHcnCustomerId = replyPrinter("customer id", &TTvx4i4o::pr_GotHcnCustomerId);
    m_template.OnUnfilteredRxdHcnPacket = [](TComponent*, const KwxCtrl::THcnRxdPacket& packet) {
      say(address(packet.HcnSegId, packet.HcnNodeId) + " sent " + packetText(packet));
    };

    m_bridge.pw_Name("tvx880-net");
    m_bridge.pw_FileName(topology);
    m_bridge.pw_DefHandler_Tvx4i4o(&m_template);
    m_bridge.OnConnectOK = [this](TComponent*) { m_connectDone = true; };
    m_bridge.OnConnectFail = [this](TComponent*) { m_connectDone = true; };
    m_bridge.OnUartTxdFail = [this](TComponent*) {
      say("sending to the bridge failed: " + m_bridge.pr_LastUartErrMsg());
    };
    m_bridge.OnReplyYout = [this](TComponent*) { ++m_replies; };
    m_bridge.OnReplyXin = [this](TComponent*) { ++m_replies; };
    m_bridge.OnReplyHcnFlags = [this](TComponent*) { ++m_replies; };
    m_bridge.OnResetRnsm_OK = [this](TComponent*) {
      ++m_replies;
      say("bridge reset done");
    };
    m_bridge.OnResetRnsm_WDT = [this](TComponent*) {
      say("the bridge reset by itself (watchdog or power); its outputs " +
          hex2(m_bridge.pr_Yout()) + " were restored");
    };
    m_bridge.OnUnhandledRxdHcnPacket = [](TComponent*, const KwxCtrl::THcnRxdPacket& packet) {
      say(address(packet.HcnSegId, packet.HcnNodeId) + " (not in the topology file) sent " +
          packetText(packet));
    };
    m_bridge.OnUnhandledSuccessfulReset = [](TComponent*, std::uint8_t seg, std::uint8_t node) {
      say(address(seg, node) + " (not in the topology file) reset");
    };
  }

  // Connects; false after reporting why not.
  bool connect() {
    const auto port = tvx::platform::ParsePortName(m_port);
    if (!port) {
      reportFailure("\"" + m_port + "\" is no serial port (give COM3, 3 or a device path)");
      return false;
    }
    if (port->number) {
      m_bridge.pw_UartPortNumber(static_cast<int>(*port->number));
    } else {
      m_bridge.pw_UartDevicePath(port->path);
    }
    try {
      m_bridge.Connect();
    } catch (const tvx::platform::Exception& error) {
      std::string reason = oneLine(error.Message());
      if (!m_bridge.pr_LastUartErrMsg().empty()) {
        reason += " (" + m_bridge.pr_LastUartErrMsg() + ")";
      }
      reportFailure(reason);
      return false;
    }
    m_loop.runUntil([this] { return m_connectDone; }, kConnectWait);
    if (!m_bridge.pr_Connected()) {
      reportFailure("the bridge on " + m_port +
                    " did not answer within 2 s (check its power, the cable and that it runs at "
                    "38400 baud)");
      return false;
    }
    say("connected to the bridge on " + m_port + ": outputs " + hex2(m_bridge.pr_Yout()) +
        ", inputs " + hex2(m_bridge.pr_Xin()) + ", largest packet " + hex2(m_bridge.pr_R7()) +
        " bytes, " + std::to_string(moduleAddresses().size()) + " module(s) in the topology");
    return true;
  }

  tvx::LocalEventLoop& loop() { return m_loop; }

  Outcome run(const std::string& line, StdinLines* input) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
      words.push_back(word);
    }
    if (words.empty() || words[0][0] == '#') {
      return Outcome::Ok;
    }
    try {
      return dispatch(words, input);
    } catch (const tvx::platform::Exception& error) {
      return fail(oneLine(error.Message()));
    }
  }

 private:
  static std::string packetText(const KwxCtrl::THcnRxdPacket& packet) {
    std::string text;
    for (int i = 0; i < packet.BytesOfDatas && i < KwxCtrl::kHcnDatasSize; ++i) {
      text += (i == 0 ? "" : " ") + hex2(packet.Datas[i]);
    }
    return text;
  }

  KwxCtrl::THcnNotifyEvent replyPrinter(const std::string& what,
                                        std::uint8_t (TTvx4i4o::*value)() const) {
    return [this, what, value](TComponent* sender, std::uint8_t seg, std::uint8_t node) {
      ++m_moduleReplies;
      say(address(seg, node) + " " + what + " " + hex2((static_cast<TTvx4i4o*>(sender)->*value)()));
    };
  }

  static Outcome fail(const std::string& message) {
    std::fprintf(stderr, "error: %s\n", message.c_str());
    std::fflush(stderr);
    return Outcome::Failed;
  }

  std::vector<std::pair<unsigned, unsigned>> moduleAddresses() const {
    std::vector<std::pair<unsigned, unsigned>> found;
    for (unsigned seg = 0; seg <= KwxCtrl::kHcnMaxSegId; ++seg) {
      for (unsigned node = 0; node <= KwxCtrl::kHcnMaxNodeId; ++node) {
        if (m_bridge.pr_TopologicClsId(seg, node) == KwxCtrl::hci_Tvx4i4o) {
          found.emplace_back(seg, node);
        }
      }
    }
    return found;
  }

  // The module at the words' SEG NODE, or null after reporting.
  TTvx4i4o* module(const std::vector<std::string>& words, std::size_t at) {
    const auto seg = parseHex(words[at], KwxCtrl::kHcnMaxSegId);
    const auto node = parseHex(words[at + 1], KwxCtrl::kHcnMaxNodeId);
    if (!seg || !node) {
      fail("\"" + words[at] + " " + words[at + 1] +
           "\" is no module address (segment 00..80, node 00..7F, hexadecimal)");
      return nullptr;
    }
    if (m_bridge.pr_TopologicClsId(*seg, *node) != KwxCtrl::hci_Tvx4i4o) {
      fail("no module at " + address(*seg, *node) + " in the topology file " +
           m_bridge.pr_FileName());
      return nullptr;
    }
    return m_bridge.pr_Tvx4i4o(*seg, *node);
  }

  // Waits for one more reply event of the bridge.
  bool awaitReply(const char* what) {
    const int before = m_replies;
    if (!m_loop.runUntil([&] { return m_replies > before; }, kReplyWait)) {
      fail(std::string("the bridge did not answer the ") + what + " query within 1 s");
      return false;
    }
    return true;
  }

  void showRegisters() {
    say("R0 (outputs) " + hex2(m_bridge.pr_Yout()) + "  R1 (inputs) " + hex2(m_bridge.pr_Xin()) +
        "  R3 " + hex2(m_bridge.pr_R3()) + "  R4 " + hex2(m_bridge.pr_R4()) + "  R5 " +
        hex2(m_bridge.pr_R5()) + "  R6 " + hex2(m_bridge.pr_R6()) + "  R7 (largest packet) " +
        hex2(m_bridge.pr_R7()) + "  R8 " + hex2(m_bridge.pr_R8()) + "  R9 " +
        hex2(m_bridge.pr_R9()) + "  RE (network flags) " + hex2(m_bridge.pr_RE()));
  }

  Outcome usage(const std::string& form) { return fail("usage: " + form); }

  Outcome dispatch(const std::vector<std::string>& words, StdinLines* input) {
    const std::string& command = words[0];
    const std::size_t args = words.size() - 1;
    if (command == "help" || command == "?") {
      std::fputs(kCommandHelp, stdout);
      std::fflush(stdout);
      return Outcome::Ok;
    }
    if (command == "quit" || command == "exit") {
      return Outcome::Quit;
    }
    if (command == "modules") {
      const auto addresses = moduleAddresses();
      for (const auto& [seg, node] : addresses) {
        const TTvx4i4o* found = m_bridge.pr_Tvx4i4o(seg, node);
        say(address(seg, node) + "  outputs " + hex2(found->pr_Yout()) + "  inputs " +
            hex2(found->pr_Xin()) + " (was " + hex2(found->pr_Old_Xin()) +
            "): " + bits(found->pr_Xin(), 'X'));
      }
      if (addresses.empty()) {
        say("the topology file declares no module");
      }
      return Outcome::Ok;
    }
    if (command == "set") {
      if (args != 3) {
        return usage("set SEG NODE VALUE");
      }
      TTvx4i4o* target = module(words, 1);
      const auto value = parseHex(words[3], 0xFF);
      if (target == nullptr) {
        return Outcome::Failed;
      }
      if (!value) {
        return fail("\"" + words[3] + "\" is no byte value (00..FF, hexadecimal)");
      }
      target->pw_Yout(static_cast<std::uint8_t>(*value));
      return Outcome::Ok;
    }
    if (command == "bit") {
      if (args != 4) {
        return usage("bit SEG NODE INDEX 0|1");
      }
      TTvx4i4o* target = module(words, 1);
      const auto index = parseDecimal(words[3], 3);
      const auto on = parseDecimal(words[4], 1);
      if (target == nullptr) {
        return Outcome::Failed;
      }
      if (!index || !on) {
        return usage("bit SEG NODE INDEX 0|1 (INDEX 0..3)");
      }
      target->pw_BitOfY(static_cast<int>(*index), *on == 1);
      return Outcome::Ok;
    }
    if (command == "reset") {
      if (args != 2) {
        return usage("reset SEG NODE");
      }
      TTvx4i4o* target = module(words, 1);
      if (target == nullptr) {
        return Outcome::Failed;
      }
      target->RequestToReset();
      return Outcome::Ok;
    }
    if (command == "ask") {
      if (args != 3) {
        return usage("ask SEG NODE version|class|customer");
      }
      TTvx4i4o* target = module(words, 1);
      if (target == nullptr) {
        return Outcome::Failed;
      }
      const int before = m_moduleReplies;
      if (words[3] == "version") {
        target->QueryHcnProtocolVersion();
      } else if (words[3] == "class") {
        target->QueryHcnClsId();
      } else if (words[3] == "customer") {
        target->QueryHcnCustomerId();
      } else {
        return usage("ask SEG NODE version|class|customer");
      }
      if (!m_loop.runUntil([&] { return m_moduleReplies > before; }, kReplyWait)) {
        return fail("module " + words[1] + "/" + words[2] + " did not answer within 1 s");
      }
      return Outcome::Ok;
    }
    if (command == "inputs") {
      if (args != 0) {
        return usage("inputs");
      }
      m_bridge.QueryXin();
      if (!awaitReply("R1")) {
        return Outcome::Failed;
      }
      say("bridge inputs " + hex2(m_bridge.pr_Xin()) + ": " + bits(m_bridge.pr_Xin(), 'X'));
      return Outcome::Ok;
    }
    if (command == "outputs") {
      const auto value = args == 1 ? parseHex(words[1], 0xFF) : std::nullopt;
      if (!value) {
        return usage("outputs VALUE (00..FF, hexadecimal)");
      }
      m_bridge.pw_Yout(static_cast<std::uint8_t>(*value));
      return Outcome::Ok;
    }
    if (command == "reg") {
      return registers(words);
    }
    if (command == "resetbridge") {
      const int before = m_replies;
      m_bridge.ResetRnsm();
      if (!m_loop.runUntil([&] { return m_replies > before; }, 3s)) {
        return fail("the bridge did not announce its reset within 3 s");
      }
      return Outcome::Ok;
    }
    if (command == "watch") {
      const auto seconds = args == 1 ? parseDecimal(words[1], 86400) : std::nullopt;
      if (args > 1 || (args == 1 && !seconds)) {
        return usage("watch [SECONDS]");
      }
      return watch(seconds, input);
    }
    if (command == "wait") {
      const auto ms = args == 1 ? parseDecimal(words[1], 3600000) : std::nullopt;
      if (!ms) {
        return usage("wait MILLISECONDS");
      }
      m_loop.runFor(std::chrono::milliseconds(*ms));
      return Outcome::Ok;
    }
    return fail("unknown command \"" + command + "\" (try help)");
  }

  Outcome registers(const std::vector<std::string>& words) {
    if (words.size() == 1) {
      showRegisters();
      return Outcome::Ok;
    }
    const std::string name = words[1];
    if (words.size() == 2 && (name == "R0" || name == "R1" || name == "RE")) {
      if (name == "R0") {
        m_bridge.QueryYout();
      } else if (name == "R1") {
        m_bridge.QueryXin();
      } else {
        m_bridge.QueryHcnFlags();
      }
      if (!awaitReply(name.c_str())) {
        return Outcome::Failed;
      }
      const std::uint8_t value = name == "R0"   ? m_bridge.pr_Yout()
                                 : name == "R1" ? m_bridge.pr_Xin()
                                                : m_bridge.pr_RE();
      say(name + " " + hex2(value));
      return Outcome::Ok;
    }
    if (words.size() == 3 && (name == "R8" || name == "R9")) {
      const auto value = parseHex(words[2], 0xFF);
      if (!value) {
        return usage("reg R8|R9 VALUE (00..FF, hexadecimal)");
      }
      if (name == "R8") {
        m_bridge.pw_R8(static_cast<std::uint8_t>(*value));
      } else {
        m_bridge.pw_R9(static_cast<std::uint8_t>(*value));
      }
      m_loop.runFor(200ms);  // the bridge answers with the value it took
      say(name + " " + hex2(name == "R8" ? m_bridge.pr_R8() : m_bridge.pr_R9()));
      return Outcome::Ok;
    }
    return usage("reg [R0|R1|RE] or reg R8|R9 VALUE");
  }

  Outcome watch(std::optional<unsigned> seconds, StdinLines* input) {
    const auto until = seconds ? tvx::LocalEventLoop::Clock::now() + std::chrono::seconds(*seconds)
                               : tvx::LocalEventLoop::Clock::time_point::max();
    if (input != nullptr) {
      say("watching input changes; press Enter to stop");
      m_loop.runUntil([&] { return input->ready(); }, until);
      if (input->ready()) {
        input->take();  // the Enter that stopped the watch
      }
    } else {
      m_loop.runUntil([] { return false; }, until);
    }
    return Outcome::Ok;
  }

  std::string m_port;
  tvx::LocalEventLoop m_loop;
  tvx::ScopedUiEventLoop m_uiLoop{m_loop};
  TTvx4i4o m_template{nullptr};
  THCNetViaTvx232 m_bridge{nullptr};
  bool m_connectDone = false;
  int m_replies = 0;
  int m_moduleReplies = 0;
};

int runConnect(const std::string& port, const std::string& topology,
               const std::vector<std::string>& commands) {
  NetSession session(port, topology);
  if (!session.connect()) {
    return kExitFailure;
  }
  if (!commands.empty()) {
    for (const std::string& command : commands) {
      const auto outcome = session.run(command, nullptr);
      if (outcome == NetSession::Outcome::Failed) {
        return kExitFailure;
      }
      if (outcome == NetSession::Outcome::Quit) {
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
    const auto outcome = session.run(*line, &input);
    if (outcome == NetSession::Outcome::Quit) {
      break;
    }
    // A script stops at its first failed command; a technician at the prompt goes on.
    if (outcome == NetSession::Outcome::Failed && !interactive) {
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
  bridge.pw_Name("tvx880-net");
  bridge.pw_FileName(topology);
  bridge.pw_DefHandler_Tvx4i4o(&tmpl);
  try {
    bridge.LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic();
  } catch (const tvx::platform::Exception& error) {
    return reportFailure(oneLine(error.Message()));
  }
  int modules = 0;
  for (unsigned seg = 0; seg <= KwxCtrl::kHcnMaxSegId; ++seg) {
    for (unsigned node = 0; node <= KwxCtrl::kHcnMaxNodeId; ++node) {
      if (bridge.pr_TopologicClsId(seg, node) == KwxCtrl::hci_Tvx4i4o) {
        say(address(seg, node) + "  TVX_4i4o");
        ++modules;
      }
    }
  }
  say(topology + ": " + std::to_string(modules) + " module(s)");
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
  connect->footer(kCommandHelp);
  runner.bind(connect, [=] { return runConnect(*port, *topology, *commands); });

  CLI::App* check =
      net->add_subcommand("check", "Check a topology file and list the modules it declares");
  auto checked = std::make_shared<std::string>();
  check->add_option("--topology", *checked, "Topology file")->required();
  runner.bind(check, [=] { return runCheck(*checked); });
}

}  // namespace tvx::cli
