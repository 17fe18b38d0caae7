#include "image/picture_decoder.h"

#include <new>

#include "image/bmp_lenient.h"
#include "image/bmp_probe.h"
#include "image/image_error.h"
#include "image/jpeg_decoder.h"
#include "image/png_decoder.h"
#include "image/streams.h"
#include "util/file_bytes.h"

namespace tvx {

namespace {

using Decoder = Result<void> (*)(std::span<const std::uint8_t>, TArgbImage&);

Result<TArgbImage> decodeWith(Decoder decoder, std::span<const std::uint8_t> bytes) {
  TArgbImage image;
  if (Result<void> decoded = decoder(bytes, image); !decoded) {
    return std::move(decoded).error();
  }
  return image;
}

Result<void> decodeBmp(std::span<const std::uint8_t> bytes, TArgbImage& image) {
  try {
    TMemoryInputStream in(bytes);
    ReadBmpLenient(in, image);
  } catch (const EImageError& error) {
    return Error::Invalid({}, std::string("a BMP the build cannot read: ") + error.what());
  } catch (const std::bad_alloc&) {
    return Error::Invalid({}, "out of memory");
  }
  return {};
}

}  // namespace

Result<TArgbImage> DecodeLenientBmp(std::span<const std::uint8_t> bytes) {
  return decodeWith(decodeBmp, bytes);
}

Result<TArgbImage> DecodePicture(std::span<const std::uint8_t> bytes, const std::string& name,
                                 const DecodedSizeFloor& floor) {
  Result<TArgbImage> decoded = Error::Invalid({}, {});
  switch (PictureFileKindOf(bytes)) {
    case PictureFileKind::kBmp:
      decoded = decodeWith(decodeBmp, bytes);
      break;
    case PictureFileKind::kPng:
      decoded = decodeWith(DecodePng, bytes);
      break;
    case PictureFileKind::kJpeg:
      decoded = [&]() -> Result<TArgbImage> {
        TArgbImage image;
        TVX_TRY(DecodeJpeg(bytes, image, floor));
        return image;
      }();
      break;
    case PictureFileKind::kGif:
      return Error::Invalid(name,
                            "a GIF picture, which the build cannot read (it reads BMP, PNG "
                            "and JPEG)");
    case PictureFileKind::kOther:
      return Error::Invalid(name, "not a picture (neither BMP, PNG nor JPEG)");
  }
  if (!decoded) {
    Error error = std::move(decoded).error();
    error.subject = name;
    return error;
  }
  return decoded;
}

Result<TArgbImage> DecodePictureFile(const std::string& path, const DecodedSizeFloor& floor) {
  Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) {
    return std::move(bytes).error();
  }
  return DecodePicture(*bytes, path, floor);
}

}  // namespace tvx
