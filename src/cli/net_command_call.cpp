#include "cli/net_command_call.h"

#include <cstdio>

namespace tvx::cli {

std::string formText(const SessionCommand& command, const CommandForm& form) {
  std::string text(command.name);
  if (!form.arguments.empty()) {
    text += " ";
    text += form.arguments;
  }
  return text;
}

CommandOutcome fail(const std::string& message) {
  std::fprintf(stderr, "error: %s\n", message.c_str());
  std::fflush(stderr);
  return CommandOutcome::Failed;
}

CommandOutcome usage(const CommandCall& call) {
  std::string forms;
  for (const CommandForm& form : call.command.forms) {
    forms += (forms.empty() ? "" : " or ") + formText(call.command, form);
  }
  return fail("usage: " + forms);
}

CommandOutcome usage(const CommandCall& call, std::size_t form, std::string_view hint) {
  return fail("usage: " + formText(call.command, call.command.forms.at(form)) + " (" +
              std::string(hint) + ")");
}

}  // namespace tvx::cli
