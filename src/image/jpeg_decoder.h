#pragma once

#include <cstdint>
#include <span>

#include "image/argb_image.h"
#include "image/picture_size.h"
#include "util/result.h"

namespace tvx {

// Decodes a baseline or progressive JPEG (colour, greyscale or CMYK) into image (resized, rows
// top-down, opaque). Pictures beyond the reader's bounds (kMaxBmpSide, kMaxBmpPixels) are
// refused before any pixel is allocated, and so is a file that ends early. The error names no
// file; its detail is "a damaged JPEG: " and libjpeg's words. With a floor, the picture is
// decoded at the smallest of libjpeg's scales (1/8, 1/4, 1/2, 1) that keeps it at least that
// large.
Result<void> DecodeJpeg(std::span<const std::uint8_t> bytes, TArgbImage& image,
                        const DecodedSizeFloor& floor = {});

}  // namespace tvx
