// ReadBmp on arbitrary bytes; what it accepts is also diffused and written back.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/bmp_file.h"
#include "image/error_diffusion.h"
#include "image/image_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tvx::TMemoryInputStream in(std::span(data, size));
  tvx::TArgbImage image;
  try {
    tvx::ReadBmp(in, image);
  } catch (const tvx::EImageError&) {
    return 0;
  }
  const std::vector<tvx::Rgb565Pixel> values = tvx::ErrorDiffuseToRgb565(image);
  tvx::TMemoryOutputStream out;
  tvx::WriteBmp(image, out, 5, 6, 5);
  return values.size() == static_cast<std::size_t>(image.Width()) * image.Height() ? 0 : -1;
}
