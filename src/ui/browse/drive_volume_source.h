#pragma once

#include <QString>
#include <vector>

#include "ui/browse/drive_volumes.h"

namespace YVclCtrl {

// What the browsing controls ask about drives: which volumes there are, whether one can be
// used now, and which one holds a folder.
class DriveVolumeSource {
 public:
  virtual ~DriveVolumeSource() = default;

  // The volumes in the order of their roots.
  virtual std::vector<DriveVolume> volumes() const = 0;
  // True when root is the root folder of a volume that answers a free-space query now.
  virtual bool isReady(const QString& root) const = 0;
  // The root folder of the volume holding path.
  virtual QString rootOf(const QString& path) const = 0;
};

// The source every browsing control asks: the system's mount table, unless a
// ScopedDriveVolumeSource has put another in its place. User-interface thread only.
const DriveVolumeSource& CurrentDriveVolumes();

// Puts source in place of the current one while it lives.
class ScopedDriveVolumeSource {
 public:
  explicit ScopedDriveVolumeSource(const DriveVolumeSource& source);
  ~ScopedDriveVolumeSource();
  ScopedDriveVolumeSource(const ScopedDriveVolumeSource&) = delete;
  ScopedDriveVolumeSource& operator=(const ScopedDriveVolumeSource&) = delete;

 private:
  const DriveVolumeSource* m_previous;
};

}  // namespace YVclCtrl
