#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/streams.h"
#include "util/result.h"

namespace tvx {

// Converts a 24-bit BMP (info or core header, even width) into a 16-bit 5-6-5 bit-field BMP
// by dropping the low bits of each channel. Keeps the source's row order (a top-down source
// stays top-down). Returns false when the source is refused or cannot be opened, read or
// written; the destination then is left as it was.
bool Sub2_TranslateRgb888ToRgb565(const std::string& sourcePath,
                                  const std::string& destinationPath);

// The same, saying why not: the error names the source (refused, or not read) or the
// destination (not written), and its detail is the rule the source broke or the stream error
// ("(bmpInfo.biWidth & 1)==0", "TFileOutputStream _file_create ERROR!").
Result<void> TranslateRgb888FileToRgb565(const std::string& sourcePath,
                                         const std::string& destinationPath);

// The same from a stream or bytes to bytes; the error names no file.
Result<std::vector<std::uint8_t>> TranslateRgb888ToRgb565(TInputStream& in);
Result<std::vector<std::uint8_t>> TranslateBmpBytesRgb888ToRgb565(
    std::span<const std::uint8_t> bmp);

}  // namespace tvx
