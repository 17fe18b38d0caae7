#pragma once

#include <optional>
#include <string>

#include "project/host.h"
#include "util/bilingual_text.h"

namespace tvx {

inline constexpr BilingualText kPictureDialogTitle{"開啟圖檔", "Open image file"};
// Every form the build reads first, plain bitmaps second; the patterns are the same in both.
inline constexpr BilingualText kPictureFilter{
    "圖片 (*.bmp *.png *.jpg *.jpeg)|*.bmp;*.png;*.jpg;*.jpeg|點陣圖 (*.bmp)|*.bmp",
    "Pictures (*.bmp *.png *.jpg *.jpeg)|*.bmp;*.png;*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp"};

// The picture dialog shared by the pickers of the window: an existing picture, starting in
// startFolder (empty: where the dialog was left) with currentPath proposed, in the language
// LANG picks. Nothing when cancelled.
inline std::optional<std::string> ChoosePicture(Host& host, unsigned lang,
                                                const std::string& startFolder,
                                                const std::string& currentPath = {}) {
  return host.chooseOpenFile({std::string(kPictureDialogTitle.forLanguage(lang)),
                              std::string(kPictureFilter.forLanguage(lang)), startFolder,
                              currentPath, ""});
}

}  // namespace tvx
