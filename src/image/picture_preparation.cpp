#include "image/picture_preparation.h"

#include "image/picture_decoder.h"
#include "image/truncate_converter.h"

namespace tvx {

bool ConverterTakes(const BmpProbe& probe, PictureConverter converter) {
  return converter == PictureConverter::kTruncating ? probe.truncatable() : probe.diffusable();
}

bool PreparesWidth(std::int64_t width, PictureConverter converter) {
  return converter != PictureConverter::kTruncating || width % 2 == 0;
}

Result<TArgbImage> PreparePicture(const std::string& path, PictureConverter converter) {
  Result<TArgbImage> decoded = DecodePictureFile(path);
  if (decoded && !PreparesWidth(decoded->Width(), converter)) {
    return Error::Invalid(path, truncate_rule::kEvenWidth);
  }
  return decoded;
}

}  // namespace tvx
