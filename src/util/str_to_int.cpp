#include "util/str_to_int.h"

#include <cstdint>

#include "util/hex.h"
#include "util/platform_exception.h"
#include "util/printf_format.h"

namespace tvx::platform {

int StrToInt(const std::string& text) {
  const auto fail = [&text]() -> int {
    throw EConvertError(YVclUtil::FormatPrintf("'%s' is not a valid integer value", text.c_str()));
  };
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') {
    ++at;
  }
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  bool hex = false;
  if (at < text.size() && (text[at] == '$' || text[at] == 'x' || text[at] == 'X')) {
    hex = true;
    ++at;
  } else if (at + 1 < text.size() && text[at] == '0' &&
             (text[at + 1] == 'x' || text[at + 1] == 'X')) {
    hex = true;
    at += 2;
  }
  if (at == text.size()) {
    return fail();
  }
  std::uint64_t value = 0;
  const std::uint64_t limit = hex ? 0xFFFFFFFFULL : (negative ? 0x80000000ULL : 0x7FFFFFFFULL);
  for (; at < text.size(); ++at) {
    const int digit = hex ? YVclUtil::HexDigitValue(text[at])
                          : (text[at] >= '0' && text[at] <= '9' ? text[at] - '0' : -1);
    if (digit < 0) {
      return fail();
    }
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > limit) {
      return fail();
    }
  }
  const auto bits = static_cast<std::uint32_t>(value);
  return static_cast<int>(negative ? 0U - bits : bits);
}

}  // namespace tvx::platform
