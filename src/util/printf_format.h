#pragma once

#include <cstdarg>
#include <string>

namespace YVclUtil {

// Formats by the C printf rules into a text of exactly the formatted length: the length is
// measured by a counting call first, so messages of any length are complete. An embedded zero
// byte ends the text.
std::string FormatPrintfV(const char* format, va_list args);
std::string FormatPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace YVclUtil
