#include "ui/browse/browse_fs.h"

#include <dirent.h>
#include <sys/statvfs.h>

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace YVclCtrl {

bool IsVolumeRootReady(const QString& root) {
  if (root.trimmed().isEmpty()) {
    return false;
  }
  const QByteArray native = QFile::encodeName(root);
  struct statvfs space {};
  if (::statvfs(native.constData(), &space) != 0) {
    return false;
  }
  // A folder that was a mount point answers too once its volume is gone; it is no drive then.
  const QString canonical = QFileInfo(root).canonicalFilePath();
  const QStorageInfo storage(root);
  return storage.isValid() && !canonical.isEmpty() && storage.rootPath() == canonical;
}

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

QString VolumeRootOf(const QString& path) {
  const QStorageInfo storage(path);
  return storage.isValid() ? storage.rootPath() : QStringLiteral("/");
}

}  // namespace YVclCtrl
