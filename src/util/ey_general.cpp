#include "util/ey_general.h"

#include <cstdarg>

#include "util/printf_format.h"

namespace YVclUtil {

EYGeneral::EYGeneral(const char* format, ...) : tvx::platform::Exception({}) {
  va_list args;
  va_start(args, format);
  setMessage(FormatPrintfV(format, args));
  va_end(args);
}

EYGeneral::EYGeneral(int code, const char* format, ...)
    : tvx::platform::Exception({}), ErrorCode(code) {
  va_list args;
  va_start(args, format);
  setMessage(FormatPrintfV(format, args));
  va_end(args);
}

}  // namespace YVclUtil
