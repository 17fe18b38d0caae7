#include "rom/rom_sheet_png.h"

#include <png.h>

#include <string_view>
#include <vector>

#include "util/error_text.h"
#include "util/file_replace.h"

namespace tvx {

namespace {

constexpr BilingualText kCannotEncode{"無法將資源總覽編碼為 PNG \"%s\"",
                                      "cannot encode the sheet as the PNG \"%s\""};

}  // namespace

Result<void> WriteSheetPng(const SheetRaster& raster, const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(raster.width);
  image.height = static_cast<png_uint_32>(raster.height);
  image.format = PNG_FORMAT_RGB;
  const auto stride = static_cast<png_int_32>(raster.width * 3);
  // Room for the worst case, so the picture is compressed once.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  std::vector<char> encoded(size);
  if (png_image_write_to_memory(&image, encoded.data(), &size, 0, raster.rgb.data(), stride,
                                nullptr) == 0) {
    return Error::Invalid(path, image.message).withAction(kCannotEncode);
  }
  return YVclUtil::ReplaceFileContents(path, std::string_view(encoded.data(), size));
}

}  // namespace tvx
