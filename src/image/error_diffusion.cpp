#include "image/error_diffusion.h"

#include <algorithm>
#include <array>

#include "image/bmp_file.h"
#include "image/streams.h"

namespace tvx {
namespace {

// Level (0-31) of a diffused value v, indexed by v + 512 for v from -512 to 767.
constexpr int kQuantMin = -512;
constexpr int kQuantMax = 767;

constexpr std::array<std::uint8_t, kQuantMax - kQuantMin + 1> MakeQuantTable() {
  std::array<std::uint8_t, kQuantMax - kQuantMin + 1> table{};
  for (int v = kQuantMin; v <= kQuantMax; ++v) {
    table[v - kQuantMin] = static_cast<std::uint8_t>(v <= 0 ? 0 : v >= 248 ? 31 : v >> 3);
  }
  return table;
}

constexpr auto kQuantTable = MakeQuantTable();

// 8-bit brightness of each level: L × 255 / 31 in 16.16 fixed point, truncated.
constexpr std::array<int, 32> MakeLevelBrightness() {
  std::array<int, 32> table{};
  for (int level = 0; level < 32; ++level) {
    table[level] = (level * 539086) >> 16;
  }
  return table;
}

constexpr auto kLevelBrightness = MakeLevelBrightness();

inline int Level(int v) {
  return kQuantTable[std::clamp(v, kQuantMin, kQuantMax) - kQuantMin];
}

// Accumulated error of one column: the sum of its weighted contributions, divided only when
// the receiving pixel takes it.
struct ColumnError {
  std::int32_t b = 0;
  std::int32_t g = 0;
  std::int32_t r = 0;
};

// One channel of one pixel: quantises p plus the incoming error (divided by 2^shift) and
// spreads the new error: 7 to the right (carry), 3, 5 and 1 to the row below.
template <int shift>
inline int DiffuseChannel(int p, std::int32_t incoming, std::int32_t& carry,
                          std::int32_t& belowLeft, std::int32_t& below, std::int32_t& belowRight) {
  const int v = p + ((incoming + carry) >> shift);
  const int level = Level(v);
  const int e = v - kLevelBrightness[level];
  belowRight = e;
  below += 5 * e;
  belowLeft += 3 * e;
  carry = 7 * e;
  return level;
}

void ExpandToArgb(const std::vector<Rgb565Pixel>& values, TArgbImage& image) {
  for (int y = 0; y < image.Height(); ++y) {
    const Rgb565Pixel* v = values.data() + static_cast<std::ptrdiff_t>(y) * image.Width();
    std::uint8_t* d = image.Row(y);
    for (int x = 0; x < image.Width(); ++x, d += 4) {
      d[0] = static_cast<std::uint8_t>((v[x] & 0x1F) << 3);
      d[1] = static_cast<std::uint8_t>(((v[x] >> 5) & 0x3F) << 2);
      d[2] = static_cast<std::uint8_t>((v[x] & 0xF800) >> 8);
      d[3] = 0xFF;
    }
  }
}

// Diffuses image and writes the 16-bit 5-6-5 file to out.
void WriteDiffused(TArgbImage& image, TOutputStream& out) {
  const std::vector<Rgb565Pixel> values = ErrorDiffuseToRgb565(image);
  TArgbImage expanded(image.Width(), image.Height());
  ExpandToArgb(values, expanded);
  WriteBmp(expanded, out, 5, 6, 5);
}

}  // namespace

void ErrorDiffuseToRgb565(const TImageDesc& source, Rgb565Pixel* destination) {
  const int width = source.Width;
  const int height = source.Height;
  if (width < 1 || height < 1) {
    return;
  }
  // Entry k of a row stands for column k - 1: entries 0 and width + 1 are guards.
  std::vector<ColumnError> rows(2 * (static_cast<std::size_t>(width) + 2));
  ColumnError* current = rows.data();
  ColumnError* next = current + width + 2;

  for (int y = 0; y < height; ++y) {
    const std::uint8_t* s = source.Pixels + static_cast<std::ptrdiff_t>(y) * source.Stride;
    Rgb565Pixel* out = destination + static_cast<std::ptrdiff_t>(y) * width;
    next[0] = ColumnError{};
    next[1] = ColumnError{};
    ColumnError carry;
    for (int x = 0; x < width; ++x, s += 4) {
      const ColumnError& in = current[x + 1];
      ColumnError& belowLeft = next[x];
      ColumnError& below = next[x + 1];
      ColumnError& belowRight = next[x + 2];
      const int blue = DiffuseChannel<4>(s[0], in.b, carry.b, belowLeft.b, below.b, belowRight.b);
      const int green = DiffuseChannel<5>(s[1], in.g, carry.g, belowLeft.g, below.g, belowRight.g);
      const int red = DiffuseChannel<4>(s[2], in.r, carry.r, belowLeft.r, below.r, belowRight.r);
      out[x] = static_cast<Rgb565Pixel>(red << 11 | green << 6 | blue);
    }
    std::swap(current, next);
  }
}

std::vector<Rgb565Pixel> ErrorDiffuseToRgb565(TArgbImage& image) {
  std::vector<Rgb565Pixel> values(static_cast<std::size_t>(image.Width()) *
                                  static_cast<std::size_t>(image.Height()));
  const ImageLock lock(image);
  ErrorDiffuseToRgb565(lock.desc(), values.data());
  return values;
}

void BmpRGB888ToRGB565_ErrorDiffuse_FS(const std::string& sourcePath,
                                       const std::string& destinationPath) {
  TArgbImage image;
  {
    TFileInputStream in(sourcePath);
    ReadBmp(in, image);
  }
  TReplacingFileOutputStream out(destinationPath);
  WriteDiffused(image, out);
  out.Commit();
}

std::vector<std::uint8_t> ErrorDiffuseBmpBytes(std::span<const std::uint8_t> bmp) {
  TMemoryInputStream in(bmp);
  TArgbImage image;
  ReadBmp(in, image);
  TMemoryOutputStream out;
  WriteDiffused(image, out);
  return out.TakeBytes();
}

}  // namespace tvx
