#include "ui/browse/browse_fs.h"

#include <dirent.h>

#include <QFile>

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

}  // namespace YVclCtrl
