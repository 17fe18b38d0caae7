#pragma once

#include <functional>

namespace tvx {

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

// What a caller needs of a picture it is about to shrink: given the picture's full size, the
// size it must at least be decoded at. A decoder that can (JPEG, by decoding at 1/2, 1/4 or 1/8
// of its size) then decodes at the smallest scale that keeps the picture that large; the others
// decode at full size. Without one, every picture is decoded at full size.
using DecodedSizeFloor = std::function<PictureSize(PictureSize full)>;

}  // namespace tvx
