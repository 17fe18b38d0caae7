#pragma once

#include <QString>

namespace YVclCtrl {

// True when root is the root folder of a mounted volume and the system answers a free-space
// query for it: a drive that can be used now.
bool IsVolumeRootReady(const QString& root);

// True when path is a folder whose entries can be read.
bool IsDirectoryListable(const QString& path);

// The root folder of the mounted volume holding path ("/" when it cannot be told).
QString VolumeRootOf(const QString& path);

}  // namespace YVclCtrl
