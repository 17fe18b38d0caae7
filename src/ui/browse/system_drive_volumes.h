#pragma once

#include "ui/browse/drive_volume_source.h"

namespace YVclCtrl {

// The drives of the running system: the volumes of its mount table.
class SystemDriveVolumes : public DriveVolumeSource {
 public:
  // A folder mounted over more than once shows the volume mounted last, the one on top.
  std::vector<DriveVolume> volumes() const override;
  bool isReady(const QString& root) const override;
  // "/" when it cannot be told.
  QString rootOf(const QString& path) const override;
};

}  // namespace YVclCtrl
