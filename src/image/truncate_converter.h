#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/streams.h"

namespace tvx {

// Converts a 24-bit BMP (info or core header, even width) into a 16-bit 5-6-5 bit-field BMP
// by dropping the low bits of each channel. Keeps the source's row order (a top-down source
// stays top-down). Returns false when the source is refused or cannot be opened, read or
// written; the destination then is left as it was. reason, when given, receives the rule
// the source broke or the stream error.
bool Sub2_TranslateRgb888ToRgb565(const std::string& sourcePath,
                                  const std::string& destinationPath);
bool Sub2_TranslateRgb888ToRgb565(const std::string& sourcePath, const std::string& destinationPath,
                                  std::string* reason);

// The same from a stream to bytes; nothing when the source is refused.
std::optional<std::vector<std::uint8_t>> TranslateRgb888ToRgb565(TInputStream& in,
                                                                 std::string* reason = nullptr);
std::optional<std::vector<std::uint8_t>> TranslateBmpBytesRgb888ToRgb565(
    std::span<const std::uint8_t> bmp, std::string* reason = nullptr);

}  // namespace tvx
