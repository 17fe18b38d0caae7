#pragma once

#include <cstdint>

namespace tvx {

// The indicator's 16-bit colour: red in bits 15-11, green in bits 10-5, blue in bits 4-0,
// little-endian in files.
using Rgb565Pixel = std::uint16_t;

// Truncating conversion, as project colours and the truncating converter use it.
constexpr Rgb565Pixel Rgb565FromRgb888(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Rgb565Pixel>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

}  // namespace tvx
