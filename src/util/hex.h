#pragma once

#include <cstdint>

namespace YVclUtil {

// Writes the two upper-case hexadecimal digits of value to out[0] (high nibble) and out[1];
// no terminating zero.
void BinToHexAscii(std::uint8_t value, char* out);

enum class HexCase { kEither, kUpperOnly };

// The value 0 to 15 of one hexadecimal digit, or -1 for any other character (under kUpperOnly
// also for "a" to "f").
int HexDigitValue(char c, HexCase accepted = HexCase::kEither);

}  // namespace YVclUtil
