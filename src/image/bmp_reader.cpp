#include <algorithm>
#include <array>
#include <cstdlib>

#include "image/bmp_decoding.h"
#include "image/bmp_file.h"
#include "image/image_error.h"
#include "image/little_endian.h"

namespace tvx {
namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
// Headers from version 2 on carry the three channel masks in their bytes 40 to 51.
constexpr std::uint32_t kInfoHeaderWithMasksSize = 52;

struct BmpHeaders {
  std::uint32_t bfSize = 0;
  std::uint32_t bfOffBits = 0;
  std::uint32_t biSize = 0;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 0;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::uint32_t biClrUsed = 0;
  bool masksInHeader = false;
  std::array<std::uint32_t, 3> headerMasks{};
};

BmpHeaders ReadHeaders(TInputStream& in) {
  BmpHeaders h;
  std::uint8_t fileHeader[12];
  in.Read(fileHeader, sizeof fileHeader);
  h.bfSize = GetU32(fileHeader);
  h.bfOffBits = GetU32(fileHeader + 8);

  std::array<std::uint8_t, kInfoHeaderSize> info{};
  in.Read(info.data(), 4);
  h.biSize = GetU32(info.data());
  // A size below 4 would ask for a negative number of bytes.
  RequireImageRule(h.biSize >= 4, "bmpInfo.biSize >= 4");
  in.Read(info.data() + 4, std::min(h.biSize, kInfoHeaderSize) - 4);
  h.biWidth = GetI32(&info[4]);
  h.biHeight = GetI32(&info[8]);
  h.biPlanes = GetU16(&info[12]);
  h.biBitCount = GetU16(&info[14]);
  h.biCompression = GetU32(&info[16]);
  h.biSizeImage = GetU32(&info[20]);
  h.biClrUsed = GetU32(&info[32]);

  if (h.biSize >= kInfoHeaderWithMasksSize) {
    std::uint8_t masks[12];
    in.Read(masks, sizeof masks);
    h.masksInHeader = true;
    h.headerMasks = {GetU32(masks), GetU32(masks + 4), GetU32(masks + 8)};
    in.Skip(h.biSize - kInfoHeaderWithMasksSize);
  } else if (h.biSize > kInfoHeaderSize) {
    in.Skip(h.biSize - kInfoHeaderSize);
  }
  return h;
}

// Indexes past the file's entries give opaque black rather than whatever memory follows.
void ReadPalette(TInputStream& in, const BmpHeaders& h, BmpPalette& palette) {
  const std::uint32_t entries =
      h.biClrUsed != 0 ? h.biClrUsed : (h.biBitCount < 9 ? 1U << h.biBitCount : 0U);
  ReadBmpPalette(in, entries, 4, palette);
}

BmpPixelFormat ChooseMaskedFormat(TInputStream& in, const BmpHeaders& h) {
  const bool bitFields =
      h.biCompression == kBmpBitFields && (h.biBitCount == 16 || h.biBitCount == 32);
  std::array<std::uint32_t, 3> masks{};
  if (bitFields) {
    if (h.masksInHeader) {
      masks = h.headerMasks;
    } else {
      std::uint8_t raw[12];
      in.Read(raw, sizeof raw);
      masks = {GetU32(raw), GetU32(raw + 4), GetU32(raw + 8)};
    }
  }
  const auto [red, green, blue] = masks;
  switch (h.biBitCount) {
    case 16:
      if (!bitFields) {
        return BmpPixelFormat::Rgb555;
      }
      if (green == 0x03E0) {
        RequireImageRule(red == 0x7C00, bmp_rule::kRedMask555);
        RequireImageRule(blue == 0x001F, bmp_rule::kBlueMask);
        return BmpPixelFormat::Rgb555;
      }
      if (green == 0x00F0) {
        return BmpPixelFormat::Rgb444;
      }
      if (green == 0x0FC0) {
        return BmpPixelFormat::Rgb666;
      }
      RequireImageRule(red == 0xF800, bmp_rule::kRedMask565);
      RequireImageRule(green == 0x07E0, bmp_rule::kGreenMask565);
      RequireImageRule(blue == 0x001F, bmp_rule::kBlueMask);
      return BmpPixelFormat::Rgb565;
    case 24:
      return BmpPixelFormat::Bgr888;
    case 32:
      if (!bitFields) {
        return BmpPixelFormat::Bgra8888;
      }
      if (red == 0x00FF0000 && green == 0x0000FF00 && blue == 0x000000FF) {
        return BmpPixelFormat::Bgrx8888;
      }
      return BmpPixelFormat::Rgb666;
    default:
      return BmpPixelFormat::Unknown;
  }
}

// Bits of the file row a decoder reads per pixel: the 18-bit layout always takes 4 bytes,
// also when a 16-bit file selected it.
std::uint64_t DecodedBitsPerPixel(BmpPixelFormat format, std::uint16_t bitCount) {
  return format == BmpPixelFormat::Rgb666 ? 32 : bitCount;
}

}  // namespace

void RequireSaneBmpDimensions(std::int64_t width, std::int64_t height) {
  RequireImageRule(width > 0, "bmpInfo.biWidth > 0");
  RequireImageRule(height > 0, "bmpInfo.biHeight != 0");
  RequireImageRule(width <= kMaxBmpSide, "bmpInfo.biWidth <= 32767");
  RequireImageRule(height <= kMaxBmpSide, "abs(bmpInfo.biHeight) <= 32767");
  RequireImageRule(width * height <= kMaxBmpPixels,
                   "bmpInfo.biWidth * abs(bmpInfo.biHeight) <= 0x4000000");
}

CheckedBmpHeaders ReadCheckedBmpHeaders(TInputStream& in) {
  ReadBmpTag(in);
  BmpHeaders h = ReadHeaders(in);

  CheckedBmpHeaders checked;
  checked.bottomUp = h.biHeight > 0;
  checked.width = h.biWidth;
  checked.height = std::abs(static_cast<std::int64_t>(h.biHeight));
  const std::int64_t width = checked.width;
  const std::int64_t height = checked.height;

  // The row stride and the default pixel block size as the format defines them in 32-bit
  // arithmetic; absurd dimensions are refused below, before anything depends on them.
  const std::uint32_t stride = static_cast<std::uint32_t>((h.biBitCount * width + 31) / 32 * 4);
  if (h.biSizeImage == 0) {
    h.biSizeImage = stride * static_cast<std::uint32_t>(height);
  }

  if (h.biBitCount <= 8) {
    ReadPalette(in, h, checked.palette);
    checked.format = IndexedBmpFormat(h.biBitCount);
  } else {
    checked.format = ChooseMaskedFormat(in, h);
  }

  RequireImageRule(h.biSizeImage == h.bfSize - h.biSize - 12 - 2, bmp_rule::kSizeRule);
  RequireImageRule(h.biPlanes == 1, bmp_rule::kPlanes);
  RequireImageRule(h.biCompression != kBmpRle4, bmp_rule::kRle4);
  RequireImageRule(h.biCompression != kBmpRle8, bmp_rule::kRle8);

  // Nothing is allocated or read on the header's word: the dimensions must be sane and the
  // pixel block must lie inside the file and hold every row the decoder will touch.
  RequireSaneBmpDimensions(width, height);
  checked.headerEnd = in.Position();
  RequireImageRule(h.bfOffBits >= checked.headerEnd, "bmFileHeader.bfOffBits >= stream.Position()");
  checked.rowStride = (static_cast<std::uint64_t>(h.biBitCount) * width + 31) / 32 * 4;
  const std::uint64_t lastRowBytes =
      (DecodedBitsPerPixel(checked.format, h.biBitCount) * width + 7) / 8;
  RequireImageRule(h.biSizeImage >= checked.rowStride * (height - 1) + lastRowBytes,
                   "bmpInfo.biSizeImage >= stride * (abs(bmpInfo.biHeight) - 1) + rowBytes");
  RequireImageRule(static_cast<std::uint64_t>(h.bfOffBits) + h.biSizeImage <= in.Size(),
                   "bmFileHeader.bfOffBits + bmpInfo.biSizeImage <= file size");
  // A bit count without a row decoder (2, 0, 7, ...).
  RequireImageRule(checked.format != BmpPixelFormat::Unknown, bmp_rule::kNoDecoder);
  checked.bfOffBits = h.bfOffBits;
  checked.biSizeImage = h.biSizeImage;
  return checked;
}

void ReadBmp(TInputStream& in, TArgbImage& image) {
  const CheckedBmpHeaders h = ReadCheckedBmpHeaders(in);
  image.Resize(static_cast<int>(h.width), static_cast<int>(h.height));
  in.Skip(h.bfOffBits - h.headerEnd);
  const std::uint8_t* pixels = in.ReadBuffer(h.biSizeImage);

  for (std::int64_t i = 0; i < h.height; ++i) {
    const int row = static_cast<int>(h.bottomUp ? h.height - 1 - i : i);
    DecodeBmpRow(h.format, pixels + i * h.rowStride, image.Row(row), static_cast<int>(h.width),
                 h.palette);
  }
}

}  // namespace tvx
