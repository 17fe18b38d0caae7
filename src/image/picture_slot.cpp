#include "image/picture_slot.h"

namespace tvx {

PictureSize SlotSize(PictureSlot slot, ScreenOrientation orientation, PictureSize source) {
  switch (slot) {
    case PictureSlot::kMessage:
      return {240, 48};
    case PictureSlot::kDate:
      return {80, 40};
    case PictureSlot::kArrow:
      return {104, 128};
    case PictureSlot::kBackgroundVertical:
      return {240, 320};
    case PictureSlot::kBackgroundHorizontal:
      return {320, 240};
    case PictureSlot::kLogo:
      return orientation == ScreenOrientation::kVertical ? PictureSize{240, 320}
                                                         : PictureSize{320, 240};
    case PictureSlot::kFloor:
      return {source.width + (source.width & 1), source.height};
  }
  return {};
}

TArgbImage FitToSlot(const TArgbImage& source, PictureSlot slot, ScreenOrientation orientation,
                     FitMode mode, std::uint32_t backgroundRgb) {
  const PictureSize size = SlotSize(slot, orientation, {source.Width(), source.Height()});
  // Padding one column wider than the picture scales nothing and puts the column on the right.
  const FitMode fit = slot == PictureSlot::kFloor ? FitMode::kPad : mode;
  return FitPicture(source, size.width, size.height, fit, backgroundRgb);
}

}  // namespace tvx
