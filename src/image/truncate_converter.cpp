#include "image/truncate_converter.h"

#include <cstdlib>
#include <new>

#include "image/bmp_file.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "image/rgb565.h"

namespace tvx {

TruncateSource ReadTruncateSource(TInputStream& in) {
  std::uint8_t fileHeader[14];
  in.Read(fileHeader, sizeof fileHeader);
  RequireImageRule(fileHeader[0] == 'B' && fileHeader[1] == 'M', truncate_rule::kTag);
  TruncateSource s;
  s.bfOffBits = GetU32(fileHeader + 10);

  std::uint8_t info[kTruncateInfoHeaderSize] = {};
  in.Read(info, 4);
  s.biSize = GetU32(info);
  if (s.biSize == kTruncateCoreHeaderSize) {
    in.Read(info + 4, 8);
    s.width = GetU16(info + 4);
    s.height = GetU16(info + 6);
    s.planes = GetU16(info + 8);
    s.bitCount = GetU16(info + 10);
  } else {
    RequireImageRule(s.biSize == kTruncateInfoHeaderSize, truncate_rule::kHeaderSize);
    in.Read(info + 4, kTruncateInfoHeaderSize - 4);
    s.width = GetI32(info + 4);
    s.height = GetI32(info + 8);
    s.planes = GetU16(info + 12);
    s.bitCount = GetU16(info + 14);
    s.compression = GetU32(info + 16);
  }
  RequireImageRule(s.planes == 1, truncate_rule::kPlanes);
  RequireImageRule(s.bitCount == 24, truncate_rule::kBitCount);
  RequireImageRule(s.compression == 0, truncate_rule::kCompression);
  RequireImageRule((s.width & 1) == 0, truncate_rule::kEvenWidth);
  RequireSaneBmpDimensions(s.width, s.absoluteHeight());
  RequireImageRule(s.bfOffBits >= 14 + s.biSize, "bmFileHeader.bfOffBits >= 14 + bmpInfo.biSize");
  RequireImageRule(s.bfOffBits + s.pixelBytes() <= in.Size(),
                   "bmFileHeader.bfOffBits + stride * abs(bmpInfo.biHeight) <= file size");
  return s;
}

std::uint64_t TruncateSource::sourceStride() const {
  // Rows of a 24-bit file are padded to 4 bytes; the last one may come without its padding.
  return (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
}

std::uint64_t TruncateSource::pixelBytes() const {
  return sourceStride() * static_cast<std::uint64_t>(absoluteHeight() - 1) +
         static_cast<std::uint64_t>(width) * 3;
}

namespace {

std::vector<std::uint8_t> Translate(TInputStream& in) {
  const TruncateSource s = ReadTruncateSource(in);
  const std::int64_t width = s.width;
  const std::int64_t height = s.absoluteHeight();
  const std::uint64_t sourceStride = s.sourceStride();

  // The width is even, so the 16-bit rows need no padding.
  const auto fileSize = static_cast<std::uint32_t>(BitFieldBmpFileSize(width, height, 16));
  const std::uint32_t resultBytes = fileSize - kBitFieldBmpPrefixSize;
  std::vector<std::uint8_t> out(fileSize);
  // The height keeps its sign, and so the source's row order.
  PutBitFieldBmpHeader(out.data(), {.fileSize = fileSize,
                                    .width = s.width,
                                    .height = s.height,
                                    .bitCount = 16,
                                    .sizeImage = resultBytes,
                                    .colorsUsed = 3,
                                    .masks = {0xF800, 0x07E0, 0x001F}});

  in.Seek(s.bfOffBits);
  const std::uint8_t* pixels = in.ReadBuffer(s.pixelBytes());
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
