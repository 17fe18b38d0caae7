#pragma once

#include <cstdint>

#include "image/argb_image.h"

namespace tvx {

// How a picture is brought to the size of the slot it fills.
enum class FitMode {
  kPad,      // all of it, aspect kept, centred on the background colour
  kCrop,     // covering the slot, aspect kept, the overflow cut evenly from both sides
  kStretch,  // each axis scaled on its own
};

// The source brought to exactly width × height. The scaled size is rounded to the nearest
// pixel; an odd remainder (the band of kPad, the overflow of kCrop) leaves its extra pixel on
// the right or at the bottom. The bands of kPad are the opaque backgroundRgb (0xRRGGBB); the
// picture keeps its alpha. A source of the target size comes back unchanged, an empty one as
// the background alone; a width or height below 1 gives an empty picture.
TArgbImage FitPicture(const TArgbImage& source, int width, int height, FitMode mode = FitMode::kPad,
                      std::uint32_t backgroundRgb = 0x000000);

}  // namespace tvx
