#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>

#include "util/bilingual_text.h"
#include "util/result.h"

namespace tvx::cli {

enum ExitStatus : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

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

// Prints "tvx880: <message>" on stderr and answers kExitFailure.
int reportFailure(const std::string& message);

// Prints "tvx880: " and the error in English on stderr and answers status. Every command
// reports its failures here.
int reportFailure(const Error& error, ExitStatus status = kExitFailure);

// Failures more than one command reports.
inline constexpr BilingualText kProjectNotLoaded{"專案 \"%s\" 未載入",
                                                 "the project \"%s\" was not loaded"};
inline constexpr BilingualText kCannotWriteOutput{"無法寫入標準輸出",
                                                  "cannot write to standard output"};

}  // namespace tvx::cli
