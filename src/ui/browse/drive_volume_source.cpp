#include "ui/browse/drive_volume_source.h"

#include "ui/browse/system_drive_volumes.h"

namespace YVclCtrl {
namespace {

const DriveVolumeSource*& current() {
  static const SystemDriveVolumes kSystem;
  static const DriveVolumeSource* source = &kSystem;
  return source;
}

}  // namespace

const DriveVolumeSource& CurrentDriveVolumes() {
  return *current();
}

ScopedDriveVolumeSource::ScopedDriveVolumeSource(const DriveVolumeSource& source)
    : m_previous(current()) {
  current() = &source;
}

ScopedDriveVolumeSource::~ScopedDriveVolumeSource() {
  current() = m_previous;
}

}  // namespace YVclCtrl
