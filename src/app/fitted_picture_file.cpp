#include "app/fitted_picture_file.h"

#include <filesystem>
#include <system_error>

#include "image/normalised_bmp.h"
#include "project/paths.h"
#include "util/error_text.h"
#include "util/file_bytes.h"

namespace tvx {

namespace {

std::string baseNameOf(const std::string& path) {
  const std::string name = FileNameOf(path);
  const auto dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::string FittedPictureFolder(const std::string& projectPath, const std::string& originalPath) {
  const std::string& beside = IsBlank(projectPath) ? originalPath : projectPath;
  return WithTrailingSeparator(DirectoryPartOf(beside) + kFittedPictureFolderName);
}

Result<std::string> SaveFittedPicture(const TArgbImage& picture, const std::string& folder,
                                      const std::string& originalPath) {
  std::error_code failure;
  std::filesystem::create_directories(folder, failure);
  if (failure) {
    return Error::System(folder, failure.value()).withAction(error_action::kCreate);
  }
  const std::vector<std::uint8_t> bytes = NormalisedBmpBytes(picture);
  const std::string base = folder + baseNameOf(originalPath);
  for (int number = 1;; ++number) {
    const std::string path = base + (number == 1 ? "" : "-" + std::to_string(number)) + ".bmp";
    if (std::filesystem::exists(path, failure)) {
      const Result<std::vector<std::uint8_t>> there = ReadFileBytes(path);
      if (there && *there == bytes) {
        return path;
      }
      continue;
    }
    if (Result<void> written = WriteNormalisedBmp(picture, path); !written) {
      return std::move(written).error();
    }
    return path;
  }
}

}  // namespace tvx
