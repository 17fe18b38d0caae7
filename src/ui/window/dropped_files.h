#pragma once

#include <string>
#include <vector>

class QMimeData;

namespace tvx {

// The local files a drag brings, in its order; links to anything else are left out.
std::vector<std::string> DroppedFiles(const QMimeData* data);

}  // namespace tvx
