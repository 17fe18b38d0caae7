#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "project/project.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace tvx {

class LiftStateGrid;
class PictureBox;
class Studio;

// Page 3 "編碼表" (TabSheet3): the floor code table with its editable display texts and
// background numbers, the lift-state picture grid with the column check boxes, the message
// input lists and the floor background preview.
class CodeTablePage : public QWidget {
  Q_OBJECT

 public:
  // Columns of the floor code table.
  enum Column { kKeyColumn = 0, kCodeColumn = 1, kDisplayColumn = 2, kBackgroundColumn = 3 };

  CodeTablePage(Studio& studio, QWidget* parent = nullptr);

  void refresh();
  void setHeadings(unsigned lang);
  // Shows or hides the floor background preview panel (Panel3).
  void showFloorBackgroundPanel(bool shown);

  QTableWidget* floorTable() const { return m_floorTable; }
  LiftStateGrid* liftStateGrid() const { return m_liftStates; }

 private:
  void buildFloorTable();
  void buildLiftStates();
  void buildFloorBackgroundPanel();

  void floorCellEdited(QTableWidgetItem* item);
  void StringGrid2DblClick();
  void DrawGrid1DblClick(int row, int column);
  void emptySelectedCell();
  // A chosen or dropped picture for a lift-state cell, as TakePicture lets it in.
  void takeIntoCell(int row, int column, const std::string& path);

  Studio& m_studio;
  QTableWidget* m_floorTable = nullptr;                           // StringGrid2
  LiftStateGrid* m_liftStates = nullptr;                          // DrawGrid1
  std::array<QCheckBox*, kLiftStateColumnCount> m_columnBoxes{};  // CheckBox3..6
  std::array<QComboBox*, kLiftStateRowCount> m_inputLists{};      // MsgCb1..10
  QFrame* m_floorBackgroundPanel = nullptr;                       // Panel3
  PictureBox* m_floorBackground = nullptr;                        // Image23
  bool m_refreshing = false;
};

}  // namespace tvx
