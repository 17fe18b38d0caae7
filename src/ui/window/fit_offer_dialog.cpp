#include "ui/window/fit_offer_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "image/normalised_bmp.h"
#include "project/paths.h"
#include "ui/qt/display_text.h"
#include "util/printf_format.h"

namespace tvx {

namespace {

constexpr BilingualText kTitle{"調整圖片", "Fit the picture"};
constexpr BilingualText kHeading{"「%s」不適合直接用作%s", "\"%s\" does not suit the %s as it is"};
constexpr BilingualText kProblem{"• 圖片%s", "• The picture %s."};
constexpr BilingualText kFittedTo{"調整為 %d × %d 後:", "Fitted to %d × %d:"};
constexpr BilingualText kOnlyResult{"調整後", "Fitted"};
constexpr BilingualText kResaved{"另存為轉換器接受的 24 位元 BMP:",
                                 "Saved as a 24-bit BMP its converter takes:"};
constexpr BilingualText kSavedBeside{"「調整並儲存」會將結果存成 BMP 檔, 放在專案旁的資料夾:\n%s",
                                     "Fit and save writes the result as a BMP file into the "
                                     "folder beside the project:\n%s"};
constexpr BilingualText kSavedBesideOriginal{
    "專案尚未儲存, 因此結果會放在原圖旁的資料夾:\n%s",
    "The project has not been saved yet, so the result goes into the folder beside the "
    "original picture:\n%s"};
constexpr BilingualText kKeepNote{"「照原樣使用」會保留原圖, 建置前檢查仍會提出此問題。",
                                  "Use as it is keeps the original; the pre-flight check will "
                                  "still report it."};
constexpr BilingualText kFitAndSave{"調整並儲存", "Fit and save"};
constexpr BilingualText kUseAsItIs{"照原樣使用", "Use as it is"};

// The room of a result: the mode's name over it, what the mode does under it.
constexpr int kPreviewWidth = 200;
constexpr int kPreviewHeight = 160;

QString fromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename... Args>
QString formatted(BilingualText pattern, unsigned lang, Args... args) {
  return QString::fromStdString(
      YVclUtil::FormatPrintf(std::string(pattern.forLanguage(lang)).c_str(), args...));
}

BilingualText slotName(PictureSlot slot) {
  switch (slot) {
    case PictureSlot::kMessage:
      return {"電梯狀態訊息", "lift-state message"};
    case PictureSlot::kDate:
      return {"星期或月份", "weekday or month"};
    case PictureSlot::kArrow:
      return {"方向箭頭", "direction arrow"};
    case PictureSlot::kBackgroundVertical:
      return {"直式背景圖", "vertical background"};
    case PictureSlot::kBackgroundHorizontal:
      return {"橫式背景圖", "horizontal background"};
    case PictureSlot::kLogo:
      return {"待機 Logo", "standby logo"};
    case PictureSlot::kFloor:
      break;
  }
  return {"樓層圖", "floor picture"};
}

struct ModeWords {
  BilingualText name;
  BilingualText effect;
};

ModeWords modeWords(FitMode mode) {
  switch (mode) {
    case FitMode::kPad:
      return {{"補邊", "Pad"}, {"整張圖片, 空位補黑邊", "the whole picture, black bands"}};
    case FitMode::kCrop:
      return {{"裁切", "Crop"}, {"填滿位置, 裁掉多出的邊", "fills the slot, edges cut off"}};
    case FitMode::kStretch:
      break;
  }
  return {{"拉伸", "Stretch"}, {"填滿位置, 比例會變形", "fills the slot, out of proportion"}};
}

// The picture as the indicator shows it: over black.
QImage toQImage(const TArgbImage& picture) {
  QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
  for (int y = 0; y < picture.Height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < picture.Width(); ++x) {
      row[x] = 0xFF000000u | OverBlack(picture.Pixel(x, y));
    }
  }
  return image;
}

// Small pictures are shown twice their size at most, large ones made to fit the preview.
QPixmap previewOf(const TArgbImage& picture) {
  const QImage image = toQImage(picture);
  if (image.isNull()) {
    return {};
  }
  const double scale = std::min(
      {2.0, double(kPreviewWidth) / image.width(), double(kPreviewHeight) / image.height()});
  const QSize size(std::max(1, int(image.width() * scale)),
                   std::max(1, int(image.height() * scale)));
  return QPixmap::fromImage(image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QLabel* wrapped(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

FitOfferDialog::FitOfferDialog(const PickedPicture& picked,
                               const std::vector<FittedPicture>& results, const std::string& folder,
                               bool projectSaved, unsigned lang, QWidget* parent)
    : QDialog(parent) {
  setObjectName("FitOfferDialog");
  // A dialog is a window of its own and inherits no font: the main window's draws the Chinese
  // in its traditional forms.
  if (parent != nullptr) {
    setFont(parent->font());
  }
  setWindowTitle(fromView(kTitle.forLanguage(lang)));

  const std::string name = DisplayPath(FileNameOf(picked.path)).toStdString();
  auto* heading = wrapped(formatted(kHeading, lang, name.c_str(),
                                    std::string(slotName(picked.slot).forLanguage(lang)).c_str()),
                          this);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  for (const Words* problem : {&picked.sizeProblem, &picked.converterProblem}) {
    if (!problem->empty()) {
      layout->addWidget(
          wrapped(formatted(kProblem, lang, problem->forLanguage(lang).c_str()), this));
    }
  }
  layout->addSpacing(6);
  const QString resultsHeading =
      picked.size == picked.wanted
          ? fromView(kResaved.forLanguage(lang))
          : formatted(kFittedTo, lang, picked.wanted.width, picked.wanted.height);
  layout->addWidget(new QLabel(resultsHeading, this));
  layout->addWidget(makeResults(results, lang));
  layout->addSpacing(6);
  const std::string shownFolder = DisplayPath(folder).toStdString();
  layout->addWidget(wrapped(
      formatted(projectSaved ? kSavedBeside : kSavedBesideOriginal, lang, shownFolder.c_str()),
      this));
  layout->addWidget(wrapped(fromView(kKeepNote.forLanguage(lang)), this));

  auto* buttons = new QDialogButtonBox(this);
  m_fit = buttons->addButton(fromView(kFitAndSave.forLanguage(lang)), QDialogButtonBox::AcceptRole);
  m_fit->setObjectName("FitAndSaveButton");
  m_keep = buttons->addButton(fromView(kUseAsItIs.forLanguage(lang)), QDialogButtonBox::RejectRole);
  m_keep->setObjectName("UseAsItIsButton");
  QPushButton* preferred = picked.refusedByTheBuild ? m_fit : m_keep;
  for (QPushButton* button : {m_fit, m_keep}) {
    button->setAutoDefault(false);
    button->setDefault(button == preferred);
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  preferred->setFocus();
}

QWidget* FitOfferDialog::makeResults(const std::vector<FittedPicture>& results, unsigned lang) {
  auto* area = new QWidget(this);
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(16);
  auto* group = new QButtonGroup(area);
  const bool single = results.size() == 1;
  for (int column = 0; column < static_cast<int>(results.size()); ++column) {
    const ModeWords words = modeWords(results[column].mode);
    auto* choice =
        new QRadioButton(fromView((single ? kOnlyResult : words.name).forLanguage(lang)), area);
    choice->setObjectName(QStringLiteral("FitResult%1").arg(column));
    choice->setChecked(column == 0);
    // The one result is no choice.
    choice->setVisible(!single);
    group->addButton(choice, column);
    m_choices.push_back(choice);

    auto* preview = new QLabel(area);
    preview->setObjectName(QStringLiteral("FitPreview%1").arg(column));
    const QPixmap pixmap = previewOf(results[column].picture);
    preview->setPixmap(pixmap);
    // A frame shows where the black bands end.
    preview->setFrameShape(QFrame::Box);
    preview->setFixedSize(pixmap.size() + QSize(2, 2));
    grid->addWidget(choice, 0, column);
    grid->addWidget(preview, 1, column, Qt::AlignLeft);
    if (!single) {
      auto* effect = wrapped(fromView(words.effect.forLanguage(lang)), area);
      effect->setFixedWidth(kPreviewWidth);
      grid->addWidget(effect, 2, column);
    }
  }
  return area;
}

int FitOfferDialog::chosenResult() const {
  for (std::size_t index = 0; index < m_choices.size(); ++index) {
    if (m_choices[index]->isChecked()) {
      return static_cast<int>(index);
    }
  }
  return 0;
}

}  // namespace tvx
