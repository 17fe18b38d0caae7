#include "ui/qt/display_text.h"

#include <QFile>

namespace tvx {

namespace {

QString fromUtf8(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

QString DisplayText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) {
    return fromUtf8(bytes);
  }
  return fromUtf8(Big5ToUtf8(bytes));
}

std::optional<std::string> StorageText(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  bool ascii = true;
  for (const char c : bytes) {
    ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  }
  if (ascii) {
    return std::string(bytes);
  }
  return Utf8ToBig5(bytes);
}

QString DisplayPath(std::string_view path) {
  if (IsValidUtf8(path)) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
  }
  return DisplayText(path);
}

std::string StoragePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace tvx
