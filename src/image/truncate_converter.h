#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/streams.h"
#include "util/result.h"

namespace tvx {

// The rules of the truncating converter that a source can break, as its refusals name them.
namespace truncate_rule {
inline constexpr const char* kTag = "bmp file \"BM\" tag error!";
inline constexpr const char* kHeaderSize = "bmpInfo.biSize==40 || bmpInfo.biSize==12";
inline constexpr const char* kPlanes = "bmpInfo.biPlanes==1";
inline constexpr const char* kBitCount = "bmpInfo.biBitCount==24";
inline constexpr const char* kCompression = "bmpInfo.biCompression==0";
inline constexpr const char* kEvenWidth = "(bmpInfo.biWidth & 1)==0";
}  // namespace truncate_rule

// The header sizes the truncating converter reads: the old core header and the info header.
inline constexpr std::uint32_t kTruncateCoreHeaderSize = 12;
inline constexpr std::uint32_t kTruncateInfoHeaderSize = 40;

// A source as the truncating converter reads its headers: fields a core header lacks are 0.
struct TruncateSource {
  std::uint32_t bfOffBits = 0;
  std::uint32_t biSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t bitCount = 0;
  std::uint32_t compression = 0;

  std::int64_t absoluteHeight() const { return height < 0 ? -std::int64_t{height} : height; }
  // Bytes of a padded 24-bit row, and of the pixel block the converter reads.
  std::uint64_t sourceStride() const;
  std::uint64_t pixelBytes() const;
};

// Reads a source's headers from the start of the stream and checks every rule of the converter
// that the headers decide, pixels unread; fails with EImageError naming the rule broken (or
// the stream's text when the file ends inside the headers).
TruncateSource ReadTruncateSource(TInputStream& in);

// Converts a 24-bit BMP (info or core header, even width) into a 16-bit 5-6-5 bit-field BMP
// by dropping the low bits of each channel. Keeps the source's row order (a top-down source
// stays top-down). Returns false when the source is refused or cannot be opened, read or
// written; the destination then is left as it was.
bool Sub2_TranslateRgb888ToRgb565(const std::string& sourcePath,
                                  const std::string& destinationPath);

// The same, saying why not: the error names the source (refused, or not read) or the
// destination (not written), and its detail is the rule the source broke or the stream error
// ("(bmpInfo.biWidth & 1)==0", "TFileOutputStream _file_create ERROR!").
Result<void> TranslateRgb888FileToRgb565(const std::string& sourcePath,
                                         const std::string& destinationPath);

// The same from a stream or bytes to bytes; the error names no file.
Result<std::vector<std::uint8_t>> TranslateRgb888ToRgb565(TInputStream& in);
Result<std::vector<std::uint8_t>> TranslateBmpBytesRgb888ToRgb565(
    std::span<const std::uint8_t> bmp);

}  // namespace tvx
