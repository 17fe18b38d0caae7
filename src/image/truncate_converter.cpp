#include "image/truncate_converter.h"

#include <cstdlib>
#include <new>

#include "image/bmp_file.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "image/rgb565.h"

namespace tvx {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

struct Source {
  std::uint32_t bfOffBits = 0;
  std::uint32_t biSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t bitCount = 0;
  std::uint32_t compression = 0;
};

Source ReadSourceHeaders(TInputStream& in) {
  std::uint8_t fileHeader[14];
  in.Read(fileHeader, sizeof fileHeader);
  RequireImageRule(fileHeader[0] == 'B' && fileHeader[1] == 'M', "bmp file \"BM\" tag error!");
  Source s;
  s.bfOffBits = GetU32(fileHeader + 10);

  std::uint8_t info[kInfoHeaderSize] = {};
  in.Read(info, 4);
  s.biSize = GetU32(info);
  if (s.biSize == kCoreHeaderSize) {
    in.Read(info + 4, 8);
    s.width = GetU16(info + 4);
    s.height = GetU16(info + 6);
    s.planes = GetU16(info + 8);
    s.bitCount = GetU16(info + 10);
  } else {
    RequireImageRule(s.biSize == kInfoHeaderSize, "bmpInfo.biSize==40 || bmpInfo.biSize==12");
    in.Read(info + 4, kInfoHeaderSize - 4);
    s.width = GetI32(info + 4);
    s.height = GetI32(info + 8);
    s.planes = GetU16(info + 12);
    s.bitCount = GetU16(info + 14);
    s.compression = GetU32(info + 16);
  }
  RequireImageRule(s.planes == 1, "bmpInfo.biPlanes==1");
  RequireImageRule(s.bitCount == 24, "bmpInfo.biBitCount==24");
  RequireImageRule(s.compression == 0, "bmpInfo.biCompression==0");
  RequireImageRule((s.width & 1) == 0, "(bmpInfo.biWidth & 1)==0");
  return s;
}

std::vector<std::uint8_t> Translate(TInputStream& in) {
  const Source s = ReadSourceHeaders(in);
  const std::int64_t width = s.width;
  const std::int64_t height = std::abs(static_cast<std::int64_t>(s.height));
  RequireSaneBmpDimensions(width, height);
  RequireImageRule(s.bfOffBits >= 14 + s.biSize, "bmFileHeader.bfOffBits >= 14 + bmpInfo.biSize");
  // Rows of a 24-bit file are padded to 4 bytes; the last one may come without its padding.
  const std::uint64_t sourceStride = (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
  const std::uint64_t pixelBytes = sourceStride * (height - 1) + width * 3;
  RequireImageRule(s.bfOffBits + pixelBytes <= in.Size(),
                   "bmFileHeader.bfOffBits + stride * abs(bmpInfo.biHeight) <= file size");

  const std::uint32_t resultBytes = static_cast<std::uint32_t>(width * 2 * height);
  std::vector<std::uint8_t> out(kBitFieldBmpPrefixSize + resultBytes);
  // The height keeps its sign, and so the source's row order.
  PutBitFieldBmpHeader(out.data(), {.fileSize = resultBytes + kBitFieldBmpPrefixSize,
                                    .width = s.width,
                                    .height = s.height,
                                    .bitCount = 16,
                                    .sizeImage = resultBytes,
                                    .colorsUsed = 3,
                                    .masks = {0xF800, 0x07E0, 0x001F}});

  in.Seek(s.bfOffBits);
  const std::uint8_t* pixels = in.ReadBuffer(pixelBytes);
  std::uint8_t* d = out.data() + kBitFieldBmpPrefixSize;
  for (std::int64_t y = 0; y < height; ++y) {
    const std::uint8_t* row = pixels + y * sourceStride;
    for (std::int64_t x = 0; x < width; ++x, row += 3, d += 2) {
      PutU16(d, Rgb565FromRgb888(row[2], row[1], row[0]));
    }
  }
  return out;
}

// The stream's text, or the rule the source broke; nothing is thrown past the converter.
Result<std::vector<std::uint8_t>> translateNaming(TInputStream& in, const std::string& subject) {
  try {
    return Translate(in);
  } catch (const EImageError& error) {
    return Error::Invalid(subject, error.what());
  } catch (const std::bad_alloc&) {
    return Error::Invalid(subject, "out of memory");
  }
}

}  // namespace

Result<std::vector<std::uint8_t>> TranslateRgb888ToRgb565(TInputStream& in) {
  return translateNaming(in, {});
}

Result<std::vector<std::uint8_t>> TranslateBmpBytesRgb888ToRgb565(
    std::span<const std::uint8_t> bmp) {
  TMemoryInputStream in(bmp);
  return TranslateRgb888ToRgb565(in);
}

Result<void> TranslateRgb888FileToRgb565(const std::string& sourcePath,
                                         const std::string& destinationPath) {
  std::vector<std::uint8_t> converted;
  try {
    TFileInputStream in(sourcePath);
    Result<std::vector<std::uint8_t>> result = translateNaming(in, sourcePath);
    if (!result) {
      return std::move(result).error();
    }
    converted = std::move(result).value();
  } catch (const EImageError& error) {
    return Error::Invalid(sourcePath, error.what());
  }
  try {
    TReplacingFileOutputStream out(destinationPath);
    WriteAll(out, converted.data(), converted.size());
    out.Commit();
  } catch (const EImageError& error) {
    return Error::Invalid(destinationPath, error.what());
  }
  return {};
}

bool Sub2_TranslateRgb888ToRgb565(const std::string& sourcePath,
                                  const std::string& destinationPath) {
  return TranslateRgb888FileToRgb565(sourcePath, destinationPath).ok();
}

}  // namespace tvx
