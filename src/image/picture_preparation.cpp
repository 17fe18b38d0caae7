#include "image/picture_preparation.h"

#include "image/normalised_bmp.h"
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

Result<std::string> ConverterSource(const std::string& path, PictureConverter converter,
                                    const std::string& preparedPath) {
  const Result<BmpProbe> probe = ProbeBmpFile(path);
  if (!probe || ConverterTakes(*probe, converter)) {
    return path;
  }
  const Result<TArgbImage> picture = PreparePicture(path, converter);
  if (!picture) {
    return path;
  }
  TVX_TRY(WriteNormalisedBmp(*picture, preparedPath));
  return preparedPath;
}

}  // namespace tvx
