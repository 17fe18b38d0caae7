// Reading ROM images, GLBs and the picture library back from arbitrary bytes: the inspector, the
// resource sheet and the stored-picture decoder on the bytes as a file, the inspector and the
// floor codes on a 4 MiB image whose directory and configuration block come from the bytes,
// and every library lookup on the bytes as a library.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "rom/picture_library.h"
#include "rom/rom_floor_readback.h"
#include "rom/rom_image.h"
#include "rom/rom_layout.h"
#include "rom/rom_readback.h"
#include "rom/rom_sheet.h"
#include "rom/rom_sheet_raster.h"
#include "rom/stored_picture.h"

namespace {

// A 32 Mb image with the fill pattern throughout, made once.
std::vector<std::uint8_t>& patternImage() {
  static std::vector<std::uint8_t> image = [] {
    std::vector<std::uint8_t> bytes(4194304);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = tvx::RomFillByte(i);
    }
    return bytes;
  }();
  return image;
}

// Larger sheets are laid out but not drawn, to keep each run quick: drawing follows the layout,
// and a library's sheet (no slot is required there) stays small enough to draw what it holds.
constexpr std::int64_t kDrawnPixels = 256 * 1024;

void sheetOf(std::span<const std::uint8_t> bytes, const tvx::RomInspection& inspection) {
  const tvx::Result<tvx::RomSheet> sheet = tvx::MakeRomSheet(bytes, inspection, "fuzz");
  if (!sheet) {
    return;
  }
  if (static_cast<std::int64_t>(sheet->width) * sheet->height <= kDrawnPixels) {
    const tvx::SheetRaster raster = tvx::DrawRomSheet(*sheet);
    if (raster.rgb.size() !=
        static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height) * 3) {
      __builtin_trap();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  sheetOf(bytes, tvx::InspectRomFile(bytes));
  if (const tvx::Result<tvx::StoredPicture> picture = tvx::DecodeStoredPicture(bytes);
      picture && picture->rgb.size() != static_cast<std::size_t>(picture->width) *
                                            static_cast<std::size_t>(picture->height) * 3) {
    __builtin_trap();
  }

  for (int bank = 0; bank < tvx::kBankCount; ++bank) {
    for (int slot = 0; slot < tvx::kSlotCount; ++slot) {
      const tvx::LibraryResource found = tvx::FindLibraryResource(bytes, bank, slot);
      if (found.status == tvx::LibraryLookup::kFound &&
          (found.bytes.data() < data || found.bytes.data() + found.bytes.size() > data + size)) {
        __builtin_trap();
      }
    }
  }

  if (size > 0 && data[0] % 4 == 0) {
    // The bytes after the first as the directory, their end as the configuration block.
    std::vector<std::uint8_t>& image = patternImage();
    const std::size_t head = std::min<std::size_t>(size - 1, tvx::kGlbDataOffset - 8);
    std::copy_n("KWXGLB2L", 8, image.begin());
    std::copy_n(data + 1, head, image.begin() + 8);
    const std::size_t tail = std::min<std::size_t>(size - 1, tvx::kConfigBlockSize);
    std::copy_n(data + size - tail, tail, image.end() - static_cast<std::ptrdiff_t>(tail));
    const tvx::RomInspection inspection = tvx::InspectRomFile(image);
    tvx::ReadFloorUse(image, inspection.resources);
    for (std::size_t i = 0; i < 8 + head; ++i) {
      image[i] = tvx::RomFillByte(i);
    }
    for (std::size_t i = image.size() - tail; i < image.size(); ++i) {
      image[i] = tvx::RomFillByte(i);
    }
  }
  return 0;
}
