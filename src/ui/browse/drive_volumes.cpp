#include "ui/browse/drive_volumes.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <fstream>
#include <set>
#include <string>

namespace YVclCtrl {
namespace {

namespace fs = std::filesystem;

bool isRemoteFileSystem(const QString& type) {
  static const std::set<QString> kRemote = {
      "nfs",   "nfs4",       "cifs",      "smb3",           "smbfs",      "ncpfs",
      "afs",   "9p",         "ceph",      "glusterfs",      "fuse.sshfs", "fuse.rclone",
      "davfs", "fuse.davfs", "fuse.s3fs", "fuse.glusterfs",
  };
  return kRemote.count(type) != 0;
}

bool readsOne(const fs::path& file) {
  std::ifstream in(file);
  int value = 0;
  return (in >> value) && value == 1;
}

// A disk the kernel marks removable (card readers, most USB sticks); a partition asks its
// disk.
bool isRemovableDisk(const std::string& name, const fs::path& sysRoot) {
  std::error_code error;
  const fs::path device = fs::canonical(sysRoot / "class" / "block" / name, error);
  if (error) {
    return false;
  }
  if (fs::exists(device / "partition", error)) {
    return readsOne(device.parent_path() / "removable");
  }
  return readsOne(device / "removable");
}

bool startsWithAny(const QString& text, std::initializer_list<const char*> prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [&](const char* prefix) { return text.startsWith(QLatin1String(prefix)); });
}

QString displayNameOf(const QStorageInfo& storage) {
  const QString label = storage.name();
  return label.isEmpty() ? storage.rootPath()
                         : QStringLiteral("%1 (%2)").arg(label, storage.rootPath());
}

}  // namespace

std::optional<EnumYDriveType> ClassifyDrive(const QString& device, const QString& fileSystemType,
                                            const fs::path& sysRoot) {
  const QString type = fileSystemType.toLower();
  if (isRemoteFileSystem(type) || device.startsWith(QLatin1String("//")) ||
      (!device.startsWith('/') && device.contains(QLatin1String(":/")))) {
    return EnumYDriveType::dtRemote;
  }
  if (!device.startsWith(QLatin1String("/dev/"))) {
    if (type == QLatin1String("tmpfs") || type == QLatin1String("ramfs")) {
      return EnumYDriveType::dtRamDisk;
    }
    return std::nullopt;
  }
  const QFileInfo node(device);
  const QString resolved = node.canonicalFilePath();
  const QString name = QFileInfo(resolved.isEmpty() ? device : resolved).fileName();
  if (type == QLatin1String("iso9660") || type == QLatin1String("udf") ||
      startsWithAny(name, {"sr", "scd"})) {
    return EnumYDriveType::dtCdROM;
  }
  if (startsWithAny(name, {"ram", "zram"})) {
    return EnumYDriveType::dtRamDisk;
  }
  if (isRemovableDisk(name.toStdString(), sysRoot)) {
    return EnumYDriveType::dtRemovable;
  }
  return EnumYDriveType::dtFixedDisk;
}

std::vector<DriveVolume> SystemDriveVolumes() {
  std::vector<DriveVolume> volumes;
  for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
    volumes.push_back({storage.rootPath(), displayNameOf(storage),
                       ClassifyDrive(QString::fromLocal8Bit(storage.device()),
                                     QString::fromLatin1(storage.fileSystemType()))});
  }
  // A folder mounted over more than once shows the volume mounted last, the one on top.
  std::reverse(volumes.begin(), volumes.end());
  std::stable_sort(volumes.begin(), volumes.end(),
                   [](const DriveVolume& a, const DriveVolume& b) { return a.root < b.root; });
  volumes.erase(
      std::unique(volumes.begin(), volumes.end(),
                  [](const DriveVolume& a, const DriveVolume& b) { return a.root == b.root; }),
      volumes.end());
  return volumes;
}

QStringList ComposeDriveList(const std::vector<DriveVolume>& volumes, YDriveTypeSet kinds) {
  QStringList items;
  for (const DriveVolume& volume : volumes) {
    if (!volume.kind || kinds.contains(*volume.kind)) {
      items.append(volume.root);
    }
  }
  while (items.size() < 2) {
    items.append(kDrivePadding);
  }
  return items;
}

}  // namespace YVclCtrl
