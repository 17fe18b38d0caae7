#pragma once

#include <cstdint>

#include "image/argb_image.h"
#include "image/streams.h"

namespace tvx {

// Largest pictures the reader decodes. The indicator's screens are 240 × 320; these bounds
// leave room for any photograph while keeping a forged header from asking for gigabytes.
inline constexpr std::int64_t kMaxBmpSide = 32767;
inline constexpr std::int64_t kMaxBmpPixels = 0x4000000;  // 64 Mi pixels, 256 MiB decoded

// The row decoder a file's bit count, compression and masks select.
enum class BmpPixelFormat : int {
  Unknown = 0,
  Indexed1 = 1,
  Indexed4 = 4,
  Indexed8 = 8,
  Rgb444 = 12,
  Rgb555 = 15,
  Rgb565 = 16,
  Rgb666 = 18,
  Bgr888 = 24,
  Bgra8888 = 32,
  // 32-bit bit fields with the masks 0x00FF0000, 0x0000FF00, 0x000000FF (what paint
  // programs write), decoded with A = 255.
  Bgrx8888 = 33,
};

// Decodes a whole BMP file into image (resized to the file's width and height, rows
// top-down). Fails with EImageError carrying the rule the file broke.
void ReadBmp(TInputStream& in, TArgbImage& image);

// Writes image as a bit-field BMP with the given channel widths (each 0 to 8 bits): 16 bits
// per pixel when they add up to at most 16, otherwise 32; rows bottom-up, padded to 4 bytes.
void WriteBmp(TArgbImage& image, TOutputStream& out, int redBits, int greenBits, int blueBits);

}  // namespace tvx
