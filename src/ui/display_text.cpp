#include "ui/display_text.h"

#include <iconv.h>

#include <QFile>
#include <cerrno>
#include <vector>

namespace tvx {

namespace {

constexpr const char* kBig5 = "BIG5";

// Converts bytes between two encodings; nothing when a byte sequence does not convert.
std::optional<std::string> convert(std::string_view bytes, const char* to, const char* from,
                                   bool replaceInvalid) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return std::nullopt;
  }
  std::string out;
  std::vector<char> buffer(bytes.size() * 4 + 16);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
    if (result != static_cast<std::size_t>(-1)) {
      continue;
    }
    if (errno == E2BIG) {
      continue;
    }
    if (!replaceInvalid) {
      iconv_close(cd);
      return std::nullopt;
    }
    // A byte that starts no valid character (or a truncated one at the end) shows as U+FFFD.
    out += "\xEF\xBF\xBD";
    ++in;
    --inLeft;
  }
  iconv_close(cd);
  return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length;
    char32_t value;
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      value = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > bytes.size()) {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) {
        return false;
      }
      value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
    if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) ||
        (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
      return false;
    }
    i += length;
  }
  return true;
}

QString DisplayText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  const std::optional<std::string> utf8 = convert(bytes, "UTF-8", kBig5, true);
  if (!utf8) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  return QString::fromStdString(*utf8);
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
  return convert(bytes, kBig5, "UTF-8", false);
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
