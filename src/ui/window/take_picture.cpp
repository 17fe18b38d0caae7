#include "ui/window/take_picture.h"

#include <QPointer>
#include <vector>

#include "app/fitted_picture_file.h"
#include "app/picked_picture.h"
#include "app/studio.h"
#include "project/paths.h"
#include "project/project_file.h"
#include "ui/window/fit_offer_dialog.h"
#include "util/error_text.h"

namespace tvx {

namespace {

constexpr BilingualText kNotTaken{"無法使用此圖片, 位置保持不變:\n",
                                  "The picture cannot be used; the slot is left as it was:\n"};

void tellWhy(Studio& studio, const Error& error) {
  const unsigned lang = studio.language();
  studio.host().showMessage(kProjectMessageCaption,
                            std::string(kNotTaken.forLanguage(lang)) + ErrorText(error, lang));
}

Result<std::vector<FittedPicture>> fittedResults(const PickedPicture& picked) {
  std::vector<FittedPicture> results;
  const std::vector<FitMode> modes =
      picked.modesDiffer() ? std::vector{FitMode::kPad, FitMode::kCrop, FitMode::kStretch}
                           : std::vector{FitMode::kPad};
  for (FitMode mode : modes) {
    Result<TArgbImage> fitted = FitPickedPicture(picked, mode);
    if (!fitted) {
      return std::move(fitted).error();
    }
    results.push_back({mode, std::move(*fitted)});
  }
  return results;
}

}  // namespace

std::optional<std::string> TakePicture(Studio& studio, const std::string& path, PictureSlot slot,
                                       QWidget* parent) {
  Result<PickedPicture> picked = LookAtPickedPicture(path, slot, OrientationOf(studio.project()));
  if (!picked) {
    tellWhy(studio, picked.error());
    return std::nullopt;
  }
  if (!picked->needsFitting()) {
    return path;
  }
  const std::string& projectPath = studio.project().ProjectPath;
  const std::string folder = FittedPictureFolder(projectPath, path);
  Result<std::vector<FittedPicture>> fitted = fittedResults(*picked);
  if (!fitted) {
    tellWhy(studio, fitted.error());
    return std::nullopt;
  }
  const std::vector<FittedPicture>& results = *fitted;
  QPointer<FitOfferDialog> dialog = new FitOfferDialog(
      *picked, results, folder, !IsBlank(projectPath), studio.language(), parent);
  const bool fit = dialog->exec() == QDialog::Accepted;
  // The dialog goes with its parent should the window be deleted meanwhile.
  if (dialog == nullptr) {
    return std::nullopt;
  }
  const int chosen = dialog->chosenResult();
  delete dialog;
  if (!fit) {
    return path;
  }
  Result<std::string> saved = SaveFittedPicture(results[chosen].picture, folder, path);
  if (!saved) {
    tellWhy(studio, saved.error());
    return std::nullopt;
  }
  return *saved;
}

}  // namespace tvx
