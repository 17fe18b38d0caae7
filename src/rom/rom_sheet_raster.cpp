#include "rom/rom_sheet_raster.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "rom/sheet_font.h"

namespace tvx {

namespace {

constexpr int kMaxCoverage = 15;
constexpr int kHatchStep = 6;

class Canvas {
 public:
  explicit Canvas(SheetRaster& raster) : m_raster(raster) {}

  void put(int x, int y, Rgb888 colour) {
    if (x < 0 || y < 0 || x >= m_raster.width || y >= m_raster.height) {
      return;
    }
    std::uint8_t* p = at(x, y);
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
  }

  // colour over what is there, by coverage 0..kMaxCoverage.
  void blend(int x, int y, Rgb888 colour, int coverage) {
    if (coverage == 0 || x < 0 || y < 0 || x >= m_raster.width || y >= m_raster.height) {
      return;
    }
    std::uint8_t* p = at(x, y);
    const auto mix = [coverage](std::uint8_t under, std::uint8_t over) {
      return static_cast<std::uint8_t>((under * (kMaxCoverage - coverage) + over * coverage) /
                                       kMaxCoverage);
    };
    p[0] = mix(p[0], colour.r);
    p[1] = mix(p[1], colour.g);
    p[2] = mix(p[2], colour.b);
  }

  void frame(int x, int y, int width, int height, Rgb888 colour) {
    for (int i = x; i < x + width; ++i) {
      put(i, y, colour);
      put(i, y + height - 1, colour);
    }
    for (int j = y; j < y + height; ++j) {
      put(x, j, colour);
      put(x + width - 1, j, colour);
    }
  }

  void text(int x, int y, const std::string& line, Rgb888 colour) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      const int left = x + static_cast<int>(i) * kSheetFontWidth;
      for (int row = 0; row < kSheetFontHeight; ++row) {
        for (int column = 0; column < kSheetFontWidth; ++column) {
          blend(left + column, y + row, colour, SheetGlyphCoverage(line[i], column, row));
        }
      }
    }
  }

  void picture(int x, int y, const StoredPicture& picture) {
    for (int row = 0; row < picture.height; ++row) {
      for (int column = 0; column < picture.width; ++column) {
        const std::uint8_t* p = picture.rgb.data() + (static_cast<std::size_t>(row) *
                                                          static_cast<std::size_t>(picture.width) +
                                                      static_cast<std::size_t>(column)) *
                                                         3;
        put(x + column, y + row, {p[0], p[1], p[2]});
      }
    }
  }

 private:
  std::uint8_t* at(int x, int y) {
    return m_raster.rgb.data() +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(m_raster.width) +
            static_cast<std::size_t>(x)) *
               3;
  }

  SheetRaster& m_raster;
};

// A red box with both diagonals: something the indicator needs is missing.
void drawEmpty(Canvas& canvas, const SheetTile& tile) {
  for (int inset = 0; inset < 2; ++inset) {
    canvas.frame(tile.x + inset, tile.y + inset, tile.boxWidth - 2 * inset,
                 tile.boxHeight - 2 * inset, kSheetEmptyMark);
  }
  for (int i = 0; i < tile.boxWidth; ++i) {
    const int j = i * tile.boxHeight / tile.boxWidth;
    canvas.put(tile.x + i, tile.y + j, kSheetEmptyMark);
    canvas.put(tile.x + tile.boxWidth - 1 - i, tile.y + j, kSheetEmptyMark);
  }
}

// A grey box hatched one way: something is stored that the sheet does not show.
void drawNotShown(Canvas& canvas, const SheetTile& tile) {
  for (int j = 1; j < tile.boxHeight - 1; ++j) {
    for (int i = 1; i < tile.boxWidth - 1; ++i) {
      if ((i + j) % kHatchStep == 0) {
        canvas.put(tile.x + i, tile.y + j, kSheetHatch);
      }
    }
  }
  canvas.frame(tile.x, tile.y, tile.boxWidth, tile.boxHeight, kSheetFrame);
}

}  // namespace

SheetRaster DrawRomSheet(const RomSheet& sheet) {
  SheetRaster raster;
  raster.width = sheet.width;
  raster.height = sheet.height;
  raster.rgb.resize(static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(sheet.height) *
                    3);
  for (std::size_t i = 0; i < raster.rgb.size(); i += 3) {
    raster.rgb[i] = kSheetPaper.r;
    raster.rgb[i + 1] = kSheetPaper.g;
    raster.rgb[i + 2] = kSheetPaper.b;
  }
  Canvas canvas(raster);
  canvas.text(kSheetMargin, kSheetMargin, sheet.title, kSheetInk);
  for (const SheetHeading& heading : sheet.headings) {
    canvas.text(heading.x, heading.y, heading.text, kSheetInk);
    for (int x = heading.x; x < sheet.width - kSheetMargin; ++x) {
      canvas.put(x, heading.y + kSheetLineHeight + 1, kSheetFrame);
    }
  }
  for (const SheetTile& tile : sheet.tiles) {
    switch (tile.kind) {
      case SheetTileKind::kPicture:
        // The frame lies around the picture, so every pixel of it shows.
        canvas.frame(tile.x - 1, tile.y - 1, tile.boxWidth + 2, tile.boxHeight + 2, kSheetFrame);
        canvas.picture(tile.x, tile.y, tile.picture);
        break;
      case SheetTileKind::kNotShown:
        drawNotShown(canvas, tile);
        break;
      case SheetTileKind::kEmpty:
        drawEmpty(canvas, tile);
        break;
    }
    const Rgb888 ink = tile.kind == SheetTileKind::kEmpty ? kSheetEmptyMark : kSheetInk;
    for (std::size_t i = 0; i < tile.label.size(); ++i) {
      canvas.text(tile.x, tile.labelY + static_cast<int>(i) * kSheetLineHeight, tile.label[i], ink);
    }
  }
  return raster;
}

}  // namespace tvx
