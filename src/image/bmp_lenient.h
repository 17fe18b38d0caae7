#pragma once

#include <array>
#include <cstdint>

#include "image/argb_image.h"
#include "image/bmp_file.h"
#include "image/streams.h"

// The BMP files the build reads besides those ReadBmp takes: the sizes in the file header are
// not held to the reader's rule, core (12-byte) and version 2 to 5 headers are read by their own
// layouts (larger ones as far as version 5 goes), any channel masks (alpha included) are taken,
// and RLE8 and RLE4 are expanded. Like the reader, it reads bit fields of a bit count other than
// 16 or 32 as uncompressed; compressions it does not know are refused.
namespace tvx {

// One channel of a bit-field pixel: its mask, the mask's lowest bit and its width (0 when the
// channel is absent).
struct BmpMaskChannel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
};

struct LenientBmpHeaders {
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // the absolute value of biHeight
  bool bottomUp = true;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  // Fixed formats decode with the reader's own rows; bit fields with the masks below.
  BmpPixelFormat format = BmpPixelFormat::Unknown;
  bool bitFields = false;
  std::array<BmpMaskChannel, 4> masks{};  // red, green, blue, alpha
  bool hasAlpha = false;                  // 32-bit without masks, or an alpha mask
  std::uint64_t pixelsAt = 0;             // bfOffBits
  std::uint64_t rowStride = 0;
  BmpPalette palette{};

  bool runLength() const;
};

// Reads and checks the headers, colour table and masks; once they pass, the pixels always
// decode (a run-length stream that ends early leaves the rest at colour 0). Fails with
// EImageError naming the rule the file breaks.
LenientBmpHeaders ReadLenientBmpHeaders(TInputStream& in);

// Decodes a BMP from the stream's start into image (rows top-down). A file whose alpha is 0
// everywhere is taken as opaque: writers that leave the fourth byte unused fill it with 0.
void ReadBmpLenient(TInputStream& in, TArgbImage& image);

}  // namespace tvx
