#pragma once

#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "project/project.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace tvx {

class PictureBox;
class Studio;

// Page 2 "背景" (TabSheet2): whether background pictures are used, the background colour, the
// vertical and horizontal background lists, the screen arrangement and the slide show. Picture
// files dropped on a list fill its rows from the one they land on.
class BackgroundPage : public QWidget {
  Q_OBJECT

 public:
  BackgroundPage(Studio& studio, QWidget* parent = nullptr);

  void refresh();
  // Headings of the lists in the language of the settings.
  void setHeadings(unsigned lang);
  // The background colour button's text in BKG_COLOR.
  void showBackgroundColour();
  // Shows or hides the picture preview (Image11) as the window state says.
  void showPreview(bool shown);

  QTableWidget* verticalList() const { return m_lists[0]; }
  QTableWidget* horizontalList() const { return m_lists[1]; }

 signals:
  // The arrangement (and so maybe the orientation) changed.
  void arrangementChanged();
  void backgroundColourChanged();
  // A picture of a list was shown in the preview; the build page's screen shows it too.
  void backgroundPictureShown(const std::string& path);
  // The use of background pictures changed what the build page's preview shows.
  void previewChanged();

 private:
  enum List { kVertical = 0, kHorizontal = 1 };

  void buildLists();
  void buildArrangements();
  void buildSlideShow();
  bool eventFilter(QObject* watched, QEvent* event) override;

  std::array<std::string, kBackgroundSlotCount>& slotPaths(List list);
  void showSlot(List list, int slot);
  void rowClicked(List list, int row);
  void rowDoubleClicked(List list, int row);
  // A chosen or dropped picture for a row, as TakePicture lets it in.
  void takeIntoRow(List list, int row, const std::string& path);
  // Dropped files fill the rows from the one they were dropped on.
  bool dragEvent(List list, QEvent* event);
  void takeDropped(List list, int row, const std::vector<std::string>& files);
  void emptySelectedRow(List list);
  void CheckBox2Click(bool on);
  void enableBackgroundControls(bool on);
  void SpeedButton5Click();

  Studio& m_studio;
  QCheckBox* m_useBackground = nullptr;    // CheckBox2
  QPushButton* m_colourButton = nullptr;   // SpeedButton5
  QTabWidget* m_listPages = nullptr;       // PageControl2
  std::array<QTableWidget*, 2> m_lists{};  // StringGrid1, StringGrid3
  std::array<QRadioButton*, 4> m_arrangements{};
  QGroupBox* m_slideShowGroup = nullptr;  // GroupBox4
  QRadioButton* m_inTurn = nullptr;       // RadioButton19
  QRadioButton* m_perFloor = nullptr;     // RadioButton20
  QRadioButton* m_fixed = nullptr;        // RadioButton28
  QComboBox* m_interval = nullptr;        // ComboBox1
  QLabel* m_previewLabel = nullptr;       // Label1
  PictureBox* m_preview = nullptr;        // Image11
};

// The screen arrangements in the order of their buttons "佈置 1" .. "佈置 4".
inline constexpr std::array<int, 4> kArrangementButtonLayouts{
    kLayoutArrangement1, kLayoutArrangement2, kLayoutArrangement3, kLayoutArrangement4};

}  // namespace tvx
