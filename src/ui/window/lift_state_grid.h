#pragma once

#include <QTableWidget>
#include <string>
#include <vector>

#include "project/project.h"

namespace tvx {

// The lift-state picture grid (DrawGrid1): ten message rows by the four picture columns A..D,
// each cell showing its picture stretched to the cell, empty when there is none or it cannot
// be read. Local files dropped on a cell are reported with the cell.
class LiftStateGrid : public QTableWidget {
  Q_OBJECT

 public:
  static constexpr int kCellWidth = 136;
  static constexpr int kCellHeight = 36;

  explicit LiftStateGrid(QWidget* parent = nullptr);

  // Shows the picture of one cell (row = message, column = A..D) from its path.
  void showCell(int row, int column, const std::string& path);
  void showAll(const PathTable& table);
  // Whether a cell shows a picture.
  bool cellHasPicture(int row, int column) const;

 signals:
  void filesDropped(int row, int column, const std::vector<std::string>& files);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace tvx
