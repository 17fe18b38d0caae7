#include "ui/browse/browse_glyphs.h"

#include <array>
#include <utility>

namespace YVclCtrl {
namespace {

// Indexes into the classic 16-colour palette.
enum Colour : uchar {
  kBlack = 0,
  kMaroon = 1,
  kGreen = 2,
  kOlive = 3,
  kNavy = 4,
  kPurple = 5,
  kTeal = 6,
  kSilver = 7,
  kGrey = 8,
  kRed = 9,
  kLime = 10,
  kYellow = 11,
  kBlue = 12,
  kFuchsia = 13,
  kCyan = 14,
  kWhite = 15,
};

constexpr std::array<QRgb, 16> kPalette = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// Transparent background: a colour none of the glyphs draws with.
constexpr Colour kBackground = kOlive;

// A tick two pixels thick inside the frame: the short stroke down to (6, 8), the long one up
// to (10, 4).
constexpr std::array<std::pair<int, int>, 7> kCheckMark = {{
    {4, 6},
    {5, 7},
    {6, 8},
    {7, 7},
    {8, 6},
    {9, 5},
    {10, 4},
}};

struct GlyphLook {
  std::string_view name;
  Colour frame;
  Colour inside;
  bool checked;
  Colour check;
};

constexpr std::array<GlyphLook, 4> kLooks = {{
    {"GP_GRAY0", kGrey, kSilver, false, kBlack},
    {"GP_Gray1", kGrey, kSilver, true, kGreen},
    {"GP_Sel0", kPurple, kWhite, false, kBlack},
    {"GP_Sel1", kPurple, kCyan, true, kRed},
}};

QImage draw(const GlyphLook& look) {
  QImage image(kBrowseGlyphSize, kBrowseGlyphSize, QImage::Format_Indexed8);
  image.setColorTable(QList<QRgb>(kPalette.begin(), kPalette.end()));
  image.fill(kBackground);
  // A 13 x 13 box with a two-pixel frame, clear of the bottom-left transparency key.
  for (int y = 1; y <= 13; ++y) {
    for (int x = 1; x <= 13; ++x) {
      const bool edge = x <= 2 || x >= 12 || y <= 2 || y >= 12;
      image.setPixel(x, y, edge ? look.frame : look.inside);
    }
  }
  if (look.checked) {
    for (const auto& [x, y] : kCheckMark) {
      image.setPixel(x, y, look.check);
      image.setPixel(x, y + 1, look.check);
    }
  }
  return image;
}

}  // namespace

QImage BrowseGlyphBitmap(std::string_view name) {
  for (const GlyphLook& look : kLooks) {
    if (look.name == name) {
      return draw(look);
    }
  }
  return {};
}

QPixmap BrowseGlyph(std::string_view name) {
  const QImage bitmap = BrowseGlyphBitmap(name);
  if (bitmap.isNull()) {
    return {};
  }
  const QRgb key = bitmap.pixel(0, bitmap.height() - 1);
  QImage argb = bitmap.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    for (int x = 0; x < argb.width(); ++x) {
      if (argb.pixel(x, y) == key) {
        argb.setPixel(x, y, qRgba(0, 0, 0, 0));
      }
    }
  }
  return QPixmap::fromImage(argb);
}

}  // namespace YVclCtrl
