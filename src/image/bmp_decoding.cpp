#include "image/bmp_decoding.h"

#include <algorithm>
#include <array>

#include "image/image_error.h"
#include "image/little_endian.h"

namespace tvx {
namespace {

inline void Put(std::uint8_t* d, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  d[0] = static_cast<std::uint8_t>(b);
  d[1] = static_cast<std::uint8_t>(g);
  d[2] = static_cast<std::uint8_t>(r);
  d[3] = 0xFF;
}

}  // namespace

void ReadBmpTag(TInputStream& in) {
  std::uint8_t tag[2] = {0, 0};
  const bool present = in.Peek(tag, 2);
  RequireImageRule(present && (tag[0] == 'B' || tag[0] == 'b') && (tag[1] == 'M' || tag[1] == 'm'),
                   bmp_rule::kTag);
  in.Skip(2);
}

void ReadBmpPalette(TInputStream& in, std::uint32_t entries, std::uint32_t entrySize,
                    BmpPalette& palette) {
  palette.fill(0xFF000000U);
  RequireImageRule(entries <= 256, "bmpInfo.biClrUsed <= 256");
  std::array<std::uint8_t, 256 * 4> raw{};
  in.Read(raw.data(), entries * entrySize);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint8_t* entry = &raw[i * entrySize];
    palette[i] = 0xFF000000U | static_cast<std::uint32_t>(entry[2]) << 16 |
                 static_cast<std::uint32_t>(entry[1]) << 8 | entry[0];
  }
}

BmpPixelFormat IndexedBmpFormat(std::uint16_t bitCount) {
  switch (bitCount) {
    case 1:
      return BmpPixelFormat::Indexed1;
    case 4:
      return BmpPixelFormat::Indexed4;
    case 8:
      return BmpPixelFormat::Indexed8;
    default:
      return BmpPixelFormat::Unknown;
  }
}

void DecodeBmpRow(BmpPixelFormat format, const std::uint8_t* s, std::uint8_t* d, int width,
                  const BmpPalette& palette) {
  switch (format) {
    case BmpPixelFormat::Indexed1:
      for (int x = 0; x < width; ++x, d += 4) {
        PutU32(d, palette[(s[x >> 3] >> (7 - (x & 7))) & 1U]);
      }
      return;
    case BmpPixelFormat::Indexed4:
      for (int x = 0; x < width; ++x, d += 4) {
        PutU32(d, palette[(s[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 0x0FU]);
      }
      return;
    case BmpPixelFormat::Indexed8:
      for (int x = 0; x < width; ++x, d += 4) {
        PutU32(d, palette[s[x]]);
      }
      return;
    case BmpPixelFormat::Rgb444:
      for (int x = 0; x < width; ++x, s += 2, d += 4) {
        const std::uint32_t v = GetU16(s);
        Put(d, ((v >> 8) & 0x0F) << 4, ((v >> 4) & 0x0F) << 4, (v & 0x0F) << 4);
      }
      return;
    case BmpPixelFormat::Rgb555:
      for (int x = 0; x < width; ++x, s += 2, d += 4) {
        const std::uint32_t v = GetU16(s);
        Put(d, ((v >> 10) & 0x1F) << 3, ((v >> 5) & 0x1F) << 3, (v & 0x1F) << 3);
      }
      return;
    case BmpPixelFormat::Rgb565:
      for (int x = 0; x < width; ++x, s += 2, d += 4) {
        const std::uint32_t v = GetU16(s);
        Put(d, ((v >> 11) & 0x1F) << 3, ((v >> 5) & 0x3F) << 2, (v & 0x1F) << 3);
      }
      return;
    case BmpPixelFormat::Rgb666:
      for (int x = 0; x < width; ++x, s += 4, d += 4) {
        const std::uint32_t w = GetU32(s);
        Put(d, ((w >> 16) & 0x3F) << 2, ((w >> 6) & 0x3F) << 2, (w & 0x3F) << 2);
      }
      return;
    case BmpPixelFormat::Bgr888:
      for (int x = 0; x < width; ++x, s += 3, d += 4) {
        Put(d, s[2], s[1], s[0]);
      }
      return;
    case BmpPixelFormat::Bgra8888:
      std::copy(s, s + static_cast<std::ptrdiff_t>(width) * 4, d);
      return;
    case BmpPixelFormat::Bgrx8888:
      for (int x = 0; x < width; ++x, s += 4, d += 4) {
        Put(d, s[2], s[1], s[0]);
      }
      return;
    case BmpPixelFormat::Unknown:
      break;
  }
  throw EImageError(bmp_rule::kNoDecoder);
}

}  // namespace tvx
