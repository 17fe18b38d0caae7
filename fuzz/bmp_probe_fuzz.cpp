// The picture probe on arbitrary bytes: it must say exactly what both converters do, and the
// size the converted picture takes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/bmp_probe.h"
#include "image/error_diffusion.h"
#include "image/image_error.h"
#include "image/truncate_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  tvx::TMemoryInputStream in(bytes);
  const tvx::BmpProbe probe = tvx::ProbeBmp(in);

  const auto truncated = tvx::TranslateBmpBytesRgb888ToRgb565(bytes);
  if (truncated.ok() != probe.truncatable() ||
      (truncated && truncated->size() != probe.convertedSize())) {
    __builtin_trap();
  }
  bool diffused = true;
  try {
    if (tvx::ErrorDiffuseBmpBytes(bytes).size() != probe.convertedSize()) {
      __builtin_trap();
    }
  } catch (const tvx::EImageError&) {
    diffused = false;
  }
  if (diffused != probe.diffusable()) {
    __builtin_trap();
  }
  return 0;
}
