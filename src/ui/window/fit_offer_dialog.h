#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/picked_picture.h"

class QPushButton;
class QRadioButton;

namespace tvx {

// One way of fitting the picked picture, and what it gives.
struct FittedPicture {
  FitMode mode = FitMode::kPad;
  TArgbImage picture;
};

// The offer made when a picture picked for a slot does not suit it as it is: what is wrong with
// it, the fitted results side by side to choose from (pad, crop and stretch when it is scaled,
// else the one result), the folder the fitted copy goes into, and "Fit and save" or "Use as it
// is" (also Escape and closing). In the language LANG picks.
//
// "Fit and save" is the default only when the build could not use the picture as it is: a
// picture of the wrong size or in a form the build prepares still reaches the indicator, and
// may be meant so, which the pre-flight check reports again.
class FitOfferDialog : public QDialog {
  Q_OBJECT

 public:
  FitOfferDialog(const PickedPicture& picked, const std::vector<FittedPicture>& results,
                 const std::string& folder, bool projectSaved, unsigned lang,
                 QWidget* parent = nullptr);

  // The index into the results of the one chosen.
  int chosenResult() const;

  QPushButton* fitButton() const { return m_fit; }
  QPushButton* keepButton() const { return m_keep; }
  // The choice of one result, by its place among them.
  QRadioButton* resultButton(int index) const { return m_choices.at(index); }

 private:
  QWidget* makeResults(const std::vector<FittedPicture>& results, unsigned lang);

  std::vector<QRadioButton*> m_choices;
  QPushButton* m_fit = nullptr;
  QPushButton* m_keep = nullptr;
};

}  // namespace tvx
