#pragma once

#include <string>

namespace tvx::platform {

// The platform's strict text-to-integer conversion: optional leading spaces and a sign, then
// decimal digits, or hexadecimal digits after "$", "x" or "0x" (either case of x), and nothing
// after them. Decimal texts must fit a signed 32-bit integer; hexadecimal ones may use all 32
// bits ("$FFFFFFFF" is -1). Anything else raises EConvertError
// "'%s' is not a valid integer value".
int StrToInt(const std::string& text);

}  // namespace tvx::platform
