#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <vector>

#include "util/sysfs.h"

namespace YVclCtrl {

// The kinds of drive a drive combo box can be told to list.
enum class EnumYDriveType { dtFixedDisk = 0, dtRamDisk, dtRemote, dtRemovable, dtCdROM };

// A set of drive kinds; bit n stands for the kind with value n.
class YDriveTypeSet {
 public:
  constexpr YDriveTypeSet() = default;
  constexpr YDriveTypeSet(std::initializer_list<EnumYDriveType> kinds) {
    for (const EnumYDriveType kind : kinds) {
      m_bits |= bit(kind);
    }
  }
  static constexpr YDriveTypeSet All() { return fromBits(0x1F); }
  static constexpr YDriveTypeSet fromBits(unsigned bits) {
    YDriveTypeSet set;
    set.m_bits = bits & 0x1F;
    return set;
  }

  constexpr bool contains(EnumYDriveType kind) const { return (m_bits & bit(kind)) != 0; }
  constexpr unsigned bits() const { return m_bits; }
  constexpr bool operator==(const YDriveTypeSet&) const = default;

 private:
  static constexpr unsigned bit(EnumYDriveType kind) { return 1U << static_cast<unsigned>(kind); }
  unsigned m_bits = 0;
};

// A mounted volume as a drive: its root folder and the name shown for it.
struct DriveVolume {
  QString root;
  QString displayName;
  std::optional<EnumYDriveType> kind;  // none: a kind outside the five, always listed
  bool remote() const { return kind == EnumYDriveType::dtRemote; }
};

// The kind of a volume from its device ("/dev/sdb1", "server:/export", "tmpfs") and file
// system type; removable disks are told by sysfs below sysRoot.
std::optional<EnumYDriveType> ClassifyDrive(
    const QString& device, const QString& fileSystemType,
    const std::filesystem::path& sysRoot = tvx::Sysfs::kSystemRoot);

// The items of a drive list: the roots of the volumes whose kind is in kinds (and of those
// of no known kind), padded with items of three spaces to at least two items.
QStringList ComposeDriveList(const std::vector<DriveVolume>& volumes, YDriveTypeSet kinds);

// The item text of padding rows.
inline const QString kDrivePadding = QStringLiteral("   ");

}  // namespace YVclCtrl
