#include "ui/window/dropped_files.h"

#include <QMimeData>
#include <QUrl>

#include "ui/qt/display_text.h"

namespace tvx {

std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (data == nullptr || !data->hasUrls()) {
    return files;
  }
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) {
      files.push_back(StoragePath(url.toLocalFile()));
    }
  }
  return files;
}

}  // namespace tvx
