#include "image/picture_import.h"

#include <algorithm>
#include <cmath>

#include "image/picture_decoder.h"

namespace tvx {

namespace {

// The size the whole source is scaled to before it is cut or padded, at least 1 a side.
PictureSize scaledSize(PictureSize full, PictureSize target, FitMode mode) {
  if (mode == FitMode::kStretch || full.width < 1 || full.height < 1) {
    return target;
  }
  const double across = static_cast<double>(target.width) / full.width;
  const double down = static_cast<double>(target.height) / full.height;
  const double ratio = mode == FitMode::kPad ? std::min(across, down) : std::max(across, down);
  return {std::max(1, static_cast<int>(std::ceil(full.width * ratio))),
          std::max(1, static_cast<int>(std::ceil(full.height * ratio)))};
}

}  // namespace

Result<TArgbImage> ImportPicture(const std::string& path, const ImportRequest& request) {
  DecodedSizeFloor floor;
  if (request.slot != PictureSlot::kFloor) {
    // Floor pictures keep their size; every other slot has one of its own.
    const PictureSize target = SlotSize(request.slot, request.orientation, {});
    floor = [target, mode = request.mode](PictureSize full) {
      const PictureSize scaled = scaledSize(full, target, mode);
      return PictureSize{2 * scaled.width, 2 * scaled.height};
    };
  }
  Result<TArgbImage> decoded = DecodePictureFile(path, floor);
  if (!decoded) {
    return decoded;
  }
  return FitToSlot(*decoded, request.slot, request.orientation, request.mode,
                   request.backgroundRgb);
}

}  // namespace tvx
