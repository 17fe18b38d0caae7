#pragma once

#include <cstdint>
#include <span>

#include "image/argb_image.h"
#include "util/result.h"

namespace tvx {

// Decodes a PNG of any colour type and bit depth, interlaced or not, into image (resized, rows
// top-down): palettes and grey are expanded, 16-bit channels are scaled to 8 bits (rounded), a tRNS
// chunk becomes alpha; no gamma correction is applied. Pictures beyond the reader's bounds
// (kMaxBmpSide, kMaxBmpPixels) are refused before any pixel is allocated. The error names no
// file; its detail is "a damaged PNG: " and libpng's words.
Result<void> DecodePng(std::span<const std::uint8_t> bytes, TArgbImage& image);

}  // namespace tvx
