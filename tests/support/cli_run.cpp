#include "support/cli_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "support/temp_dir.h"

namespace tvx::test {

std::string ShellQuoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return result + "'";
}

bool Tvx880Built() {
  return std::filesystem::exists(TVX_CLI_PATH);
}

CliRun RunTvx880(const std::string& arguments, const std::string& environment) {
  const TempDir capture;
  const std::string out = (capture / "stdout.txt").string();
  const std::string err = (capture / "stderr.txt").string();
  const std::string command = environment + " " + ShellQuoted(TVX_CLI_PATH) + " " + arguments +
                              " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
  const int raw = std::system(command.c_str());
  CliRun run;
  run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadFileBytes(out);
  run.err = ReadFileBytes(err);
  return run;
}

}  // namespace tvx::test
