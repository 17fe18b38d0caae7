#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/argb_image.h"
#include "image/rgb565.h"

namespace tvx {

// Floyd–Steinberg error diffusion of a picture to 5-6-5 values, rows top to bottom and each
// row left to right. Every channel is quantised to 32 levels; green keeps 5 significant bits
// in the upper part of its 6-bit field. Returns width × height values, rows top-down.
std::vector<Rgb565Pixel> ErrorDiffuseToRgb565(TArgbImage& image);

// The same into a caller's buffer of width × height values.
void ErrorDiffuseToRgb565(const TImageDesc& source, Rgb565Pixel* destination);

// Reads any picture ReadBmp accepts and writes the diffused picture as a 16-bit 5-6-5
// bit-field BMP. The destination appears only when it was written completely; failures
// raise EImageError with the reader's or the streams' text.
void BmpRGB888ToRGB565_ErrorDiffuse_FS(const std::string& sourcePath,
                                       const std::string& destinationPath);

// The same from the bytes of a BMP file to the bytes of the 16-bit file.
std::vector<std::uint8_t> ErrorDiffuseBmpBytes(std::span<const std::uint8_t> bmp);

}  // namespace tvx
