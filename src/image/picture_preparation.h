#pragma once

#include <cstdint>
#include <string>

#include "image/argb_image.h"
#include "image/bmp_probe.h"
#include "util/result.h"

// The build's two converters, and what it does with a picture that its converter refuses as it
// is: when the decoder reads it, the build writes it as a plain 24-bit BMP (NormalisedBmpBytes)
// and converts that instead.
namespace tvx {

enum class PictureConverter {
  kTruncating,      // every bank but the backgrounds'
  kErrorDiffusion,  // the backgrounds
};

// Whether the converter takes the picture as it is (its own header checks decide, as probed).
bool ConverterTakes(const BmpProbe& probe, PictureConverter converter);

// The truncating converter takes even widths only, and the build does not pad a picture behind
// the technician's back: an odd-width picture for it stays as refused as it was.
bool PreparesWidth(std::int64_t width, PictureConverter converter);

// The decoded picture the build hands on in the converter's form; an error naming the file when
// it cannot be decoded, or (detail truncate_rule::kEvenWidth) when its width is not prepared.
Result<TArgbImage> PreparePicture(const std::string& path, PictureConverter converter);

// The file the converter reads: the picture itself when the converter takes it, or cannot take
// it in any form (it then refuses it as ever); otherwise the picture prepared and written to
// preparedPath. The error is the write's.
Result<std::string> ConverterSource(const std::string& path, PictureConverter converter,
                                    const std::string& preparedPath);

}  // namespace tvx
