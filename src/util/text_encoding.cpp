#include "util/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace tvx {

namespace {

constexpr const char* kBig5 = "BIG5";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Converts bytes between two encodings. With replaceInvalid a byte that does not convert is
// replaced and skipped; without it the conversion fails.
std::optional<std::string> convert(std::string_view bytes, const char* to, const char* from,
                                   bool replaceInvalid) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    return std::nullopt;
  }
  std::string out;
  // Big5 to UTF-8 grows at most 3 bytes per input byte (a replaced byte); the other way shrinks.
  std::vector<char> buffer(bytes.size() * 4 + 16);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) {
      continue;
    }
    if (!replaceInvalid) {
      iconv_close(cd);
      return std::nullopt;
    }
    out += kReplacement;
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
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
    if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) ||
        (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string Big5ToUtf8(std::string_view big5) {
  std::optional<std::string> utf8 = convert(big5, "UTF-8", kBig5, true);
  if (utf8) {
    return *utf8;
  }
  // Without a Big5 converter on the system: ASCII as it is, every other byte replaced.
  std::string shown;
  for (const char c : big5) {
    if (static_cast<unsigned char>(c) < 0x80) {
      shown += c;
    } else {
      shown += kReplacement;
    }
  }
  return shown;
}

std::optional<std::string> Utf8ToBig5(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) {
    return std::nullopt;
  }
  return convert(utf8, kBig5, "UTF-8", false);
}

std::string TextAsUtf8(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : Big5ToUtf8(bytes);
}

}  // namespace tvx
