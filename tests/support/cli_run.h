#pragma once

#include <string>

namespace tvx::test {

// What a run of the tvx880 program printed and how it ended.
struct CliRun {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out;
  std::string err;
};

// The text in single quotes, safe as one shell word.
std::string ShellQuoted(const std::string& text);

// True when the program the tests run (TVX_CLI_PATH) has been built.
bool Tvx880Built();

// Runs tvx880 with `arguments` (shell text: quote paths with ShellQuoted), after the shell
// assignments in `environment` if any, capturing stdout and stderr apart.
CliRun RunTvx880(const std::string& arguments, const std::string& environment = "");

}  // namespace tvx::test
