// The JPEG decoder on arbitrary bytes: it fails with words or gives an opaque picture.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/jpeg_decoder.h"
#include "image/normalised_bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tvx::TArgbImage image;
  const tvx::Result<void> decoded = tvx::DecodeJpeg({data, size}, image);
  if (!decoded) {
    if (decoded.error().detail.empty()) {
      __builtin_trap();
    }
    return 0;
  }
  if (image.Width() < 1 || image.Height() < 1 || !tvx::IsOpaque(image)) {
    __builtin_trap();
  }
  return 0;
}
