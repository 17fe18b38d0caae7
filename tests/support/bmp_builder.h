#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tvx::test {

// Composes BMP files field by field, so tests can make exactly the file they need, broken
// ones included. Unless overridden, bfSize counts the headers and the pixel block only (what
// the indicator's reader expects) and bfOffBits points right after headers, palette and masks.
struct BmpLayout {
  char tag[2] = {'B', 'M'};
  std::int32_t width = 1;
  std::int32_t height = 1;  // negative: rows stored top-down
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t infoSize = 40;
  std::vector<std::uint32_t> palette{};                 // 0x00RRGGBB entries
  std::optional<std::array<std::uint32_t, 3>> masks{};  // after the header, or in it (size >= 52)
  std::vector<std::uint8_t> pixels{};                   // the pixel block as stored
  std::optional<std::uint32_t> bfSize{};
  std::optional<std::uint32_t> bfOffBits{};
  std::optional<std::uint32_t> biSizeImage{};
  std::optional<std::uint32_t> biClrUsed{};
};

inline void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

inline std::string MakeBmp(const BmpLayout& layout) {
  const bool masksInHeader = layout.masks && layout.infoSize >= 52;
  const std::uint32_t extras = static_cast<std::uint32_t>(layout.palette.size() * 4) +
                               (layout.masks && !masksInHeader ? 12U : 0U);
  const std::uint32_t pixelBytes = static_cast<std::uint32_t>(layout.pixels.size());
  std::string header;
  PutLe(header, layout.infoSize, 4);
  PutLe(header, static_cast<std::uint32_t>(layout.width), 4);
  PutLe(header, static_cast<std::uint32_t>(layout.height), 4);
  PutLe(header, layout.planes, 2);
  PutLe(header, layout.bitCount, 2);
  PutLe(header, layout.compression, 4);
  PutLe(header, layout.biSizeImage.value_or(pixelBytes), 4);
  PutLe(header, 2835, 4);
  PutLe(header, 2835, 4);
  PutLe(header, layout.biClrUsed.value_or(static_cast<std::uint32_t>(layout.palette.size())), 4);
  PutLe(header, 0, 4);
  if (masksInHeader) {
    for (std::uint32_t mask : *layout.masks) {
      PutLe(header, mask, 4);
    }
  }
  header.resize(layout.infoSize, '\0');

  std::string out{layout.tag[0], layout.tag[1]};
  PutLe(out, layout.bfSize.value_or(14 + layout.infoSize + pixelBytes), 4);
  PutLe(out, 0, 4);
  PutLe(out, layout.bfOffBits.value_or(14 + layout.infoSize + extras), 4);
  out += header;
  for (std::uint32_t entry : layout.palette) {
    PutLe(out, entry, 4);
  }
  if (layout.masks && !masksInHeader) {
    for (std::uint32_t mask : *layout.masks) {
      PutLe(out, mask, 4);
    }
  }
  out.append(layout.pixels.begin(), layout.pixels.end());
  return out;
}

// Packs a pixel block: value(x, fileRow) gives the stored value of each pixel (palette index,
// 16- or 32-bit word, or 0xRRGGBB for 24 bits); rows are padded to 4 bytes.
inline std::vector<std::uint8_t> PackRows(int width, int rows, int bitCount,
                                          const std::function<std::uint32_t(int, int)>& value) {
  const int stride = (bitCount * width + 31) / 32 * 4;
  std::vector<std::uint8_t> block(static_cast<std::size_t>(stride) * rows, 0);
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* row = block.data() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = value(x, y);
      const int bit = x * bitCount;
      if (bitCount < 8) {
        row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bitCount - bit % 8));
      } else {
        for (int i = 0; i < bitCount / 8; ++i) {
          row[bit / 8 + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
      }
    }
  }
  return block;
}

}  // namespace tvx::test
