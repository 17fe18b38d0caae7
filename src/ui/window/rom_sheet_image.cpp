#include "ui/window/rom_sheet_image.h"

#include "project/paths.h"
#include "rom/rom_readback.h"
#include "rom/rom_sheet.h"
#include "util/error_text.h"
#include "util/file_bytes.h"

namespace tvx {

namespace {

constexpr BilingualText kCannotDrawSheet{"無法繪製 \"%s\" 的資源總覽",
                                         "cannot draw the sheet of \"%s\""};

}  // namespace

QImage ToQImage(const SheetRaster& raster) {
  // The raster's rows are packed; the copy gives the image rows of its own.
  return QImage(raster.rgb.data(), raster.width, raster.height, 3 * raster.width,
                QImage::Format_RGB888)
      .copy();
}

Result<QImage> RomSheetImage(const std::string& path) {
  const Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) {
    return Error(bytes.error()).withAction(error_action::kRead);
  }
  // The sheet's title is drawn in a font of ASCII letters: the file's name, not its folders.
  Result<RomSheet> sheet = MakeRomSheet(*bytes, InspectRomFile(*bytes), FileNameOf(path));
  if (!sheet) {
    return std::move(sheet).error().withAction(kCannotDrawSheet);
  }
  return ToQImage(DrawRomSheet(*sheet));
}

}  // namespace tvx
