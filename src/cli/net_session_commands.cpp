#include "cli/net_session_commands.h"

#include <cstdio>
#include <optional>
#include <sstream>

#include "cli/net_bridge_commands.h"
#include "cli/net_module_commands.h"
#include "cli/net_text.h"
#include "util/platform_exception.h"

namespace tvx::cli {
namespace {

constexpr char kHelpHead[] =
    "Numbers are hexadecimal (0x optional): segments 00..80, nodes 00..7F, values 00..FF.\n";
constexpr char kHelpTail[] =
    "Input changes and other reports of the modules are shown whenever they arrive.\n";
// Width of the help's first column after its indent of two; a longer form gets a line of
// its own.
constexpr std::size_t kHelpFormWidth = 27;

CommandOutcome showHelp(const CommandCall&) {
  std::fputs(sessionCommandHelp().c_str(), stdout);
  std::fflush(stdout);
  return CommandOutcome::Ok;
}

CommandOutcome quitSession(const CommandCall&) {
  return CommandOutcome::Quit;
}

// Until Enter on standard input, or for the seconds given.
CommandOutcome watchInputs(const CommandCall& call) {
  const std::size_t count = call.args.size();
  const auto seconds = count == 1 ? parseDecimal(call.args[0], 86400) : std::nullopt;
  if (count > 1 || (count == 1 && !seconds)) {
    return usage(call);
  }
  tvx::LocalEventLoop& loop = call.session.loop();
  const auto until = seconds ? tvx::LocalEventLoop::Clock::now() + std::chrono::seconds(*seconds)
                             : tvx::LocalEventLoop::Clock::time_point::max();
  if (call.input != nullptr) {
    say("watching input changes; press Enter to stop");
    loop.runUntil([&] { return call.input->ready(); }, until);
    if (call.input->ready()) {
      call.input->take();  // the Enter that stopped the watch
    }
  } else {
    loop.runUntil([] { return false; }, until);
  }
  return CommandOutcome::Ok;
}

CommandOutcome waitFor(const CommandCall& call) {
  const auto ms = call.args.size() == 1 ? parseDecimal(call.args[0], 3600000) : std::nullopt;
  if (!ms) {
    return usage(call);
  }
  call.session.loop().runFor(std::chrono::milliseconds(*ms));
  return CommandOutcome::Ok;
}

// In the order of the help.
const std::vector<SessionCommand>& sessionCommands() {
  static const std::vector<SessionCommand> commands = {
      {"modules",
       "",
       {{"", "list the modules of the topology with outputs and inputs"}},
       listModules},
      {"set",
       "",
       {{"SEG NODE VALUE", "set the four outputs of a module (bits 0..3)"}},
       setModuleOutputs},
      {"bit",
       "",
       {{"SEG NODE INDEX 0|1", "switch one output (INDEX 0..3) of a module"}},
       setModuleOutput},
      {"reset", "", {{"SEG NODE", "reset a module (its outputs go off)"}}, resetModule},
      {"ask",
       "",
       {{"SEG NODE version|class|customer",
         "ask a module for its protocol version, class id or customer"}},
       askModule},
      {"inputs", "", {{"", "read the bridge's own inputs (register R1)"}}, readBridgeInputs},
      {"outputs", "", {{"VALUE", "set the bridge's own outputs (register R0)"}}, setBridgeOutputs},
      {"reg",
       "",
       {{"[R0|R1|RE]", "show the bridge's registers, or read one again"},
        {"R8|R9 VALUE", "write register R8 or R9"}},
       bridgeRegisters},
      {"resetbridge", "", {{"", "reset the bridge (its outputs go off)"}}, resetBridge},
      {"watch",
       "",
       {{"[SECONDS]", "show input changes until Enter (or for SECONDS)"}},
       watchInputs},
      {"wait", "", {{"MILLISECONDS", "do nothing for a while, showing what comes in"}}, waitFor},
      {"help", "?", {}, showHelp},
      {"quit", "exit", {}, quitSession},
  };
  return commands;
}

const SessionCommand* findCommand(const std::string& name) {
  for (const SessionCommand& command : sessionCommands()) {
    if (command.name == name || command.alias == name) {  // a word is never empty
      return &command;
    }
  }
  return nullptr;
}

std::string buildHelp() {
  std::string text = kHelpHead;
  std::string unexplained;
  for (const SessionCommand& command : sessionCommands()) {
    if (command.forms.empty()) {
      unexplained += (unexplained.empty() ? "" : ", ") + std::string(command.name);
    }
    for (const CommandForm& form : command.forms) {
      const std::string written = formText(command, form);
      text += "  " + written;
      text += written.size() < kHelpFormWidth ? std::string(kHelpFormWidth - written.size(), ' ')
                                              : "\n" + std::string(2 + kHelpFormWidth, ' ');
      text += form.description;
      text += "\n";
    }
  }
  return text + "  " + unexplained + "\n" + kHelpTail;
}

}  // namespace

CommandOutcome runSessionCommand(NetSession& session, const std::string& line, StdinLines* input) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) {
    words.push_back(word);
  }
  if (words.empty() || words[0][0] == '#') {
    return CommandOutcome::Ok;
  }
  const SessionCommand* command = findCommand(words[0]);
  if (command == nullptr) {
    return fail("unknown command \"" + words[0] + "\" (try help)");
  }
  const std::vector<std::string> args(words.begin() + 1, words.end());
  try {
    return command->handler({*command, args, session, input});
  } catch (const tvx::platform::Exception& error) {
    return fail(oneLine(error.Message()));
  }
}

const std::string& sessionCommandHelp() {
  static const std::string help = buildHelp();
  return help;
}

}  // namespace tvx::cli
