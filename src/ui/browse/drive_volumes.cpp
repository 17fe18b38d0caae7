#include "ui/browse/drive_volumes.h"

#include <QFileInfo>
#include <algorithm>
#include <set>
#include <string>
#include <system_error>

#include "util/sysfs.h"

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

// A disk the kernel marks removable (card readers, most USB sticks); a partition asks its
// disk.
bool isRemovableDisk(const std::string& name, const fs::path& sysRoot) {
  const std::optional<fs::path> device =
      tvx::Sysfs(sysRoot).resolve(fs::path("class") / "block" / name);
  if (!device) {
    return false;
  }
  std::error_code error;
  const fs::path disk = fs::exists(*device / "partition", error) ? device->parent_path() : *device;
  return tvx::ReadSysfsNumber(disk / "removable") == 1U;
}

bool startsWithAny(const QString& text, std::initializer_list<const char*> prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [&](const char* prefix) { return text.startsWith(QLatin1String(prefix)); });
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
