#include "support/ordinary_user.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <string>

namespace tvx::test {

namespace {

// The exit status of a child that could not become an ordinary user.
constexpr int kNoOrdinaryUser = 77;

const passwd* nobody() {
  return getpwnam("nobody");
}

bool becomeOrdinaryUser() {
  if (geteuid() != 0) {
    return true;
  }
  const passwd* user = nobody();
  return user != nullptr && setgroups(0, nullptr) == 0 && setgid(user->pw_gid) == 0 &&
         setuid(user->pw_uid) == 0 && geteuid() != 0;
}

void writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written <= 0) {
      return;
    }
    done += static_cast<std::size_t>(written);
  }
}

}  // namespace

void HandToOrdinaryUser(const std::filesystem::path& folder) {
  const passwd* user = nobody();
  if (geteuid() != 0 || user == nullptr) {
    return;
  }
  lchown(folder.c_str(), user->pw_uid, user->pw_gid);
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored)) {
    lchown(entry.path().c_str(), user->pw_uid, user->pw_gid);
  }
}

std::optional<std::string> AsOrdinaryUser(const std::function<std::string()>& body) {
  int channel[2];
  if (pipe(channel) != 0) {
    return "cannot make a pipe";
  }
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    if (!becomeOrdinaryUser()) {
      _exit(kNoOrdinaryUser);
    }
    try {
      writeAll(channel[1], body());
    } catch (const std::exception& error) {
      writeAll(channel[1], std::string("exception: ") + error.what());
    }
    _exit(0);
  }
  close(channel[1]);
  if (child < 0) {
    close(channel[0]);
    return "cannot fork";
  }
  std::string answer;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = read(channel[0], buffer, sizeof buffer)) > 0) {
    answer.append(buffer, static_cast<std::size_t>(got));
  }
  close(channel[0]);
  int status = 0;
  if (waitpid(child, &status, 0) != child) {
    return "the child was lost";
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == kNoOrdinaryUser) {
    return std::nullopt;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "the child did not finish (wait status " + std::to_string(status) + ")";
  }
  return answer;
}

}  // namespace tvx::test
