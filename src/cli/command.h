#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>

#include "cli/report.h"

namespace tvx::cli {

// "--lang en|zh": the language of what the command prints.
inline CLI::Option* addLanguageOption(
    CLI::App& command, std::optional<std::string>& lang,
    const std::string& description = "language of the messages: en or zh (default en)") {
  return command.add_option("--lang", lang, description)->check(CLI::IsMember({"en", "zh"}));
}

// Holds the action of the subcommand that the command line chose; it runs after parsing so
// that a usage error never runs half a command.
class CommandRunner {
 public:
  using Action = std::function<int()>;

  // Runs action when subcommand was given (the innermost chosen subcommand wins).
  void bind(CLI::App* subcommand, Action action) {
    subcommand->callback([this, action = std::move(action)] { m_action = action; });
  }
  bool hasAction() const { return static_cast<bool>(m_action); }
  int run() const { return m_action(); }

 private:
  Action m_action;
};

}  // namespace tvx::cli
