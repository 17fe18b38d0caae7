#include "image/normalised_bmp.h"

#include "image/little_endian.h"
#include "util/file_bytes.h"

namespace tvx {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsAt = kFileHeaderSize + kInfoHeaderSize;

std::uint32_t scaled(std::uint32_t channel, std::uint32_t alpha) {
  return (channel * alpha + 127) / 255;
}

}  // namespace

std::uint32_t OverBlack(std::uint32_t argb) {
  const std::uint32_t alpha = argb >> 24;
  return scaled(argb >> 16 & 0xFF, alpha) << 16 | scaled(argb >> 8 & 0xFF, alpha) << 8 |
         scaled(argb & 0xFF, alpha);
}

bool IsOpaque(const TArgbImage& image) {
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      if (row[x * 4 + 3] != 0xFF) {
        return false;
      }
    }
  }
  return true;
}

std::vector<std::uint8_t> NormalisedBmpBytes(const TArgbImage& image) {
  const auto width = static_cast<std::uint64_t>(image.Width());
  const auto height = static_cast<std::uint64_t>(image.Height());
  const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
  const auto pixelBytes = static_cast<std::uint32_t>(stride * height);
  std::vector<std::uint8_t> out(kPixelsAt + static_cast<std::size_t>(pixelBytes), 0);
  std::uint8_t* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  PutU32(p + 2, kPixelsAt + pixelBytes);
  PutU32(p + 10, kPixelsAt);
  std::uint8_t* info = p + kFileHeaderSize;
  PutU32(info, kInfoHeaderSize);
  PutU32(info + 4, static_cast<std::uint32_t>(width));
  PutU32(info + 8, static_cast<std::uint32_t>(height));
  PutU16(info + 12, 1);
  PutU16(info + 14, 24);
  PutU32(info + 20, pixelBytes);

  for (std::uint64_t y = 0; y < height; ++y) {
    const std::uint8_t* s = image.Row(static_cast<int>(height - 1 - y));
    std::uint8_t* d = p + kPixelsAt + y * stride;
    for (std::uint64_t x = 0; x < width; ++x, s += 4, d += 3) {
      const std::uint32_t rgb = OverBlack(GetU32(s));
      d[0] = static_cast<std::uint8_t>(rgb);
      d[1] = static_cast<std::uint8_t>(rgb >> 8);
      d[2] = static_cast<std::uint8_t>(rgb >> 16);
    }
  }
  return out;
}

Result<void> WriteNormalisedBmp(const TArgbImage& image, const std::string& path) {
  const std::vector<std::uint8_t> bytes = NormalisedBmpBytes(image);
  return WriteFileBytes(path, {bytes});
}

}  // namespace tvx
