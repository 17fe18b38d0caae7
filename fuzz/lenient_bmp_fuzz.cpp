// The lenient BMP reader on arbitrary bytes: once its headers pass, the pixels always decode
// (the pre-flight check relies on that), and it takes every file with an info header (or a
// larger one), uncompressed or with bit fields, that the reader takes, at the same size. (The
// reader reads core headers by the info header's layout, and other compressions as none.)
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/bmp_file.h"
#include "image/bmp_lenient.h"
#include "image/image_error.h"
#include "image/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  bool headersPass = true;
  try {
    tvx::TMemoryInputStream in(bytes);
    tvx::ReadLenientBmpHeaders(in);
  } catch (const tvx::EImageError&) {
    headersPass = false;
  }
  const tvx::Result<tvx::TArgbImage> lenient = tvx::DecodeLenientBmp(bytes);
  if (lenient.ok() != headersPass) {
    __builtin_trap();
  }
  const auto u32 = [&bytes](std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                      static_cast<std::uint32_t>(bytes[at + 3]) << 24);
  };
  if (size < 34 || u32(14) < 40 || (u32(30) != 0 && u32(30) != 3)) {
    return 0;
  }
  try {
    tvx::TMemoryInputStream in(bytes);
    tvx::TArgbImage strict;
    tvx::ReadBmp(in, strict);
    if (!lenient || lenient->Width() != strict.Width() || lenient->Height() != strict.Height()) {
      __builtin_trap();
    }
  } catch (const tvx::EImageError&) {
  }
  return 0;
}
