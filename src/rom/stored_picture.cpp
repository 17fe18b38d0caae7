#include "rom/stored_picture.h"

#include <string>

#include "image/bmp_file.h"
#include "image/little_endian.h"
#include "util/printf_format.h"

namespace tvx {

namespace {

using YVclUtil::FormatPrintf;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kMasksSize = 12;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kRedMask = 0xF800;
constexpr std::uint32_t kGreenMask = 0x07E0;
constexpr std::uint32_t kBlueMask = 0x001F;

Error notAPicture(std::string why) {
  return Error::Invalid({}, std::move(why));
}

}  // namespace

Result<StoredPictureHeader> ReadStoredPictureHeader(std::span<const std::uint8_t> bytes) {
  const std::size_t size = bytes.size();
  if (size < kFileHeaderSize + kInfoHeaderSize + kMasksSize) {
    return notAPicture(FormatPrintf("%zu bytes, too short for a 16-bit BMP", size));
  }
  const std::uint8_t* p = bytes.data();
  const bool keptTag = p[0] == 'B' && p[1] == 'M';
  const bool storedTag = p[0] == StoredTagByte0(size) && p[1] == StoredTagByte1(size);
  if (!keptTag && !storedTag) {
    return notAPicture(
        FormatPrintf("begins 0x%02X 0x%02X: neither \"BM\" nor its size bytes", p[0], p[1]));
  }
  const std::uint32_t pixelOffset = GetU32(p + 10);
  const std::uint32_t infoSize = GetU32(p + 14);
  const std::int64_t width = GetI32(p + 18);
  const std::int64_t height = GetI32(p + 22);
  const std::uint16_t bitCount = GetU16(p + 28);
  const std::uint32_t compression = GetU32(p + 30);
  if (infoSize < kInfoHeaderSize) {
    return notAPicture(FormatPrintf("info header of %u bytes, not a 16-bit BMP", infoSize));
  }
  if (bitCount != 16 || compression != kBitFields) {
    return notAPicture(
        FormatPrintf("%u bits per pixel, compression %u: not 16-bit 5-6-5", bitCount, compression));
  }
  // With a 40-byte info header the masks follow it; longer headers hold them at the same place.
  const std::uint32_t red = GetU32(p + 54);
  const std::uint32_t green = GetU32(p + 58);
  const std::uint32_t blue = GetU32(p + 62);
  if (red != kRedMask || green != kGreenMask || blue != kBlueMask) {
    return notAPicture(FormatPrintf("masks 0x%X 0x%X 0x%X: not 5-6-5", red, green, blue));
  }
  const std::int64_t rows = height < 0 ? -height : height;
  if (width < 1 || rows < 1 || width > kMaxBmpSide || rows > kMaxBmpSide) {
    return notAPicture(FormatPrintf("%lld x %lld pixels", static_cast<long long>(width),
                                    static_cast<long long>(height)));
  }
  const std::uint64_t headersEnd =
      kFileHeaderSize + infoSize + (infoSize == kInfoHeaderSize ? kMasksSize : 0);
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 2 + 3) / 4 * 4;
  const std::uint64_t pixelsEnd = pixelOffset + stride * static_cast<std::uint64_t>(rows);
  if (pixelOffset < headersEnd || pixelsEnd > size) {
    return notAPicture(FormatPrintf("%lld x %lld pixels from offset %u need %llu bytes, not %zu",
                                    static_cast<long long>(width), static_cast<long long>(rows),
                                    pixelOffset, static_cast<unsigned long long>(pixelsEnd), size));
  }
  return StoredPictureHeader{static_cast<int>(width), static_cast<int>(rows), height < 0,
                             pixelOffset, static_cast<std::size_t>(stride)};
}

Result<StoredPicture> DecodeStoredPicture(std::span<const std::uint8_t> bytes) {
  Result<StoredPictureHeader> header = ReadStoredPictureHeader(bytes);
  if (!header) {
    return std::move(header).error();
  }
  StoredPicture picture;
  picture.width = header->width;
  picture.height = header->height;
  picture.rgb.resize(static_cast<std::size_t>(picture.width) *
                     static_cast<std::size_t>(picture.height) * 3);
  std::uint8_t* out = picture.rgb.data();
  for (int y = 0; y < picture.height; ++y) {
    const int storedRow = header->topDown ? y : picture.height - 1 - y;
    const std::uint8_t* in =
        bytes.data() + header->pixelOffset + static_cast<std::size_t>(storedRow) * header->stride;
    for (int x = 0; x < picture.width; ++x, in += 2) {
      const Rgb888 pixel = WidenRgb565(GetU16(in));
      *out++ = pixel.r;
      *out++ = pixel.g;
      *out++ = pixel.b;
    }
  }
  return picture;
}

}  // namespace tvx
