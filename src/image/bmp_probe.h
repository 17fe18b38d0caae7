#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "image/streams.h"
#include "util/result.h"

// A look at a picture file's headers, never its pixels: what kind of file it is, what its BMP
// headers say and what each of the two converters would do with it. The converters' own header
// checks decide, so a probe and a conversion never disagree.
namespace tvx {

// What a file is, by its first bytes.
enum class PictureFileKind { kBmp, kPng, kJpeg, kGif, kOther };

PictureFileKind PictureFileKindOf(std::span<const std::uint8_t> firstBytes);

// The BMP headers' own words. Fields the header is too short to hold stay 0.
struct BmpHeaderSummary {
  std::uint32_t headerSize = 0;  // 12 core, 40 info, 108 version 4, 124 version 5
  std::int64_t width = 0;
  std::int64_t height = 0;  // the absolute value
  bool topDown = false;     // rows stored top row first (a negative height)
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;  // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  bool hasAlpha = false;          // 32-bit without masks, or masks with an alpha channel
  bool complete = false;          // the file holds the whole header
};

struct BmpProbe {
  PictureFileKind kind = PictureFileKind::kOther;
  std::uint64_t fileSize = 0;
  BmpHeaderSummary header;  // kBmp only
  // Empty when the converter takes the picture; otherwise the rule it breaks, in the
  // converter's own words.
  std::string truncateRefusal;
  std::string diffuseRefusal;

  bool truncatable() const { return truncateRefusal.empty(); }
  bool diffusable() const { return diffuseRefusal.empty(); }
  // The length of the 16-bit file a converter that takes the picture makes of it.
  std::uint64_t convertedSize() const;
};

// Probes the bytes of the stream from its start.
BmpProbe ProbeBmp(TInputStream& in);

// Probes a file; fails only when the file cannot be opened (named, with the system's reason).
Result<BmpProbe> ProbeBmpFile(const std::string& path);

}  // namespace tvx
