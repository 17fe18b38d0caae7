#include "rom/rom_sheet.h"

#include <algorithm>

#include "rom/rom_layout.h"
#include "rom/rom_slot_roles.h"
#include "rom/sheet_font.h"
#include "util/printf_format.h"

namespace tvx {

namespace {

using YVclUtil::FormatPrintf;

constexpr int kContentWidth = 1344;  // four 320-pixel backgrounds side by side
constexpr int kTileGap = 12;
constexpr int kLabelGap = 3;
constexpr int kBankGap = 20;
constexpr int kHeadingHeight = kSheetLineHeight + 8;  // the text, its rule and some air
constexpr int kBoxSide = 48;                          // a resource that is not drawn
constexpr std::size_t kMinLabelChars = 26;            // "picture of floor code 0x0F"

std::string bankHeading(int bank, bool library) {
  if (library) {
    return FormatPrintf("Bank %d of the picture library", bank);
  }
  switch (bank) {
    case 0:
      return "Bank 0: dates, clock, standby logo, protocol resource, arrows, messages";
    case 1:
      return "Bank 1: floor characters";
    case 6:
      return "Bank 6: code-table pictures";
    case 7:
      return "Bank 7: backgrounds (slots 0 to 127 vertical, 128 to 255 horizontal)";
    default:
      return FormatPrintf("Bank %d: not used by the build", bank);
  }
}

// text in lines of at most width characters, broken at spaces where it can be.
void appendWrapped(std::vector<std::string>& lines, const std::string& text, std::size_t width) {
  std::size_t begin = 0;
  while (text.size() - begin > width) {
    std::size_t end = text.rfind(' ', begin + width);
    if (end == std::string::npos || end <= begin) {
      end = begin + width;
      lines.push_back(text.substr(begin, end - begin));
      begin = end;
    } else {
      lines.push_back(text.substr(begin, end - begin));
      begin = end + 1;
    }
  }
  lines.push_back(text.substr(begin));
}

SheetTile storedTile(std::span<const std::uint8_t> bytes, const InspectedResource& resource,
                     bool library, std::string& note) {
  SheetTile tile;
  tile.bank = resource.bank;
  tile.slot = resource.slot;
  tile.role = library ? DescribeLibrarySlot(resource.slot).name
                      : DescribeRomSlot(resource.bank, resource.slot).name;
  tile.size = resource.size;
  tile.kind = SheetTileKind::kNotShown;
  tile.boxWidth = kBoxSide;
  tile.boxHeight = kBoxSide;
  if (!resource.inside) {
    note = "it reaches beyond the end of the file";
    return tile;
  }
  const Result<StoredPictureHeader> header =
      ReadStoredPictureHeader(bytes.subspan(resource.offset, resource.size));
  if (!header) {
    note = "not a picture: " + header.error().detail;
  } else if (header->width > kSheetMaxTileSide || header->height > kSheetMaxTileSide) {
    note = FormatPrintf("%d x %d pixels, too large for the sheet", header->width, header->height);
  } else {
    tile.kind = SheetTileKind::kPicture;
    tile.boxWidth = header->width;
    tile.boxHeight = header->height;
  }
  return tile;
}

SheetTile emptyTile(const SlotAddress& address) {
  SheetTile tile;
  tile.bank = address.bank;
  tile.slot = address.slot;
  tile.role = DescribeRomSlot(address.bank, address.slot).name;
  tile.kind = SheetTileKind::kEmpty;
  tile.boxWidth = kBoxSide;
  tile.boxHeight = kBoxSide;
  return tile;
}

void writeLabel(SheetTile& tile, const std::string& note) {
  const std::size_t width =
      std::max(static_cast<std::size_t>(tile.boxWidth / kSheetFontWidth), kMinLabelChars);
  tile.label.push_back(FormatPrintf("bank %d slot %d", tile.bank, tile.slot));
  appendWrapped(tile.label, tile.role, width);
  switch (tile.kind) {
    case SheetTileKind::kPicture:
      tile.label.push_back(
          FormatPrintf("%d x %d, %u bytes", tile.boxWidth, tile.boxHeight, tile.size));
      break;
    case SheetTileKind::kNotShown:
      tile.label.push_back(FormatPrintf("%u bytes, not shown:", tile.size));
      appendWrapped(tile.label, note, width);
      break;
    case SheetTileKind::kEmpty:
      tile.label.push_back("EMPTY: every build fills it");
      break;
  }
}

// The tiles in bank and slot order, without their places.
std::vector<SheetTile> collectTiles(std::span<const std::uint8_t> bytes,
                                    const RomInspection& inspection) {
  const bool library = inspection.kind == RomFileKind::kLibrary;
  std::vector<SheetTile> tiles;
  for (const InspectedResource& resource : inspection.resources) {
    std::string note;
    tiles.push_back(storedTile(bytes, resource, library, note));
    writeLabel(tiles.back(), note);
  }
  for (const SlotAddress& address : inspection.emptyAlwaysFilled) {
    tiles.push_back(emptyTile(address));
    writeLabel(tiles.back(), "");
  }
  std::stable_sort(tiles.begin(), tiles.end(), [](const SheetTile& a, const SheetTile& b) {
    return ResourceIndex(a.bank, a.slot) < ResourceIndex(b.bank, b.slot);
  });
  return tiles;
}

int labelWidth(const SheetTile& tile) {
  std::size_t longest = 0;
  for (const std::string& line : tile.label) {
    longest = std::max(longest, line.size());
  }
  return static_cast<int>(longest) * kSheetFontWidth;
}

// Places the tiles bank by bank, in rows that wrap at the content width; the sheet's size in
// 64 bits, as forged files may ask for more than fits in an int.
void placeTiles(RomSheet& sheet, bool library, std::int64_t& width, std::int64_t& height) {
  std::int64_t y = kSheetMargin + kSheetLineHeight + kBankGap;
  std::int64_t right = kSheetMargin + kContentWidth;
  int bank = -1;
  std::int64_t x = kSheetMargin;
  std::int64_t rowHeight = 0;
  for (SheetTile& tile : sheet.tiles) {
    if (tile.bank != bank) {
      if (bank >= 0) {
        y += rowHeight + kBankGap;
      }
      bank = tile.bank;
      sheet.headings.push_back({bankHeading(bank, library), kSheetMargin, static_cast<int>(y)});
      y += kHeadingHeight;
      x = kSheetMargin;
      rowHeight = 0;
    }
    const int cellWidth = std::max(tile.boxWidth, labelWidth(tile));
    const int cellHeight =
        tile.boxHeight + kLabelGap + static_cast<int>(tile.label.size()) * kSheetLineHeight;
    if (x > kSheetMargin && x + cellWidth > kSheetMargin + kContentWidth) {
      x = kSheetMargin;
      y += rowHeight + kTileGap;
      rowHeight = 0;
    }
    // Clamped only for forged files, whose sheets MakeRomSheet then refuses.
    tile.x = static_cast<int>(std::min<std::int64_t>(x, kSheetMaxPixels));
    tile.y = static_cast<int>(std::min<std::int64_t>(y, kSheetMaxPixels));
    tile.labelY = tile.y + tile.boxHeight + kLabelGap;
    x += cellWidth + kTileGap;
    right = std::max(right, x - kTileGap);
    rowHeight = std::max<std::int64_t>(rowHeight, cellHeight);
  }
  width = right + kSheetMargin;
  height = y + rowHeight + kSheetMargin;
}

std::string sheetTitle(const RomInspection& inspection, const std::string& file) {
  const std::size_t empty = inspection.emptyAlwaysFilled.size();
  std::string title = file + ": " + RomFileKindName(inspection.kind) +
                      FormatPrintf(", %zu resources", inspection.resources.size());
  if (empty != 0) {
    title +=
        FormatPrintf(", %zu empty slot%s that every build fills", empty, empty == 1 ? "" : "s");
  }
  return title;
}

}  // namespace

Result<RomSheet> MakeRomSheet(std::span<const std::uint8_t> bytes, const RomInspection& inspection,
                              const std::string& file) {
  if (inspection.kind == RomFileKind::kUnknown) {
    return Error::Invalid(file, "it is neither a ROM image nor a GLB");
  }
  RomSheet sheet;
  sheet.title = sheetTitle(inspection, file);
  sheet.tiles = collectTiles(bytes, inspection);
  std::int64_t width = 0;
  std::int64_t height = 0;
  placeTiles(sheet, inspection.kind == RomFileKind::kLibrary, width, height);
  width = std::max<std::int64_t>(
      width, 2 * kSheetMargin + static_cast<std::int64_t>(sheet.title.size()) * kSheetFontWidth);
  if (width * height > kSheetMaxPixels) {
    return Error::Invalid(
        file, FormatPrintf("its sheet would be %lld x %lld pixels, more than "
                           "%lld; is it a real ROM image?",
                           static_cast<long long>(width), static_cast<long long>(height),
                           static_cast<long long>(kSheetMaxPixels)));
  }
  sheet.width = static_cast<int>(width);
  sheet.height = static_cast<int>(height);
  // Only now, with the size known to be sane, are the pixels decoded.
  std::vector<const InspectedResource*> stored(kResourceCount, nullptr);
  for (const InspectedResource& resource : inspection.resources) {
    stored[static_cast<std::size_t>(ResourceIndex(resource.bank, resource.slot))] = &resource;
  }
  for (SheetTile& tile : sheet.tiles) {
    const InspectedResource* resource =
        stored[static_cast<std::size_t>(ResourceIndex(tile.bank, tile.slot))];
    if (tile.kind != SheetTileKind::kPicture || resource == nullptr) {
      continue;
    }
    Result<StoredPicture> picture =
        DecodeStoredPicture(bytes.subspan(resource->offset, resource->size));
    if (picture) {
      tile.picture = std::move(*picture);
    }
  }
  return sheet;
}

}  // namespace tvx
