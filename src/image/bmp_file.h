#pragma once

#include <array>
#include <cstdint>

#include "image/argb_image.h"
#include "image/streams.h"

namespace tvx {

// Largest pictures the reader decodes. The indicator's screens are 240 × 320; these bounds
// leave room for any photograph while keeping a forged header from asking for gigabytes.
inline constexpr std::int64_t kMaxBmpSide = 32767;
inline constexpr std::int64_t kMaxBmpPixels = 0x4000000;  // 64 Mi pixels, 256 MiB decoded

// Refuses a width or height (the absolute value of biHeight) beyond those bounds.
void RequireSaneBmpDimensions(std::int64_t width, std::int64_t height);

// The reader's rules that a file can break, as its refusals name them (among others that only
// a damaged file breaks).
namespace bmp_rule {
inline constexpr const char* kTag = "bmp file \"BM\" tag error!";
inline constexpr const char* kSizeRule =
    "bmpInfo.biSizeImage == bmFileHeader.bfSize - bmpInfo.biSize - sizeof(bmFileHeader) - 2";
inline constexpr const char* kPlanes = "bmpInfo.biPlanes==1";
inline constexpr const char* kRle4 = "bmpInfo.biCompression!=csBI_RLE4";
inline constexpr const char* kRle8 = "bmpInfo.biCompression!=csBI_RLE8";
inline constexpr const char* kRedMask555 = "RMask==0x7C00";
inline constexpr const char* kBlueMask = "BMask==0x001F";
inline constexpr const char* kRedMask565 = "RMask==0xF800";
inline constexpr const char* kGreenMask565 = "GMask==0x07E0";
// A bit count without a row decoder.
inline constexpr const char* kNoDecoder = "false";
}  // namespace bmp_rule

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

// Palette entries as 0xAARRGGBB with A = 255.
using BmpPalette = std::array<std::uint32_t, 256>;

// What the reader needs of a file's headers to decode its pixels.
struct CheckedBmpHeaders {
  std::uint32_t bfOffBits = 0;
  std::uint32_t biSizeImage = 0;  // the pixel block's length (computed when the file says 0)
  std::int64_t width = 0;
  std::int64_t height = 0;  // the absolute value of biHeight
  bool bottomUp = true;
  BmpPixelFormat format = BmpPixelFormat::Unknown;
  std::uint64_t rowStride = 0;
  std::uint64_t headerEnd = 0;  // the stream position after headers, palette and masks
  BmpPalette palette{};
};

// Reads a file's headers (palette and masks included) and checks every rule of the reader that
// they decide, pixels unread; fails with EImageError carrying the rule the file broke.
CheckedBmpHeaders ReadCheckedBmpHeaders(TInputStream& in);

// Decodes a whole BMP file into image (resized to the file's width and height, rows
// top-down). Fails with EImageError carrying the rule the file broke.
void ReadBmp(TInputStream& in, TArgbImage& image);

// The 66 bytes before the pixels of a bit-field BMP as both converters write it: the 14-byte
// file header, a 40-byte info header with compression 3 (bit fields) and the three masks.
inline constexpr std::uint32_t kBitFieldBmpPrefixSize = 14 + 40 + 12;

// The length of such a file of 16 or 32 bits per pixel: the prefix and the rows, each padded to
// 4 bytes. Both converters write their pictures at 16 bits, so this is what a picture of that
// size becomes.
constexpr std::uint64_t BitFieldBmpStride(std::uint64_t width, int bitCount) {
  return (width * static_cast<std::uint64_t>(bitCount / 8) + 3) / 4 * 4;
}
constexpr std::uint64_t BitFieldBmpFileSize(std::uint64_t width, std::uint64_t height,
                                            int bitCount) {
  return BitFieldBmpStride(width, bitCount) * height + kBitFieldBmpPrefixSize;
}

struct BitFieldBmpHeader {
  std::uint32_t fileSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative for rows top-down
  std::uint16_t bitCount = 16;
  std::uint32_t sizeImage = 0;
  std::uint32_t colorsUsed = 0;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
};

// Fills prefix[0, kBitFieldBmpPrefixSize) with the headers and masks; resolutions, reserved
// fields and important colours are 0.
void PutBitFieldBmpHeader(std::uint8_t* prefix, const BitFieldBmpHeader& header);

// Writes image as a bit-field BMP with the given channel widths (each 0 to 8 bits): 16 bits
// per pixel when they add up to at most 16, otherwise 32; rows bottom-up, padded to 4 bytes.
void WriteBmp(TArgbImage& image, TOutputStream& out, int redBits, int greenBits, int blueBits);

}  // namespace tvx
