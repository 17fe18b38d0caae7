#pragma once

#include <CLI/CLI.hpp>
#include <functional>

#include "cli/report.h"

namespace tvx::cli {

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
