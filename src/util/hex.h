#pragma once

#include <cstdint>

namespace YVclUtil {

// Writes the two upper-case hexadecimal digits of value to out[0] (high nibble) and out[1];
// no terminating zero.
void BinToHexAscii(std::uint8_t value, char* out);

}  // namespace YVclUtil
