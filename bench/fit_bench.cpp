// Speed of fitting a camera-sized photograph to the indicator's slots.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "image/argb_image.h"
#include "image/picture_fit.h"

namespace {

// Smooth gradients with a little noise, as a photograph has.
tvx::TArgbImage MakePhoto(int width, int height) {
  tvx::TArgbImage image(width, height);
  std::mt19937 noise(7);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t n = noise() % 16;
      const std::uint32_t r = static_cast<std::uint32_t>(x * 239 / width) + n;
      const std::uint32_t g = static_cast<std::uint32_t>(y * 239 / height) + n;
      image.SetPixel(x, y, 0xFF000000U | r << 16 | g << 8 | 0x40U);
    }
  }
  return image;
}

void BM_Fit(benchmark::State& state, tvx::FitMode mode, int width, int height) {
  static const tvx::TArgbImage photo = MakePhoto(4000, 3000);
  for (auto _ : state) {
    tvx::TArgbImage fitted = tvx::FitPicture(photo, width, height, mode);
    benchmark::DoNotOptimize(fitted.Row(0));
  }
}

BENCHMARK_CAPTURE(BM_Fit, pad_4000x3000_to_240x320, tvx::FitMode::kPad, 240, 320)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fit, crop_4000x3000_to_240x320, tvx::FitMode::kCrop, 240, 320)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fit, stretch_4000x3000_to_320x240, tvx::FitMode::kStretch, 320, 240)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
