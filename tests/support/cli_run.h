#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

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

// The same, run from the working directory `directory`.
CliRun RunTvx880In(const std::filesystem::path& directory, const std::string& arguments);

// Runs tvx880 with each word as one argument, no shell between (any bytes, empty words too),
// capturing stdout and stderr apart.
CliRun RunTvx880Words(const std::vector<std::string>& words);

// tvx880 running in the background with each word as one argument, its stdout and stderr in
// files (an empty path leaves the test's own stream). Killed if it still runs at the end.
class Tvx880Process {
 public:
  Tvx880Process(const std::vector<std::string>& words, std::filesystem::path out,
                std::filesystem::path err = {});
  ~Tvx880Process();
  Tvx880Process(const Tvx880Process&) = delete;
  Tvx880Process& operator=(const Tvx880Process&) = delete;

  // Ctrl+C.
  void interrupt() const;
  // The exit status, or -1 when it did not end normally (or never started).
  int wait();
  // What it printed so far.
  std::string out() const;
  std::string err() const;

 private:
  pid_t m_pid = -1;
  std::filesystem::path m_out;
  std::filesystem::path m_err;
};

}  // namespace tvx::test
