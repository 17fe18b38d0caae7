#pragma once

#include <cstdint>
#include <span>

#include "image/argb_image.h"
#include "util/result.h"

namespace tvx {

// Decodes a baseline or progressive JPEG (colour, greyscale or CMYK) into image (resized, rows
// top-down, opaque). Pictures beyond the reader's bounds (kMaxBmpSide, kMaxBmpPixels) are
// refused before any pixel is allocated, and so is a file that ends early. The error names no
// file; its detail is "a damaged JPEG: " and libjpeg's words.
Result<void> DecodeJpeg(std::span<const std::uint8_t> bytes, TArgbImage& image);

}  // namespace tvx
