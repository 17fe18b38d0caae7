#include "util/hex.h"

namespace YVclUtil {

void BinToHexAscii(std::uint8_t value, char* out) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out[0] = kDigits[value >> 4];
  out[1] = kDigits[value & 0x0F];
}

int HexDigitValue(char c, HexCase accepted) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (accepted == HexCase::kEither && c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return -1;
}

}  // namespace YVclUtil
