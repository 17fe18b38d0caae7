#include "util/hex.h"

namespace YVclUtil {

void BinToHexAscii(std::uint8_t value, char* out) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out[0] = kDigits[value >> 4];
  out[1] = kDigits[value & 0x0F];
}

}  // namespace YVclUtil
