// The PNG decoder on arbitrary bytes: it fails with words or gives a picture, and what it gives
// is written as a plain BMP that the background converter's reader takes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/bmp_file.h"
#include "image/normalised_bmp.h"
#include "image/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tvx::TArgbImage image;
  const tvx::Result<void> decoded = tvx::DecodePng({data, size}, image);
  if (!decoded) {
    if (decoded.error().detail.empty()) {
      __builtin_trap();
    }
    return 0;
  }
  if (image.Width() < 1 || image.Height() < 1) {
    __builtin_trap();
  }
  const std::vector<std::uint8_t> bmp = tvx::NormalisedBmpBytes(image);
  tvx::TMemoryInputStream in(bmp);
  tvx::TArgbImage back;
  tvx::ReadBmp(in, back);
  if (back.Width() != image.Width() || back.Height() != image.Height()) {
    __builtin_trap();
  }
  return 0;
}
