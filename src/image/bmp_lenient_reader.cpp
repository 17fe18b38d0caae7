#include <algorithm>
#include <bit>
#include <cstdlib>

#include "image/bmp_decoding.h"
#include "image/bmp_lenient.h"
#include "image/image_error.h"
#include "image/little_endian.h"

namespace tvx {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
// From version 2 on the masks are part of the header (bytes 40 to 51), from version 3 on the
// alpha mask too (bytes 52 to 55).
constexpr std::uint32_t kHeaderWithMasks = 52;
constexpr std::uint32_t kHeaderWithAlphaMask = 56;
constexpr std::uint32_t kLargestHeader = 124;

// The core header, or the info header and any of its successors (52, 56, 108, 124 bytes, and
// larger ones read as far as version 5 goes).
bool knownHeaderSize(std::uint32_t size) {
  return size == kCoreHeaderSize || size >= kInfoHeaderSize;
}

BmpMaskChannel channelOf(std::uint32_t mask) {
  if (mask == 0) {
    return {};
  }
  const int shift = std::countr_zero(mask);
  return {mask, shift, static_cast<int>(std::bit_width(mask >> shift))};
}

// Colour channels narrower than 8 bits keep their bits at the top, as the reader's fixed
// formats do; alpha is scaled to the full range, so that a 1-bit alpha of 1 is opaque.
std::uint32_t colourOf(std::uint32_t v, const BmpMaskChannel& c) {
  if (c.bits == 0) {
    return 0;
  }
  const std::uint32_t value = (v & c.mask) >> c.shift;
  return c.bits >= 8 ? value >> (c.bits - 8) : value << (8 - c.bits);
}

std::uint32_t alphaOf(std::uint32_t v, const BmpMaskChannel& c) {
  if (c.bits == 0) {
    return 0xFF;
  }
  const std::uint32_t value = (v & c.mask) >> c.shift;
  if (c.bits >= 8) {
    return value >> (c.bits - 8);
  }
  return value * 255 / ((1U << c.bits) - 1);
}

void decodeMaskedRow(const LenientBmpHeaders& h, const std::uint8_t* s, std::uint8_t* d) {
  const auto& [red, green, blue, alpha] = h.masks;
  const bool wide = h.bitCount == 32;
  for (std::int64_t x = 0; x < h.width; ++x, d += 4) {
    const std::uint32_t v = wide ? GetU32(s + x * 4) : GetU16(s + x * 2);
    PutU32(d, alphaOf(v, alpha) << 24 | colourOf(v, red) << 16 | colourOf(v, green) << 8 |
                  colourOf(v, blue));
  }
}

std::array<std::uint32_t, 4> readMasks(TInputStream& in, const LenientBmpHeaders& h,
                                       const std::uint8_t* info) {
  std::array<std::uint32_t, 4> masks{};
  const std::uint32_t count = h.compression == kBmpAlphaBitFields ? 4 : 3;
  if (h.headerSize >= kHeaderWithMasks) {
    for (std::uint32_t i = 0; i < 3; ++i) {
      masks[i] = GetU32(info + kInfoHeaderSize + 4 * i);
    }
    if (h.headerSize >= kHeaderWithAlphaMask) {
      masks[3] = GetU32(info + kHeaderWithMasks);
    }
  } else {
    std::uint8_t raw[16];
    in.Read(raw, 4 * count);
    for (std::uint32_t i = 0; i < count; ++i) {
      masks[i] = GetU32(raw + 4 * i);
    }
  }
  return masks;
}

void chooseFormat(TInputStream& in, LenientBmpHeaders& h, const std::uint8_t* info) {
  // Bit fields of other bit counts are read as uncompressed, as the reader reads them.
  const bool bitFields = h.compression == kBmpBitFields || h.compression == kBmpAlphaBitFields;
  const bool plain = bitFields && h.bitCount != 16 && h.bitCount != 32;
  switch (plain ? kBmpNoCompression : h.compression) {
    case kBmpNoCompression:
      switch (h.bitCount) {
        case 16:
          h.format = BmpPixelFormat::Rgb555;
          return;
        case 24:
          h.format = BmpPixelFormat::Bgr888;
          return;
        case 32:
          h.format = BmpPixelFormat::Bgra8888;
          h.hasAlpha = true;
          return;
        default:
          h.format = IndexedBmpFormat(h.bitCount);
          RequireImageRule(h.format != BmpPixelFormat::Unknown,
                           "bmpInfo.biBitCount is 1, 4, 8, 16, 24 or 32");
          return;
      }
    case kBmpRle8:
      RequireImageRule(h.bitCount == 8, "RLE8 pictures have 8 bits per pixel");
      h.format = BmpPixelFormat::Indexed8;
      return;
    case kBmpRle4:
      RequireImageRule(h.bitCount == 4, "RLE4 pictures have 4 bits per pixel");
      h.format = BmpPixelFormat::Indexed4;
      return;
    case kBmpBitFields:
    case kBmpAlphaBitFields: {
      const std::array<std::uint32_t, 4> masks = readMasks(in, h, info);
      std::transform(masks.begin(), masks.end(), h.masks.begin(), channelOf);
      h.bitFields = true;
      h.hasAlpha = h.masks[3].bits != 0;
      return;
    }
    default:
      throw EImageError("bmpInfo.biCompression is 0, 1, 2, 3 or 6");
  }
}

// The table the header announces, but no more than fits before the pixels: core headers
// cannot say how many entries they have.
void readPalette(TInputStream& in, LenientBmpHeaders& h, std::uint32_t colorsUsed) {
  if (h.bitCount > 8) {
    return;
  }
  const std::uint32_t full = 1U << h.bitCount;
  const std::uint32_t entrySize = h.headerSize == kCoreHeaderSize ? 3 : 4;
  std::uint64_t entries = colorsUsed != 0 ? std::min(colorsUsed, full) : full;
  const std::uint64_t position = in.Position();
  if (h.pixelsAt > position) {
    entries = std::min<std::uint64_t>(entries, (h.pixelsAt - position) / entrySize);
  }
  ReadBmpPalette(in, static_cast<std::uint32_t>(entries), entrySize, h.palette);
}

// Expands a run-length pixel stream: pairs of a count and a colour, or an escape (0) followed by
// end of row (0), end of picture (1), a jump (2, dx, dy) or n literal colours padded to 2 bytes.
// Pixels outside the picture are dropped; what the stream leaves out stays colour 0.
void expandRunLength(TInputStream& in, const LenientBmpHeaders& h, TArgbImage& image) {
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      PutU32(row + x * 4, h.palette[0]);
    }
  }
  in.Seek(h.pixelsAt);
  const std::uint64_t length = in.Remaining();
  const std::uint8_t* p = length > 0 ? in.ReadBuffer(length) : nullptr;
  const std::uint8_t* const end = p + length;
  const bool nibbles = h.compression == kBmpRle4;
  std::int64_t x = 0;
  std::int64_t row = 0;
  const auto put = [&](std::uint32_t index) {
    if (x < h.width && row < h.height) {
      const std::int64_t y = h.bottomUp ? h.height - 1 - row : row;
      PutU32(image.Row(static_cast<int>(y)) + x * 4, h.palette[index]);
    }
    ++x;
  };
  while (end - p >= 2 && row < h.height) {
    const std::uint8_t count = p[0];
    const std::uint8_t value = p[1];
    p += 2;
    if (count != 0) {
      for (int i = 0; i < count; ++i) {
        put(nibbles ? ((i & 1) != 0 ? value & 0x0F : value >> 4) : value);
      }
    } else if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (end - p < 2) {
        return;
      }
      x += p[0];
      row += p[1];
      p += 2;
    } else {
      const std::ptrdiff_t bytes = nibbles ? (value + 1) / 2 : value;
      if (end - p < bytes) {
        return;
      }
      for (int i = 0; i < value; ++i) {
        put(nibbles ? (p[i / 2] >> ((i & 1) != 0 ? 0 : 4)) & 0x0F : p[i]);
      }
      p += std::min<std::ptrdiff_t>((bytes + 1) / 2 * 2, end - p);
    }
  }
}

void decodeRows(TInputStream& in, const LenientBmpHeaders& h, TArgbImage& image) {
  const std::uint64_t lastRow = (static_cast<std::uint64_t>(h.bitCount) * h.width + 7) / 8;
  in.Seek(h.pixelsAt);
  const std::uint8_t* pixels = in.ReadBuffer(h.rowStride * (h.height - 1) + lastRow);
  for (std::int64_t i = 0; i < h.height; ++i) {
    const std::uint8_t* s = pixels + i * h.rowStride;
    std::uint8_t* d = image.Row(static_cast<int>(h.bottomUp ? h.height - 1 - i : i));
    if (h.bitFields) {
      decodeMaskedRow(h, s, d);
    } else {
      DecodeBmpRow(h.format, s, d, static_cast<int>(h.width), h.palette);
    }
  }
}

void takeZeroAlphaAsOpaque(TArgbImage& image) {
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      if (row[x * 4 + 3] != 0) {
        return;
      }
    }
  }
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      row[x * 4 + 3] = 0xFF;
    }
  }
}

}  // namespace

bool LenientBmpHeaders::runLength() const {
  return compression == kBmpRle8 || compression == kBmpRle4;
}

LenientBmpHeaders ReadLenientBmpHeaders(TInputStream& in) {
  ReadBmpTag(in);
  std::uint8_t fileHeader[kFileHeaderSize - 2];
  in.Read(fileHeader, sizeof fileHeader);
  LenientBmpHeaders h;
  h.pixelsAt = GetU32(fileHeader + 8);

  std::uint8_t info[kLargestHeader] = {};
  in.Read(info, 4);
  h.headerSize = GetU32(info);
  RequireImageRule(knownHeaderSize(h.headerSize), "bmpInfo.biSize == 12 || bmpInfo.biSize >= 40");
  in.Read(info + 4, std::min(h.headerSize, kLargestHeader) - 4);
  if (h.headerSize > kLargestHeader) {
    in.Skip(h.headerSize - kLargestHeader);
  }
  std::int64_t height = 0;
  std::uint16_t planes = 0;
  std::uint32_t colorsUsed = 0;
  if (h.headerSize == kCoreHeaderSize) {
    h.width = GetU16(info + 4);
    height = GetU16(info + 6);
    planes = GetU16(info + 8);
    h.bitCount = GetU16(info + 10);
  } else {
    h.width = GetI32(info + 4);
    height = GetI32(info + 8);
    planes = GetU16(info + 12);
    h.bitCount = GetU16(info + 14);
    h.compression = GetU32(info + 16);
    colorsUsed = GetU32(info + 32);
  }
  h.bottomUp = height > 0;
  h.height = std::abs(height);
  RequireImageRule(planes == 1, bmp_rule::kPlanes);
  RequireSaneBmpDimensions(h.width, h.height);

  chooseFormat(in, h, info);
  readPalette(in, h, colorsUsed);
  RequireImageRule(h.pixelsAt >= in.Position(), "bmFileHeader.bfOffBits >= stream.Position()");
  h.rowStride = (static_cast<std::uint64_t>(h.bitCount) * h.width + 31) / 32 * 4;
  const std::uint64_t lastRow = (static_cast<std::uint64_t>(h.bitCount) * h.width + 7) / 8;
  const std::uint64_t pixelBytes = h.runLength() ? 0 : h.rowStride * (h.height - 1) + lastRow;
  RequireImageRule(h.pixelsAt + pixelBytes <= in.Size(),
                   "bmFileHeader.bfOffBits + stride * abs(bmpInfo.biHeight) <= file size");
  return h;
}

void ReadBmpLenient(TInputStream& in, TArgbImage& image) {
  const LenientBmpHeaders h = ReadLenientBmpHeaders(in);
  image.Resize(static_cast<int>(h.width), static_cast<int>(h.height));
  if (h.runLength()) {
    expandRunLength(in, h, image);
  } else {
    decodeRows(in, h, image);
  }
  if (h.hasAlpha) {
    takeZeroAlphaAsOpaque(image);
  }
}

}  // namespace tvx
