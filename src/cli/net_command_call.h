#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/net_session.h"
#include "cli/stdin_lines.h"

namespace tvx::cli {

enum class CommandOutcome { Ok, Failed, Quit };

struct CommandCall;

// One way of writing a command: what follows its name, and what it does.
struct CommandForm {
  std::string_view arguments;
  std::string_view description;
};

// A command of the session, as the help lists it and the command line dispatches it.
struct SessionCommand {
  std::string_view name;
  std::string_view alias;  // empty when there is none
  // Commands without forms need no explanation; the help names them together at its end.
  std::vector<CommandForm> forms;
  CommandOutcome (*handler)(const CommandCall& call);
};

// One command as typed: the words after its name, and the session it runs on.
struct CommandCall {
  const SessionCommand& command;
  const std::vector<std::string>& args;
  NetSession& session;
  StdinLines* input;  // null for the commands of the command line
};

// The command's name and the form's arguments: "set SEG NODE VALUE".
std::string formText(const SessionCommand& command, const CommandForm& form);

// Reports "error: message" on standard error and answers Failed.
CommandOutcome fail(const std::string& message);
// Reports every form of the command.
CommandOutcome usage(const CommandCall& call);
// Reports one form of the command with a hint about the values it takes.
CommandOutcome usage(const CommandCall& call, std::size_t form, std::string_view hint);

}  // namespace tvx::cli
