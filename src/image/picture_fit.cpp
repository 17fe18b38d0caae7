#include "image/picture_fit.h"

#include <algorithm>
#include <cstdint>

#include "image/picture_scale.h"

namespace tvx {
namespace {

// length × numerator / denominator, rounded half up, at least 1.
int ScaledLength(int length, int numerator, int denominator) {
  const std::int64_t product = std::int64_t{length} * numerator;
  return static_cast<int>(
      std::max<std::int64_t>((2 * product + denominator) / (2 * denominator), 1));
}

struct Placement {
  ScaledWindow window;
  int x = 0;  // where the window goes in the target
  int y = 0;
  int width = 0;
  int height = 0;
};

Placement Place(int sourceWidth, int sourceHeight, int width, int height, FitMode mode) {
  Placement at;
  int scaledWidth = width;
  int scaledHeight = height;
  if (mode != FitMode::kStretch) {
    // The width decides when its ratio to the source is the smaller one (pad) or the larger.
    const bool widthIsTighter =
        std::int64_t{width} * sourceHeight <= std::int64_t{height} * sourceWidth;
    if (widthIsTighter == (mode == FitMode::kPad)) {
      scaledHeight = ScaledLength(sourceHeight, width, sourceWidth);
    } else {
      scaledWidth = ScaledLength(sourceWidth, height, sourceHeight);
    }
  }
  at.window.scaledWidth = scaledWidth;
  at.window.scaledHeight = scaledHeight;
  at.width = std::min(scaledWidth, width);
  at.height = std::min(scaledHeight, height);
  at.x = std::max(width - scaledWidth, 0) / 2;
  at.y = std::max(height - scaledHeight, 0) / 2;
  at.window.left = std::max(scaledWidth - width, 0) / 2;
  at.window.top = std::max(scaledHeight - height, 0) / 2;
  return at;
}

void Fill(TArgbImage& image, std::uint32_t argb) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      image.SetPixel(x, y, argb);
    }
  }
}

}  // namespace

TArgbImage FitPicture(const TArgbImage& source, int width, int height, FitMode mode,
                      std::uint32_t backgroundRgb) {
  TArgbImage fitted(width, height);
  if (fitted.Width() == 0) {
    return fitted;
  }
  const std::uint32_t background = 0xFF000000U | (backgroundRgb & 0xFFFFFFU);
  if (source.Width() == 0 || source.Height() == 0) {
    Fill(fitted, background);
    return fitted;
  }
  const Placement at = Place(source.Width(), source.Height(), width, height, mode);
  if (at.width < width || at.height < height) {
    Fill(fitted, background);
  }
  TImageDesc inside = fitted.Lock();
  inside.Pixels = fitted.Row(at.y) + static_cast<std::ptrdiff_t>(at.x) * 4;
  inside.Width = at.width;
  inside.Height = at.height;
  ScalePictureInto(source, at.window, inside);
  return fitted;
}

}  // namespace tvx
