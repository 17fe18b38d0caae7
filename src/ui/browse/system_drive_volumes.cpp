#include "ui/browse/system_drive_volumes.h"

#include <sys/statvfs.h>

#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace YVclCtrl {
namespace {

QString displayNameOf(const QStorageInfo& storage) {
  const QString label = storage.name();
  return label.isEmpty() ? storage.rootPath()
                         : QStringLiteral("%1 (%2)").arg(label, storage.rootPath());
}

}  // namespace

std::vector<DriveVolume> SystemDriveVolumes::volumes() const {
  std::vector<DriveVolume> volumes;
  for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
    volumes.push_back({storage.rootPath(), displayNameOf(storage),
                       ClassifyDrive(QString::fromLocal8Bit(storage.device()),
                                     QString::fromLatin1(storage.fileSystemType()))});
  }
  std::reverse(volumes.begin(), volumes.end());
  std::stable_sort(volumes.begin(), volumes.end(),
                   [](const DriveVolume& a, const DriveVolume& b) { return a.root < b.root; });
  volumes.erase(
      std::unique(volumes.begin(), volumes.end(),
                  [](const DriveVolume& a, const DriveVolume& b) { return a.root == b.root; }),
      volumes.end());
  return volumes;
}

bool SystemDriveVolumes::isReady(const QString& root) const {
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

QString SystemDriveVolumes::rootOf(const QString& path) const {
  const QStorageInfo storage(path);
  return storage.isValid() ? storage.rootPath() : QStringLiteral("/");
}

}  // namespace YVclCtrl
