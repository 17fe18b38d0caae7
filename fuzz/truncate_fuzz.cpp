// The truncating converter on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/truncate_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto result = tvx::TranslateBmpBytesRgb888ToRgb565(std::span(data, size));
  if (result && result->size() < 66) {
    __builtin_trap();
  }
  return 0;
}
