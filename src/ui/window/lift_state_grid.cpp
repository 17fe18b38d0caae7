#include "ui/window/lift_state_grid.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include "project/paths.h"
#include "ui/qt/display_text.h"
#include "ui/window/dropped_files.h"
#include "ui/window/picture_box.h"

namespace tvx {

namespace {

// Draws a cell's picture over the whole cell, then the selection frame.
class StretchedPictureDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QImage picture = index.data(Qt::UserRole).value<QImage>();
    if (!picture.isNull()) {
      painter->drawImage(option.rect, picture);
    }
    if (option.state & QStyle::State_Selected) {
      painter->save();
      QPen pen(option.palette.highlight().color(), 2);
      painter->setPen(pen);
      painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
      painter->restore();
    }
  }
};

}  // namespace

LiftStateGrid::LiftStateGrid(QWidget* parent)
    : QTableWidget(kLiftStateRowCount, kLiftStateColumnCount, parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultSectionSize(kCellWidth);
  verticalHeader()->setDefaultSectionSize(kCellHeight);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setShowGrid(true);
  setItemDelegate(new StretchedPictureDelegate(this));
  setStyleSheet("QTableWidget { background: black; gridline-color: #505050; }");
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      auto* item = new QTableWidgetItem;
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      setItem(row, column, item);
    }
  }
}

void LiftStateGrid::showCell(int row, int column, const std::string& path) {
  QImage picture;
  if (!IsBlank(path)) {
    picture = LoadPicture(path);
  }
  item(row, column)->setData(Qt::UserRole, picture);
  item(row, column)->setToolTip(DisplayPath(FileNameOf(path)));
}

void LiftStateGrid::showAll(const PathTable& table) {
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      showCell(row, column, table[row][column]);
    }
  }
}

bool LiftStateGrid::cellHasPicture(int row, int column) const {
  return !item(row, column)->data(Qt::UserRole).value<QImage>().isNull();
}

void LiftStateGrid::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).empty()) {
    event->acceptProposedAction();
  }
}

void LiftStateGrid::dragMoveEvent(QDragMoveEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void LiftStateGrid::dropEvent(QDropEvent* event) {
  const QModelIndex cell = indexAt(event->position().toPoint());
  const std::vector<std::string> files = DroppedFiles(event->mimeData());
  if (!cell.isValid() || files.empty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  emit filesDropped(cell.row(), cell.column(), files);
}

}  // namespace tvx
