#pragma once

#include <string>

#include "image/argb_image.h"
#include "util/result.h"

// Where a picture fitted to its slot is kept: a folder "pictures" beside the project file, or,
// while the project has not been saved, beside the original picture.
namespace tvx {

inline constexpr const char* kFittedPictureFolderName = "pictures";

// The folder, with a trailing separator.
std::string FittedPictureFolder(const std::string& projectPath, const std::string& originalPath);

// Writes the picture as the plain 24-bit BMP both converters take into folder (made when
// missing), named after the original: "NAME.bmp", or "NAME-2.bmp", "NAME-3.bmp", ... when a
// different file has the name already. A file holding the same picture is used again. The
// answer is the file's path.
Result<std::string> SaveFittedPicture(const TArgbImage& picture, const std::string& folder,
                                      const std::string& originalPath);

}  // namespace tvx
