#pragma once

#include <cstdint>

#include "image/argb_image.h"
#include "image/picture_fit.h"

namespace tvx {

// The kinds of picture the indicator shows, each in a slot of its own size.
enum class PictureSlot {
  kMessage,               // a lift-state message, 240 × 48
  kDate,                  // a weekday or month, 80 × 40
  kArrow,                 // a direction arrow, 104 × 128
  kBackgroundVertical,    // 240 × 320
  kBackgroundHorizontal,  // 320 × 240
  kLogo,                  // the standby logo: the whole screen
  kFloor,                 // a floor picture: its own size, made even in width
};

enum class ScreenOrientation { kVertical, kHorizontal };  // 240 × 320, 320 × 240

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

// The size a picture of the given size takes in the slot. The orientation matters only to the
// logo, the source's size only to floor pictures.
PictureSize SlotSize(PictureSlot slot, ScreenOrientation orientation, PictureSize source);

// The source fitted to its slot. A floor picture is never scaled: an odd width gains a column
// of the background colour on the right, whatever the mode.
TArgbImage FitToSlot(const TArgbImage& source, PictureSlot slot, ScreenOrientation orientation,
                     FitMode mode = FitMode::kPad, std::uint32_t backgroundRgb = 0x000000);

}  // namespace tvx
