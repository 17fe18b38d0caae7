#include "image/picture_scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/resample_weights.h"

namespace tvx {
namespace {

// Pixels in memory are B, G, R, A; the float buffers keep that order, premultiplied, 0..255.
constexpr int kChannels = 4;

void CopyWindow(const TArgbImage& source, const ScaledWindow& window, const TImageDesc& target) {
  for (int y = 0; y < target.Height; ++y) {
    std::memcpy(target.Pixels + static_cast<std::ptrdiff_t>(y) * target.Stride,
                source.Row(window.top + y) + static_cast<std::ptrdiff_t>(window.left) * kChannels,
                static_cast<std::size_t>(target.Width) * kChannels);
  }
}

// Source columns [from, to] of one row, premultiplied.
void Premultiply(const std::uint8_t* row, int from, int to, float* out) {
  constexpr float kByte = 1.0F / 255.0F;
  for (int x = from; x <= to; ++x) {
    const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * kChannels;
    const float alpha = p[3];
    const float factor = alpha * kByte;
    float* q = out + static_cast<std::ptrdiff_t>(x - from) * kChannels;
    q[0] = p[0] * factor;
    q[1] = p[1] * factor;
    q[2] = p[2] * factor;
    q[3] = alpha;
  }
}

// One row of premultiplied pixels (starting at source column `from`) to the window's columns.
void ScaleRow(const float* row, int from, const ResampleWeights& columns, float* out) {
  for (const ResampleTap& tap : columns.taps) {
    const float* in = row + static_cast<std::ptrdiff_t>(tap.first - from) * kChannels;
    const float* w = columns.weights.data() + tap.offset;
    float b = 0, g = 0, r = 0, a = 0;
    for (int k = 0; k < tap.count; ++k, in += kChannels) {
      b += w[k] * in[0];
      g += w[k] * in[1];
      r += w[k] * in[2];
      a += w[k] * in[3];
    }
    out[0] = b;
    out[1] = g;
    out[2] = r;
    out[3] = a;
    out += kChannels;
  }
}

std::uint8_t ToByte(float value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// A premultiplied row back to straight colour; fully transparent pixels become 0.
void Unpremultiply(const float* in, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x, in += kChannels, out += kChannels) {
    const float alpha = in[3];
    const std::uint8_t a = ToByte(alpha);
    if (a == 0) {
      std::memset(out, 0, kChannels);
      continue;
    }
    const float factor = 255.0F / alpha;
    out[0] = ToByte(in[0] * factor);
    out[1] = ToByte(in[1] * factor);
    out[2] = ToByte(in[2] * factor);
    out[3] = a;
  }
}

}  // namespace

void ScalePictureInto(const TArgbImage& source, const ScaledWindow& window,
                      const TImageDesc& target) {
  if (target.Width < 1 || target.Height < 1) {
    return;
  }
  if (window.scaledWidth == source.Width() && window.scaledHeight == source.Height()) {
    CopyWindow(source, window, target);
    return;
  }
  const ResampleWeights columns =
      ComputeResampleWeights(source.Width(), window.scaledWidth, window.left, target.Width);
  const ResampleWeights rows =
      ComputeResampleWeights(source.Height(), window.scaledHeight, window.top, target.Height);

  // Rows first: every source row the columns pass reads, scaled to the window's width.
  const std::ptrdiff_t rowFloats = static_cast<std::ptrdiff_t>(target.Width) * kChannels;
  std::vector<float> premultiplied(static_cast<std::size_t>(columns.highest - columns.lowest + 1) *
                                   kChannels);
  std::vector<float> narrowed(static_cast<std::size_t>(rows.highest - rows.lowest + 1) *
                              static_cast<std::size_t>(rowFloats));
  for (int y = rows.lowest; y <= rows.highest; ++y) {
    Premultiply(source.Row(y), columns.lowest, columns.highest, premultiplied.data());
    ScaleRow(premultiplied.data(), columns.lowest, columns,
             narrowed.data() + (y - rows.lowest) * rowFloats);
  }

  // Then the columns: each output row a weighted sum of narrowed rows.
  std::vector<float> sum(static_cast<std::size_t>(rowFloats));
  for (int y = 0; y < target.Height; ++y) {
    const ResampleTap& tap = rows.taps[static_cast<std::size_t>(y)];
    std::fill(sum.begin(), sum.end(), 0.0F);
    for (int k = 0; k < tap.count; ++k) {
      const float w = rows.weights[static_cast<std::size_t>(tap.offset + k)];
      const float* in = narrowed.data() + (tap.first + k - rows.lowest) * rowFloats;
      for (std::ptrdiff_t i = 0; i < rowFloats; ++i) {
        sum[static_cast<std::size_t>(i)] += w * in[i];
      }
    }
    Unpremultiply(sum.data(), target.Width,
                  target.Pixels + static_cast<std::ptrdiff_t>(y) * target.Stride);
  }
}

TArgbImage ScalePicture(const TArgbImage& source, int width, int height) {
  TArgbImage scaled(width, height);
  ScalePictureInto(source, {width, height, 0, 0}, scaled.Lock());
  return scaled;
}

}  // namespace tvx
