#pragma once

#include <QString>

namespace YVclCtrl {

// True when path is a folder whose entries can be read.
bool IsDirectoryListable(const QString& path);

}  // namespace YVclCtrl
