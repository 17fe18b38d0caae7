#include "support/cli_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "support/temp_dir.h"

extern char** environ;

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

CliRun RunTvx880In(const std::filesystem::path& directory, const std::string& arguments) {
  return RunTvx880(arguments, "cd " + ShellQuoted(directory.string()) + " &&");
}

CliRun RunTvx880Words(const std::vector<std::string>& words) {
  const TempDir capture;
  Tvx880Process program(words, capture / "stdout.txt", capture / "stderr.txt");
  CliRun run;
  run.status = program.wait();
  run.out = program.out();
  run.err = program.err();
  return run;
}

Tvx880Process::Tvx880Process(const std::vector<std::string>& words, std::filesystem::path out,
                             std::filesystem::path err)
    : m_out(std::move(out)), m_err(std::move(err)) {
  std::vector<std::string> argvWords{TVX_CLI_PATH};
  argvWords.insert(argvWords.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (std::string& word : argvWords) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!m_out.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  if (!m_err.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  if (posix_spawn(&m_pid, TVX_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0) {
    m_pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
}

Tvx880Process::~Tvx880Process() {
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    wait();
  }
}

void Tvx880Process::interrupt() const {
  if (m_pid > 0) {
    kill(m_pid, SIGINT);
  }
}

int Tvx880Process::wait() {
  int status = 0;
  if (m_pid <= 0 || waitpid(m_pid, &status, 0) != m_pid) {
    return -1;
  }
  m_pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Tvx880Process::out() const {
  return ReadFileBytes(m_out);
}

std::string Tvx880Process::err() const {
  return ReadFileBytes(m_err);
}

}  // namespace tvx::test
