#include "ui/window/rom_sheet_window.h"

#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "project/paths.h"
#include "ui/qt/display_text.h"
#include "ui/window/rom_sheet_image.h"
#include "util/error_text.h"

namespace tvx {

namespace {

constexpr BilingualText kTitle{"指示器的內容", "What the indicator holds"};
// Room for the scroll bars and the frame around the sheet.
constexpr int kScrollRoom = 24;
constexpr QSize kLargestOpening{960, 680};

}  // namespace

RomSheetWindow::RomSheetWindow(const std::string& romImagePath, unsigned lang, QWidget* parent)
    : QWidget(parent, Qt::Window) {
  setObjectName("RomSheetWindow");
  setAttribute(Qt::WA_DeleteOnClose);
  if (parent != nullptr) {
    setFont(parent->font());
  }
  const std::string_view title = kTitle.forLanguage(lang);
  setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())) + " - " +
                 DisplayPath(FileNameOf(romImagePath)));

  auto* layout = new QVBoxLayout(this);
  const Result<QImage> sheet = RomSheetImage(romImagePath);
  if (!sheet) {
    auto* error = new QLabel(DisplayText(ErrorText(sheet.error(), lang)), this);
    error->setObjectName("SheetError");
    error->setWordWrap(true);
    error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(error);
    resize(480, 120);
    return;
  }
  auto* picture = new QLabel;
  picture->setObjectName("SheetPicture");
  picture->setPixmap(QPixmap::fromImage(*sheet));
  picture->resize(sheet->size());
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("SheetScrollArea");
  scroll->setWidget(picture);
  layout->addWidget(scroll);
  const QSize room = sheet->size() + QSize(kScrollRoom, kScrollRoom) +
                     QSize(layout->contentsMargins().left() + layout->contentsMargins().right(),
                           layout->contentsMargins().top() + layout->contentsMargins().bottom());
  QSize largest = kLargestOpening;
  if (const QScreen* shown = screen()) {
    largest = largest.boundedTo(shown->availableSize() * 9 / 10);
  }
  resize(room.boundedTo(largest));
}

}  // namespace tvx
