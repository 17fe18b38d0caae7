#include <algorithm>
#include <vector>

#include "image/bmp_file.h"
#include "image/image_error.h"
#include "image/little_endian.h"

namespace tvx {

void PutBitFieldBmpHeader(std::uint8_t* p, const BitFieldBmpHeader& header) {
  std::fill(p, p + kBitFieldBmpPrefixSize, 0);
  p[0] = 'B';
  p[1] = 'M';
  PutU32(p + 2, header.fileSize);
  PutU32(p + 10, kBitFieldBmpPrefixSize);
  PutU32(p + 14, 40);
  PutU32(p + 18, static_cast<std::uint32_t>(header.width));
  PutU32(p + 22, static_cast<std::uint32_t>(header.height));
  PutU16(p + 26, 1);
  PutU16(p + 28, header.bitCount);
  PutU32(p + 30, 3);
  PutU32(p + 34, header.sizeImage);
  PutU32(p + 46, header.colorsUsed);
  PutU32(p + 54, header.masks[0]);
  PutU32(p + 58, header.masks[1]);
  PutU32(p + 62, header.masks[2]);
}

void WriteBmp(TArgbImage& image, TOutputStream& out, int redBits, int greenBits, int blueBits) {
  if (redBits < 0 || redBits > 8 || greenBits < 0 || greenBits > 8 || blueBits < 0 ||
      blueBits > 8) {
    throw EImageError("WriteBmp: channel widths must be 0 to 8 bits");
  }
  const ImageLock lock(image);
  const TImageDesc& desc = lock.desc();
  const int bitCount = redBits + greenBits + blueBits <= 16 ? 16 : 32;
  const auto width = static_cast<std::uint64_t>(desc.Width);
  const std::uint64_t stride = BitFieldBmpStride(width, bitCount);
  const std::uint64_t fileSize =
      BitFieldBmpFileSize(width, static_cast<std::uint64_t>(desc.Height), bitCount);
  if (fileSize > UINT32_MAX) {
    throw EImageError("WriteBmp: picture too large for a BMP file");
  }

  std::vector<std::uint8_t> file(fileSize, 0);
  const int greenShift = blueBits;
  const int redShift = greenBits + blueBits;
  PutBitFieldBmpHeader(file.data(),
                       {.fileSize = static_cast<std::uint32_t>(fileSize),
                        .width = desc.Width,
                        .height = desc.Height,
                        .bitCount = static_cast<std::uint16_t>(bitCount),
                        .masks = {((1U << redBits) - 1) << redShift,
                                  ((1U << greenBits) - 1) << greenShift, (1U << blueBits) - 1}});

  std::uint8_t* row = file.data() + kBitFieldBmpPrefixSize;
  for (int y = desc.Height - 1; y >= 0; --y, row += stride) {
    const std::uint8_t* s = desc.Pixels + static_cast<std::ptrdiff_t>(y) * desc.Stride;
    std::uint8_t* d = row;
    for (int x = 0; x < desc.Width; ++x, s += 4) {
      const std::uint32_t value = static_cast<std::uint32_t>(s[2] >> (8 - redBits)) << redShift |
                                  static_cast<std::uint32_t>(s[1] >> (8 - greenBits))
                                      << greenShift |
                                  static_cast<std::uint32_t>(s[0] >> (8 - blueBits));
      if (bitCount == 16) {
        PutU16(d, value);
        d += 2;
      } else {
        PutU32(d, value);
        d += 4;
      }
    }
  }
  WriteAll(out, file.data(), file.size());
}

}  // namespace tvx
