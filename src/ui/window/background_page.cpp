#include "ui/window/background_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/studio.h"
#include "project/catalogue.h"
#include "project/choices.h"
#include "project/paths.h"
#include "project/picture_lookup.h"
#include "project/window_state.h"
#include "ui/qt/colours.h"
#include "ui/qt/display_text.h"
#include "ui/qt/report_exceptions.h"
#include "ui/window/choose_picture.h"
#include "ui/window/dropped_files.h"
#include "ui/window/picture_box.h"
#include "ui/window/slot_keys.h"
#include "ui/window/take_picture.h"
#include "ui/window/widget_factory.h"

namespace tvx {

namespace {

constexpr int kPreviewLeft = 620;
constexpr int kPreviewTop = 64;

// A small drawing of an arrangement for its button: the screen's orientation with the arrow,
// the floor digits and the message line where the indicator puts them.
QImage arrangementSample(int layout) {
  const bool vertical = layout == kLayoutArrangement2 || layout == kLayoutArrangement4;
  const QSize size = vertical ? QSize(54, 72) : QSize(72, 54);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor arrow(40, 220, 110);
  QRect arrowBox;
  QRect digitBox;
  QRect message;
  if (vertical) {
    arrowBox = {17, 4, 20, 22};
    digitBox = {13, 28, 28, 24};
    message = {4, 58, 46, 9};
  } else {
    arrowBox = {6, 10, 22, 24};
    digitBox = {36, 10, 30, 24};
    message = {6, 40, 60, 9};
  }
  QPolygon up;
  up << QPoint(arrowBox.center().x(), arrowBox.top())
     << QPoint(arrowBox.right(), arrowBox.top() + arrowBox.height() / 2)
     << QPoint(arrowBox.left(), arrowBox.top() + arrowBox.height() / 2);
  painter.setPen(Qt::NoPen);
  painter.setBrush(arrow);
  painter.drawPolygon(up);
  painter.drawRect(arrowBox.center().x() - 3, arrowBox.top() + arrowBox.height() / 2, 7,
                   arrowBox.height() / 2);
  QFont font = painter.font();
  font.setPixelSize(digitBox.height());
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(digitBox, Qt::AlignCenter, "8");
  painter.fillRect(message, QColor(20, 80, 200));
  return image;
}

QTableWidgetItem* readOnlyItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

BackgroundPage::BackgroundPage(Studio& studio, QWidget* parent)
    : QWidget(parent), m_studio(studio) {
  setObjectName("TabSheet2");
  m_useBackground = form::Check(this, "CheckBox2", QStringLiteral("使用背景圖"), {8, 8, 184, 24});
  m_colourButton =
      form::Button(this, "SpeedButton5", QStringLiteral("指定背景顏色"), {200, 4, 200, 30});
  buildLists();
  buildArrangements();
  buildSlideShow();
  m_previewLabel =
      form::Label(this, "Label1", QStringLiteral("背景圖檔預覽"), {kPreviewLeft, 40, 240, 20});
  m_preview = form::Place(new PictureBox(this), "Image11", {kPreviewLeft, kPreviewTop, 240, 180});
  m_preview->hide();

  connect(m_useBackground, &QCheckBox::toggled, this, [this](bool on) { CheckBox2Click(on); });
  connect(m_colourButton, &QPushButton::clicked, this,
          [this] { YVclCtrl::RunReportingExceptions([this] { SpeedButton5Click(); }); });
  enableBackgroundControls(false);
}

void BackgroundPage::buildLists() {
  m_listPages = form::Place(new QTabWidget(this), "PageControl2", {8, 40, 604, 258});
  const std::array<const char*, 2> pageNames{"TabSheet5", "TabSheet6"};
  const std::array<QString, 2> pageCaptions{QStringLiteral("直式"), QStringLiteral("橫式")};
  const std::array<const char*, 2> listNames{"StringGrid1", "StringGrid3"};
  for (int list = kVertical; list <= kHorizontal; ++list) {
    auto* page = new QWidget;
    page->setObjectName(pageNames[list]);
    auto* grid = form::Place(new QTableWidget(kBackgroundSlotCount, 2, page), listNames[list],
                             {0, 0, 598, 228});
    auto* fill = new QVBoxLayout(page);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(grid);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setColumnWidth(0, 38);
    grid->setColumnWidth(1, 540);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
      grid->setItem(slot, 0, readOnlyItem(QString::number(slot)));
      grid->setItem(slot, 1, readOnlyItem(QString()));
    }
    grid->viewport()->installEventFilter(this);
    grid->viewport()->setAcceptDrops(true);
    m_lists[list] = grid;
    m_listPages->addTab(page, pageCaptions[list]);
    const auto which = static_cast<List>(list);
    connect(grid, &QTableWidget::cellClicked, this, [this, which](int row, int) {
      YVclCtrl::RunReportingExceptions([this, which, row] { rowClicked(which, row); });
    });
    connect(grid, &QTableWidget::cellDoubleClicked, this, [this, which](int row, int) {
      YVclCtrl::RunReportingExceptions([this, which, row] { rowDoubleClicked(which, row); });
    });
    new SlotKeys(
        grid, [this, which] { emptySelectedRow(which); },
        [this, which, grid] { rowDoubleClicked(which, grid->currentRow()); });
  }
  m_listPages->setCurrentIndex(kHorizontal);
  setHeadings(m_studio.language());
}

void BackgroundPage::buildArrangements() {
  auto* group = form::Group(this, "GroupBox6", QString(), {8, 300, 420, 118});
  auto* buttons = new QButtonGroup(this);
  const std::array<const char*, 4> names{"RadioButton21", "RadioButton22", "RadioButton23",
                                         "RadioButton24"};
  for (int i = 0; i < 4; ++i) {
    const int left = 8 + i * 102;
    m_arrangements[i] =
        form::Radio(group, names[i], QStringLiteral("佈置 %1").arg(i + 1), {left, 16, 98, 24});
    buttons->addButton(m_arrangements[i]);
    auto* sample = new PictureBox(group);
    sample->setObjectName(QStringLiteral("Arrangement%1Sample").arg(i + 1));
    const QImage picture = arrangementSample(kArrangementButtonLayouts[i]);
    sample->setGeometry(left + 18, 40, picture.width(), picture.height());
    sample->setPicture(picture);
  }
  m_arrangements[1]->setChecked(true);
  for (int i = 0; i < 4; ++i) {
    connect(m_arrangements[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) {
        SelectLayout(m_studio.project(), kArrangementButtonLayouts[i]);
        emit arrangementChanged();
      }
    });
  }
}

void BackgroundPage::buildSlideShow() {
  m_slideShowGroup =
      form::Group(this, "GroupBox4", QStringLiteral("自動背景圖輪播"), {436, 300, 176, 118});
  m_inTurn =
      form::Radio(m_slideShowGroup, "RadioButton19", QStringLiteral("自動輪播"), {8, 18, 160, 22});
  m_interval = form::Combo(m_slideShowGroup, "ComboBox1",
                           form::NumberItems(1, kSlideshowIntervalCount), {28, 42, 64, 24});
  form::Label(m_slideShowGroup, "Label2", QStringLiteral("(秒)"), {98, 45, 60, 20});
  m_perFloor =
      form::Radio(m_slideShowGroup, "RadioButton20", QStringLiteral("樓層指定"), {8, 68, 160, 22});
  m_fixed = form::Radio(m_slideShowGroup, "RadioButton28", QStringLiteral("固定背景圖編號0"),
                        {8, 92, 160, 22});
  m_inTurn->setChecked(true);
  connect(m_inTurn, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().AUTOSLIDESHOW = kSlideshowInTurn;
      m_interval->setEnabled(true);
    }
  });
  connect(m_perFloor, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().AUTOSLIDESHOW = kSlideshowPerFloor;
      m_interval->setEnabled(false);
    }
  });
  connect(m_fixed, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().AUTOSLIDESHOW = kSlideshowFixedPicture0;
    }
  });
  connect(m_interval, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) {
      m_studio.project().SLIDESHOWTIMEGAP = index;
    }
  });
}

void BackgroundPage::setHeadings(unsigned lang) {
  const auto headings = BackgroundListHeadings(lang);
  for (QTableWidget* grid : m_lists) {
    grid->setHorizontalHeaderLabels(
        {QString::fromUtf8(headings[0].data(), static_cast<qsizetype>(headings[0].size())),
         QString::fromUtf8(headings[1].data(), static_cast<qsizetype>(headings[1].size()))});
  }
}

void BackgroundPage::refresh() {
  const Project& project = m_studio.project();
  for (int list = kVertical; list <= kHorizontal; ++list) {
    for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
      showSlot(static_cast<List>(list), slot);
    }
  }
  m_useBackground->setChecked(project.USE_BACKGROUNDBMP != 0);
  for (int i = 0; i < 4; ++i) {
    if (kArrangementButtonLayouts[i] == (project.Layout & 0xF0)) {
      m_arrangements[i]->setChecked(true);
    }
  }
  switch (project.AUTOSLIDESHOW) {
    case kSlideshowPerFloor:
      m_perFloor->setChecked(true);
      break;
    case kSlideshowFixedPicture0:
      m_fixed->setChecked(true);
      break;
    default:
      m_inTurn->setChecked(true);
      break;
  }
  if (project.SLIDESHOWTIMEGAP >= 0 && project.SLIDESHOWTIMEGAP < kSlideshowIntervalCount) {
    m_interval->setCurrentIndex(project.SLIDESHOWTIMEGAP);
  }
  showBackgroundColour();
}

void BackgroundPage::showBackgroundColour() {
  const QColor colour = ToQColor(m_studio.project().BKG_COLOR);
  QPalette palette = this->palette();
  // The disabled colours stay the style's, so that the button looks disabled when it is.
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::ButtonText, colour);
    palette.setColor(group, QPalette::Button, ContrastingBackground(colour));
  }
  m_colourButton->setPalette(palette);
}

void BackgroundPage::showPreview(bool shown) {
  m_preview->setVisible(shown);
  m_studio.window().BackgroundPreviewShown = shown;
}

std::array<std::string, kBackgroundSlotCount>& BackgroundPage::slotPaths(List list) {
  Project& project = m_studio.project();
  return list == kVertical ? project.UserBkGndImage : project.UserBkGndImage2;
}

void BackgroundPage::showSlot(List list, int slot) {
  m_lists[list]->item(slot, 1)->setText(DisplayPath(slotPaths(list)[slot]));
}

void BackgroundPage::rowClicked(List list, int row) {
  if (row < 0 || row >= kBackgroundSlotCount) {
    return;
  }
  m_preview->resize(list == kVertical ? QSize(180, 240) : QSize(240, 180));
  const std::string& path = slotPaths(list)[row];
  if (IsBlank(path)) {
    showPreview(false);
    return;
  }
  const std::string file = PictureFileOf(m_studio.project(), path);
  ShowPicture(*m_preview, file, m_studio.programDir());
  emit backgroundPictureShown(file);
  showPreview(true);
}

void BackgroundPage::rowDoubleClicked(List list, int row) {
  if (row < 0 || row >= kBackgroundSlotCount) {
    return;
  }
  const std::string& path = slotPaths(list)[row];
  const std::string folder = CatalogueFolderPath(
      m_studio.programDir(), list == kVertical ? CatalogueFolder::kVerticalBackground
                                               : CatalogueFolder::kHorizontalBackground);
  const auto chosen =
      ChoosePicture(m_studio.host(), m_studio.language(), folder,
                    IsBlank(path) ? std::string() : PictureFileOf(m_studio.project(), path));
  if (chosen) {
    takeIntoRow(list, row, *chosen);
  }
}

void BackgroundPage::takeIntoRow(List list, int row, const std::string& path) {
  const PictureSlot slot =
      list == kVertical ? PictureSlot::kBackgroundVertical : PictureSlot::kBackgroundHorizontal;
  const auto taken = TakePicture(m_studio, path, slot, this);
  std::string& entry = slotPaths(list)[row];
  if (taken && *taken != entry) {
    entry = *taken;
    showSlot(list, row);
  }
}

bool BackgroundPage::dragEvent(List list, QEvent* event) {
  auto* drag = static_cast<QDropEvent*>(event);
  const int row = m_lists[list]->indexAt(drag->position().toPoint()).row();
  const std::vector<std::string> files = DroppedFiles(drag->mimeData());
  if (row < 0 || files.empty() || !m_lists[list]->isEnabled()) {
    drag->ignore();
    return true;
  }
  drag->acceptProposedAction();
  if (event->type() == QEvent::Drop) {
    // The drop is answered first: the offer to fit a picture must not hold the drag up.
    QTimer::singleShot(0, this, [this, list, row, files] {
      YVclCtrl::RunReportingExceptions([&] { takeDropped(list, row, files); });
    });
  }
  return true;
}

void BackgroundPage::takeDropped(List list, int row, const std::vector<std::string>& files) {
  for (std::size_t i = 0; i < files.size() && row + static_cast<int>(i) < kBackgroundSlotCount;
       ++i) {
    takeIntoRow(list, row + static_cast<int>(i), files[i]);
  }
}

void BackgroundPage::emptySelectedRow(List list) {
  const int row = m_lists[list]->currentRow();
  if (row < 0 || row >= kBackgroundSlotCount) {
    return;
  }
  slotPaths(list)[row].clear();
  showSlot(list, row);
}

bool BackgroundPage::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
    for (int list = kVertical; list <= kHorizontal; ++list) {
      if (watched == m_lists[list]->viewport()) {
        return dragEvent(static_cast<List>(list), event);
      }
    }
  }
  if (event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    for (int list = kVertical; list <= kHorizontal; ++list) {
      if (watched == m_lists[list]->viewport()) {
        // The row that is selected is emptied, whichever row lies under the pointer.
        if (m_lists[list]->isEnabled()) {
          emptySelectedRow(static_cast<List>(list));
        }
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void BackgroundPage::CheckBox2Click(bool on) {
  m_studio.project().USE_BACKGROUNDBMP = on ? 1 : 0;
  enableBackgroundControls(on);
  emit previewChanged();
}

void BackgroundPage::enableBackgroundControls(bool on) {
  for (QTableWidget* grid : m_lists) {
    grid->setEnabled(on);
  }
  m_slideShowGroup->setEnabled(on);
  m_colourButton->setEnabled(!on);
}

void BackgroundPage::SpeedButton5Click() {
  Project& project = m_studio.project();
  if (const auto colour = m_studio.host().chooseColour(project.BKG_COLOR)) {
    project.BKG_COLOR = *colour;
  }
  showBackgroundColour();
  emit backgroundColourChanged();
}

}  // namespace tvx
