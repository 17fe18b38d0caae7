#pragma once

#include <optional>
#include <string>
#include <string_view>

// Byte-level conversions between the indicator's Big5 texts and UTF-8, over iconv. Plain C++
// (no Qt): the command line, the check and the fuzz targets use them too.
namespace tvx {

// Whether the bytes are well-formed UTF-8 (plain ASCII is): no overlong forms, surrogates or
// values beyond U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Big5 bytes as UTF-8. A byte that starts no Big5 character (or a lead byte cut off at the
// end) becomes U+FFFD; the result is always valid UTF-8.
std::string Big5ToUtf8(std::string_view big5);

// A text of the user's files as UTF-8: UTF-8 (and ASCII) as it is, anything else read as Big5,
// the indicator's character set.
std::string TextAsUtf8(std::string_view bytes);

// UTF-8 text as Big5 bytes; nothing when it has a character Big5 cannot write or is not UTF-8.
std::optional<std::string> Utf8ToBig5(std::string_view utf8);

}  // namespace tvx
