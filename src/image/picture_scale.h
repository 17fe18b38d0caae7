#pragma once

#include "image/argb_image.h"

namespace tvx {

// A window onto the source scaled to scaledWidth × scaledHeight: the part whose top-left pixel
// is (left, top) of the scaled picture, as large as the target it is written to.
struct ScaledWindow {
  int scaledWidth = 0;
  int scaledHeight = 0;
  int left = 0;
  int top = 0;
};

// Writes the window of the scaled source into target (any stride; a part of a larger picture
// will do). Each axis is scaled on its own, the rows first, then the columns: shrinking
// averages areas, enlarging interpolates linearly. Colours are averaged premultiplied by their
// alpha, in single-precision floats, so a transparent neighbour darkens nothing; the result
// keeps its alpha. A window that only moves the source (no scaling on either axis) copies the
// pixels unchanged. The source must not be empty, the window must lie inside the scaled
// picture.
void ScalePictureInto(const TArgbImage& source, const ScaledWindow& window,
                      const TImageDesc& target);

// The whole source scaled to width × height.
TArgbImage ScalePicture(const TArgbImage& source, int width, int height);

}  // namespace tvx
