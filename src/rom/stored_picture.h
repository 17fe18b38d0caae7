#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "util/result.h"

// A picture as the GLB stores it: a 16-bit BMP with the 5-6-5 bit-field masks, rows
// bottom-up (or top-down for a negative height) and padded to 4 bytes, whose first two bytes
// "BM" the build replaced by two bytes derived from its size. Library resources keep "BM" in
// the library itself and may be other bytes altogether; those are not pictures.
namespace tvx {

struct StoredPictureHeader {
  int width = 0;
  int height = 0;  // rows, whatever their order
  bool topDown = false;
  std::size_t pixelOffset = 0;
  std::size_t stride = 0;  // bytes per stored row
};

// The header of a stored picture, every offset checked against the bytes; an Error whose
// detail says (in English) why the bytes are no picture the indicator can show.
Result<StoredPictureHeader> ReadStoredPictureHeader(std::span<const std::uint8_t> bytes);

struct StoredPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // R, G, B per pixel, rows top-down
};

// Every pixel of a stored picture, widened to 8 bits per channel.
Result<StoredPicture> DecodeStoredPicture(std::span<const std::uint8_t> bytes);

// The bytes 0 and 1 the build stores in place of "BM" in a resource of size bytes.
constexpr std::uint8_t StoredTagByte0(std::size_t size) {
  return static_cast<std::uint8_t>(size >> 2);
}
constexpr std::uint8_t StoredTagByte1(std::size_t size) {
  return static_cast<std::uint8_t>((size >> 2) + (size >> 3));
}

// A 5-, 6- or 5-bit channel as 8 bits, its top bits repeated below it so that full scale stays
// full scale (31 gives 255), as the panel shows it.
constexpr std::uint8_t WidenChannel(unsigned value, int bits) {
  return static_cast<std::uint8_t>(value << (8 - bits) | value >> (2 * bits - 8));
}

struct Rgb888 {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb888&) const = default;
};

constexpr Rgb888 WidenRgb565(std::uint16_t value) {
  return {WidenChannel(value >> 11, 5), WidenChannel(value >> 5 & 0x3F, 6),
          WidenChannel(value & 0x1F, 5)};
}

}  // namespace tvx
