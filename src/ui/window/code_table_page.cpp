#include "ui/window/code_table_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "app/studio.h"
#include "project/catalogue.h"
#include "project/choices.h"
#include "project/paths.h"
#include "project/picture_lookup.h"
#include "project/project_file.h"
#include "ui/qt/display_text.h"
#include "ui/qt/report_exceptions.h"
#include "ui/window/choose_picture.h"
#include "ui/window/lift_state_grid.h"
#include "ui/window/picture_box.h"
#include "ui/window/slot_keys.h"
#include "ui/window/take_picture.h"
#include "ui/window/widget_factory.h"
#include "util/str_to_int.h"

namespace tvx {

namespace {

// The floor code table's background numbers: up to three decimal digits.
class BackgroundNumberDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), line));
    }
    return editor;
  }
};

QString fromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kGridLeft = 244;
constexpr int kGridTop = 44;

}  // namespace

CodeTablePage::CodeTablePage(Studio& studio, QWidget* parent) : QWidget(parent), m_studio(studio) {
  setObjectName("TabSheet3");
  buildFloorTable();
  buildLiftStates();
  buildFloorBackgroundPanel();
}

void CodeTablePage::buildFloorTable() {
  m_floorTable =
      form::Place(new QTableWidget(kFloorCodeCount, 4, this), "StringGrid2", {8, 8, 232, 410});
  m_floorTable->verticalHeader()->hide();
  m_floorTable->verticalHeader()->setDefaultSectionSize(20);
  m_floorTable->setColumnHidden(kKeyColumn, true);
  m_floorTable->setColumnWidth(kCodeColumn, 48);
  m_floorTable->setColumnWidth(kDisplayColumn, 76);
  m_floorTable->setColumnWidth(kBackgroundColumn, 84);
  m_floorTable->setSelectionMode(QAbstractItemView::SingleSelection);
  m_floorTable->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
  m_floorTable->setItemDelegateForColumn(kBackgroundColumn,
                                         new BackgroundNumberDelegate(m_floorTable));
  for (int code = 0; code < kFloorCodeCount; ++code) {
    const QString name = QString::fromStdString(FloorCodeName(code));
    for (int column : {kKeyColumn, kCodeColumn}) {
      auto* fixed = new QTableWidgetItem(name);
      fixed->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      m_floorTable->setItem(code, column, fixed);
    }
    m_floorTable->setItem(code, kDisplayColumn, new QTableWidgetItem);
    m_floorTable->setItem(code, kBackgroundColumn, new QTableWidgetItem);
  }
  setHeadings(m_studio.language());
  connect(m_floorTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    YVclCtrl::RunReportingExceptions([this, item] { floorCellEdited(item); });
  });
  connect(m_floorTable, &QTableWidget::cellDoubleClicked, this,
          [this] { YVclCtrl::RunReportingExceptions([this] { StringGrid2DblClick(); }); });
  // F2 edits as the table's own key; Enter edits too, Delete empties the cell.
  new SlotKeys(
      m_floorTable,
      [this] {
        QTableWidgetItem* item = m_floorTable->currentItem();
        if (item != nullptr && (item->flags() & Qt::ItemIsEditable)) {
          item->setText(QString());
        }
      },
      [this] { m_floorTable->edit(m_floorTable->currentIndex()); });
}

void CodeTablePage::buildLiftStates() {
  auto* group = form::Group(this, "GroupBox7", QString(), {kGridLeft, 4, 556, 414});
  const std::array<const char*, kLiftStateColumnCount> boxNames{"CheckBox3", "CheckBox4",
                                                                "CheckBox5", "CheckBox6"};
  const std::array<const char*, kLiftStateColumnCount> columnNames{"A", "B", "C", "D"};
  for (int column = 0; column < kLiftStateColumnCount; ++column) {
    m_columnBoxes[column] = form::Check(group, boxNames[column], columnNames[column],
                                        {6 + column * LiftStateGrid::kCellWidth + 54, 14, 60, 24});
    m_columnBoxes[column]->setChecked(column < 2);
    connect(m_columnBoxes[column], &QCheckBox::toggled, this, [this, column](bool on) {
      int& style = m_studio.project().MSG_STYLE;
      style = on ? (style | (1 << column)) : (style & ~(1 << column));
    });
  }
  m_liftStates = form::Place(new LiftStateGrid(group), "DrawGrid1",
                             {4, kGridTop - 4, 4 * LiftStateGrid::kCellWidth + 2,
                              kLiftStateRowCount * LiftStateGrid::kCellHeight + 2});
  connect(m_liftStates, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
    YVclCtrl::RunReportingExceptions([this, row, column] { DrawGrid1DblClick(row, column); });
  });
  new SlotKeys(
      m_liftStates, [this] { emptySelectedCell(); },
      [this] { DrawGrid1DblClick(m_liftStates->currentRow(), m_liftStates->currentColumn()); });
  // The drop is answered first: the offer to fit the picture must not hold the drag up.
  connect(m_liftStates, &LiftStateGrid::filesDropped, this,
          [this](int row, int column, const std::vector<std::string>& files) {
            QTimer::singleShot(0, this, [this, row, column, path = files.front()] {
              YVclCtrl::RunReportingExceptions(
                  [this, row, column, &path] { takeIntoCell(row, column, path); });
            });
          });

  QFrame* inputs = form::Panel(this, "Panel13", {kGridLeft + 558, kGridTop, 64, 364});
  inputs->setFrameShape(QFrame::NoFrame);
  QStringList choices;
  for (std::string_view choice : kLiftMsgInputChoices) {
    choices << fromView(choice);
  }
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    const QByteArray name = QStringLiteral("MsgCb%1").arg(row + 1).toLatin1();
    m_inputLists[row] = form::Combo(inputs, name.constData(), choices,
                                    {2, row * LiftStateGrid::kCellHeight + 6, 58, 26});
    connect(m_inputLists[row], &QComboBox::currentIndexChanged, this, [this, row](int index) {
      if (index >= 0) {
        m_studio.project().LiftMsgIdx[row] = index;
      }
    });
  }
  inputs->hide();
}

void CodeTablePage::buildFloorBackgroundPanel() {
  m_floorBackgroundPanel = form::Panel(this, "Panel3", {328, 64, 201, 313});
  m_floorBackgroundPanel->setAutoFillBackground(true);
  m_floorBackground =
      form::Place(new PictureBox(m_floorBackgroundPanel), "Image23", {4, 28, 193, 281});
  m_floorBackground->setScaling(PictureBox::Scaling::Proportional);
  // A tool button: a push button would be widened to the style's least width, its "X" beyond
  // the panel's edge.
  auto* close =
      form::Place(new QToolButton(m_floorBackgroundPanel), "SpeedButton4", {175, 2, 24, 24});
  close->setText("X");
  QPalette red = close->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    red.setColor(group, QPalette::ButtonText, Qt::red);
  }
  close->setPalette(red);
  QFont bold = close->font();
  bold.setBold(true);
  close->setFont(bold);
  connect(close, &QToolButton::clicked, this, [this] { showFloorBackgroundPanel(false); });
  m_floorBackgroundPanel->hide();
}

void CodeTablePage::setHeadings(unsigned lang) {
  const auto headings = FloorTableHeadings(lang);
  m_floorTable->setHorizontalHeaderLabels(
      {QString(), fromView(headings[0]), fromView(headings[1]), fromView(headings[2])});
}

void CodeTablePage::refresh() {
  const Project& project = m_studio.project();
  m_refreshing = true;
  for (int code = 0; code < kFloorCodeCount; ++code) {
    m_floorTable->item(code, kDisplayColumn)->setText(DisplayText(project.FloorTable[code]));
    m_floorTable->item(code, kBackgroundColumn)->setText(DisplayText(project.FloorBkgImage[code]));
  }
  m_refreshing = false;
  for (int column = 0; column < kLiftStateColumnCount; ++column) {
    m_columnBoxes[column]->setChecked((project.MSG_STYLE & (1 << column)) != 0);
  }
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    const int index = project.LiftMsgIdx[row];
    if (index >= 0 && index < static_cast<int>(kLiftMsgInputChoices.size())) {
      m_inputLists[row]->setCurrentIndex(index);
    }
  }
  PathTable files = project.LiftStateImage;
  for (auto& row : files) {
    for (std::string& cell : row) {
      cell = PictureFileOf(project, cell);
    }
  }
  m_liftStates->showAll(files);
}

void CodeTablePage::floorCellEdited(QTableWidgetItem* item) {
  if (m_refreshing) {
    return;
  }
  const int code = item->row();
  if (code < 0 || code >= kFloorCodeCount) {
    return;
  }
  Project& project = m_studio.project();
  if (item->column() == kDisplayColumn) {
    const std::optional<std::string> stored = StorageText(item->text());
    if (stored) {
      project.FloorTable[code] = *stored;
      return;
    }
    m_studio.host().showMessage(kProjectMessageCaption,
                                m_studio.language() == 0
                                    ? "The indicator can not show this text (Big5 has no "
                                      "character for part of it)."
                                    : "指示器無法顯示此文字 (Big5 無對應字元).");
    m_refreshing = true;
    item->setText(DisplayText(project.FloorTable[code]));
    m_refreshing = false;
  } else if (item->column() == kBackgroundColumn) {
    project.FloorBkgImage[code] = item->text().toStdString();
  }
}

void CodeTablePage::StringGrid2DblClick() {
  const int code = m_floorTable->currentRow();
  if (code < 0 || code >= kFloorCodeCount) {
    return;
  }
  const Project& project = m_studio.project();
  const std::string number = Trimmed(project.FloorBkgImage[code]);
  if (number.empty()) {
    m_floorBackground->hide();
    return;
  }
  // A number that is not one raises the conversion error; the panel stays as it was.
  const int slot = platform::StrToInt(number);
  m_floorBackgroundPanel->setGeometry(328, 64, 201, 313);
  showFloorBackgroundPanel(true);
  const bool exists = slot >= 0 && slot < kBackgroundSlotCount;
  if (exists && !IsBlank(project.UserBkGndImage[slot])) {
    ShowPicture(*m_floorBackground, PictureFileOf(project, project.UserBkGndImage[slot]),
                m_studio.programDir());
    m_floorBackground->show();
  } else {
    m_floorBackground->hide();
  }
}

void CodeTablePage::showFloorBackgroundPanel(bool shown) {
  m_floorBackgroundPanel->setVisible(shown);
  if (shown) {
    m_floorBackgroundPanel->raise();
  }
  m_studio.window().FloorBackgroundPreviewShown = shown;
}

void CodeTablePage::DrawGrid1DblClick(int row, int column) {
  if (row < 0 || row >= kLiftStateRowCount || column < 0 || column >= kLiftStateColumnCount) {
    return;
  }
  const auto chosen =
      ChoosePicture(m_studio.host(), m_studio.language(),
                    CatalogueFolderPath(m_studio.programDir(), CatalogueFolder::kLiftState));
  if (chosen) {
    takeIntoCell(row, column, *chosen);
  }
}

void CodeTablePage::emptySelectedCell() {
  const int row = m_liftStates->currentRow();
  const int column = m_liftStates->currentColumn();
  if (row < 0 || row >= kLiftStateRowCount || column < 0 || column >= kLiftStateColumnCount) {
    return;
  }
  m_studio.project().LiftStateImage[row][column].clear();
  m_liftStates->showCell(row, column, {});
}

void CodeTablePage::takeIntoCell(int row, int column, const std::string& path) {
  const auto taken = TakePicture(m_studio, path, PictureSlot::kMessage, this);
  std::string& entry = m_studio.project().LiftStateImage[row][column];
  if (taken && *taken != entry) {
    entry = *taken;
    m_liftStates->showCell(row, column, PictureFileOf(m_studio.project(), entry));
  }
}

}  // namespace tvx
