#pragma once

#include <QWidget>
#include <array>

#include "project/project.h"

class QGroupBox;
class QPushButton;
class QRadioButton;
class QFrame;

namespace tvx {

class PictureBox;
class Studio;

// Page 1 "樣式" (TabSheet1): floor digit and arrow styles with their previews, the date and
// time display with its formats and language, and the arrival blink. The controls edit the
// project; refresh() sets them from it.
class StylePage : public QWidget {
  Q_OBJECT

 public:
  StylePage(Studio& studio, QWidget* parent = nullptr);

  void refresh();
  // Reloads the ten style previews from the project's folder names.
  void loadStylePreviews();

  // Slot n = 1..5 of the floor and arrow styles.
  QRadioButton* floorStyleButton(int slot) const { return m_floorButtons[slot - 1]; }
  QRadioButton* arrowStyleButton(int slot) const { return m_arrowButtons[slot - 1]; }
  PictureBox* floorStylePreview(int slot) const { return m_floorPreviews[slot - 1]; }
  PictureBox* arrowStylePreview(int slot) const { return m_arrowPreviews[slot - 1]; }

 signals:
  // "開啟" / "關閉" of the date and time display.
  void dateTimeDisplayChanged(bool on);
  // A style or the date format changed what the build page's preview shows.
  void previewChanged();

 private:
  void buildStyleRows();
  void buildDateTimeGroups();
  void buildArrivalBlink();

  void floorStyleSelected(int slot);
  void colourFloorStyleCaptions();
  void chooseFloorStyleFolder(int slot);
  void chooseArrowStyleFolder(int slot);
  void dateTimeDisplaySwitched(bool on);
  void SpeedButton6Click();
  void SpeedButton7Click();
  void showDateTimeLanguage();

  Studio& m_studio;
  std::array<QRadioButton*, kStyleSlotCount> m_floorButtons{};
  std::array<QRadioButton*, kStyleSlotCount> m_arrowButtons{};
  std::array<PictureBox*, kStyleSlotCount> m_floorPreviews{};
  std::array<PictureBox*, kStyleSlotCount> m_arrowPreviews{};
  QGroupBox* m_dateStyleGroup = nullptr;  // GroupBox1
  QGroupBox* m_weekGroup = nullptr;       // GroupBox2
  QRadioButton* m_dateTimeOn = nullptr;   // RadioButton17
  QRadioButton* m_dateTimeOff = nullptr;  // RadioButton18
  std::array<QRadioButton*, 3> m_dateStyles{};
  PictureBox* m_dateStyleSample = nullptr;
  QPushButton* m_languageButton = nullptr;     // SpeedButton6
  QPushButton* m_clockColourButton = nullptr;  // SpeedButton7
  QRadioButton* m_blinkFloor = nullptr;        // RadioButton16
  QRadioButton* m_blinkArrow = nullptr;        // RadioButton27
};

}  // namespace tvx
