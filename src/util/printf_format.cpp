#include "util/printf_format.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace YVclUtil {

std::string FormatPrintfV(const char* format, va_list args) {
  if (format == nullptr) {
    return {};
  }
  va_list counting;
  va_copy(counting, args);
  const int length = std::vsnprintf(nullptr, 0, format, counting);
  va_end(counting);
  if (length <= 0) {
    return {};
  }
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), std::strlen(buffer.data()));
}

std::string FormatPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatPrintfV(format, args);
  va_end(args);
  return text;
}

}  // namespace YVclUtil
