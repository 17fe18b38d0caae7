#include "image/argb_image.h"

#include <climits>

#include "image/image_error.h"

namespace tvx {

void TArgbImage::Resize(int width, int height) {
  if (width <= 0 || height <= 0) {
    Release();
    return;
  }
  if (width == m_desc.Width && height == m_desc.Height) {
    return;
  }
  Release();
  Allocate(width, height);
}

void TArgbImage::Allocate(int width, int height) {
  m_block.reset();
  m_desc = TImageDesc{};
  if (width < 1 || height < 1) {
    return;
  }
  if (width > INT_MAX / 4 ||
      static_cast<std::uint64_t>(width) * 4U * static_cast<std::uint64_t>(height) >
          static_cast<std::uint64_t>(PTRDIFF_MAX)) {
    throw EImageError("TArgbImage::Allocate ERROR!");
  }
  const std::size_t bytes = static_cast<std::size_t>(width) * 4U * static_cast<std::size_t>(height);
  m_block = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
  m_desc = TImageDesc{m_block.get(), width * 4, width, height};
}

void TArgbImage::Release() {
  m_block.reset();
  m_desc = TImageDesc{};
}

std::uint32_t TArgbImage::Pixel(int x, int y) const {
  const std::uint8_t* p = Row(y) + static_cast<std::ptrdiff_t>(x) * 4;
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void TArgbImage::SetPixel(int x, int y, std::uint32_t argb) {
  std::uint8_t* p = Row(y) + static_cast<std::ptrdiff_t>(x) * 4;
  p[0] = static_cast<std::uint8_t>(argb);
  p[1] = static_cast<std::uint8_t>(argb >> 8);
  p[2] = static_cast<std::uint8_t>(argb >> 16);
  p[3] = static_cast<std::uint8_t>(argb >> 24);
}

}  // namespace tvx
