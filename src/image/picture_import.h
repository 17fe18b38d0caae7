#pragma once

#include <cstdint>
#include <string>

#include "image/argb_image.h"
#include "image/picture_fit.h"
#include "image/picture_slot.h"
#include "util/result.h"

// A picture from anywhere made fit for a slot of the indicator: decoded whatever its form,
// brought to the slot's size, ready to be written as the plain 24-bit BMP both converters take.
// The command line's import and the window's fit offer both make their pictures here.
namespace tvx {

struct ImportRequest {
  PictureSlot slot = PictureSlot::kMessage;
  ScreenOrientation orientation = ScreenOrientation::kVertical;  // the logo's screen
  FitMode mode = FitMode::kPad;
  std::uint32_t backgroundRgb = 0x000000;  // the bands of kPad, the floor's added column
};

// A large JPEG is decoded at a reduced scale that still leaves at least twice the pixels the
// fitted picture takes on each axis, so the area averaging keeps its quality.
Result<TArgbImage> ImportPicture(const std::string& path, const ImportRequest& request);

}  // namespace tvx
