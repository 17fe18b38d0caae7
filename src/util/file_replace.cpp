#include "util/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "util/error_text.h"
#include "util/printf_format.h"

namespace YVclUtil {
namespace {

using tvx::Error;
namespace error_action = tvx::error_action;

// The file a write to path really changes: the target of a symbolic link.
std::string resolveTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
    return path;
  }
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) {
    return path;
  }
  return resolved;
}

std::string temporaryNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return FormatPrintf("%s.%s.%d-%u-%lx.tmp", directory.c_str(), name.c_str(),
                      static_cast<int>(getpid()), counter.fetch_add(1),
                      static_cast<unsigned long>(now.tv_nsec));
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void syncDirectoryOf(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string directory =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

}  // namespace

tvx::Result<void> ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const std::string target = resolveTarget(path);
  struct stat existing {};
  const bool exists = stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    return Error::Of(tvx::ErrorCode::kNotAFile, target).withAction(error_action::kReplace);
  }
  // Renaming over a file needs only the folder's permission; a file its user made read-only is
  // not to be replaced all the same.
  if (exists) {
    const int probe = open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (probe < 0) {
      return Error::System(target, errno).withAction(error_action::kWrite);
    }
    close(probe);
  }

  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = temporaryNameFor(target);
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      break;
    }
  }
  if (fd < 0) {
    return Error::System(target, errno).withAction(error_action::kCreateTemporaryBeside);
  }

  const auto fail = [&](tvx::BilingualText step) {
    const int errorNumber = errno;
    if (fd >= 0) {
      close(fd);
    }
    unlink(temporary.c_str());
    return Error::System(target, errorNumber).withAction(step);
  };
  if (exists) {
    // Keeps the owner when an administrator saves someone else's file; refused otherwise, which
    // is fine. The owner comes first because a change of owner clears set-id bits.
    if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      errno = 0;
    }
    if (fchmod(fd, existing.st_mode & 07777) != 0) {
      return fail(error_action::kSetPermissions);
    }
  }
  if (!writeAll(fd, bytes)) {
    return fail(error_action::kWrite);
  }
  if (fsync(fd) != 0) {
    return fail(error_action::kFlush);
  }
  const int closed = close(fd);
  fd = -1;
  if (closed != 0) {
    return fail(error_action::kWrite);
  }
  if (rename(temporary.c_str(), target.c_str()) != 0) {
    return fail(error_action::kRenameOver);
  }
  syncDirectoryOf(target);
  return {};
}

}  // namespace YVclUtil
