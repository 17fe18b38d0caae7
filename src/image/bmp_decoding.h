#pragma once

#include <cstdint>

#include "image/bmp_file.h"
#include "image/streams.h"

// The pieces of BMP decoding that the reader and the lenient reader share: the tag, the colour
// table and the rows of the fixed pixel formats.
namespace tvx {

inline constexpr std::uint32_t kBmpNoCompression = 0;
inline constexpr std::uint32_t kBmpRle8 = 1;
inline constexpr std::uint32_t kBmpRle4 = 2;
inline constexpr std::uint32_t kBmpBitFields = 3;
inline constexpr std::uint32_t kBmpAlphaBitFields = 6;

// Skips "BM" (either case); fails with bmp_rule::kTag when the stream does not start with it.
void ReadBmpTag(TInputStream& in);

// Reads `entries` colour table entries of entrySize bytes (4, or 3 in a core header file),
// each blue, green, red. Indexes past them give opaque black rather than whatever memory
// follows. Fails when the file holds more than 256 entries or ends inside the table.
void ReadBmpPalette(TInputStream& in, std::uint32_t entries, std::uint32_t entrySize,
                    BmpPalette& palette);

// The indexed format of a bit count of 1, 4 or 8; Unknown for any other.
BmpPixelFormat IndexedBmpFormat(std::uint16_t bitCount);

// Decodes one stored row of width pixels into 0xAARRGGBB pixels at d; fails with
// bmp_rule::kNoDecoder for Unknown.
void DecodeBmpRow(BmpPixelFormat format, const std::uint8_t* s, std::uint8_t* d, int width,
                  const BmpPalette& palette);

}  // namespace tvx
