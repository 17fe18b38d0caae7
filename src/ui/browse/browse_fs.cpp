#include "ui/browse/browse_fs.h"

#include <dirent.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ui/browse/drive_volume_source.h"

namespace YVclCtrl {

bool IsDirectoryListable(const QString& path) {
  if (path.isEmpty()) {
    return false;
  }
  // Opening the folder is the real test: access() would let root through on its real user id
  // even where the running thread has given up that right.
  DIR* folder = ::opendir(QFile::encodeName(path).constData());
  if (folder == nullptr) {
    return false;
  }
  ::closedir(folder);
  return true;
}

std::optional<QString> FolderToShowOnDrive(const QString& root, const QString& lastShown) {
  if (IsDirectoryListable(lastShown) && CurrentDriveVolumes().rootOf(lastShown) == root) {
    return lastShown;
  }
  if (IsDirectoryListable(root)) {
    return root;
  }
  return std::nullopt;
}

std::optional<QString> ListableFolder(const QString& from, const QString& path) {
  const QString absolute = QDir::cleanPath(QDir(from).absoluteFilePath(path));
  // A folder that exists but cannot be read is as inaccessible as a missing one.
  if (!QFileInfo(absolute).isDir() || !IsDirectoryListable(absolute)) {
    return std::nullopt;
  }
  return absolute;
}

}  // namespace YVclCtrl
