#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "image/argb_image.h"
#include "image/picture_size.h"
#include "util/result.h"

// Every picture the build reads, whatever its form: BMP (ReadBmpLenient), PNG and JPEG, told
// apart by their first bytes.
namespace tvx {

// Decodes bytes into a picture (rows top-down, alpha as the file says). The error is
// Error::Invalid naming `name`, its detail the form found and why it cannot be read: "a GIF
// picture, ...", "not a picture ...", "a damaged PNG: <libpng's words>".
// A floor lets a decoder that can decode a smaller picture (see DecodedSizeFloor).
Result<TArgbImage> DecodePicture(std::span<const std::uint8_t> bytes, const std::string& name,
                                 const DecodedSizeFloor& floor = {});

// The same for a file; a file that cannot be read is named with the system's reason.
Result<TArgbImage> DecodePictureFile(const std::string& path, const DecodedSizeFloor& floor = {});

// Decodes a BMP as ReadBmpLenient does; the error names no file.
Result<TArgbImage> DecodeLenientBmp(std::span<const std::uint8_t> bytes);

}  // namespace tvx
