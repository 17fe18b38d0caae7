#pragma once

#include <optional>
#include <string>

#include "project/host.h"

namespace tvx {

inline constexpr const char* kPictureDialogTitle = "Open image file";
inline constexpr const char* kPictureFilter = "Bitmaps (*.bmp)|*.bmp";

// The picture dialog shared by the pickers of the window: an existing picture, starting in
// startFolder (empty: where the dialog was left) with currentPath proposed. Nothing when
// cancelled.
inline std::optional<std::string> ChoosePicture(Host& host, const std::string& startFolder,
                                                const std::string& currentPath = {}) {
  return host.chooseOpenFile({kPictureDialogTitle, kPictureFilter, startFolder, currentPath, ""});
}

}  // namespace tvx
