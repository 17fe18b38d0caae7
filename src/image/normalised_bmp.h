#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/argb_image.h"
#include "util/result.h"

// A picture in the one form both converters take: a 24-bit BMP with a 40-byte info header,
// planes 1, no compression, rows bottom-up and padded to 4 bytes, bfSize and biSizeImage such
// that the background converter's size rule holds.
namespace tvx {

// The indicator shows no transparency: each pixel composited over black, as 0xRRGGBB.
std::uint32_t OverBlack(std::uint32_t argb);

// True when every pixel has alpha 255.
bool IsOpaque(const TArgbImage& image);

// The file's bytes, each pixel composited over black.
std::vector<std::uint8_t> NormalisedBmpBytes(const TArgbImage& image);

// Writes them to path (replacing any file there); the error names the file.
Result<void> WriteNormalisedBmp(const TArgbImage& image, const std::string& path);

}  // namespace tvx
