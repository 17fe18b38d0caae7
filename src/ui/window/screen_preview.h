#pragma once

#include <QGroupBox>
#include <QRect>
#include <string>

#include "project/project.h"

class QFrame;
class QRadioButton;

namespace tvx {

class PictureBox;
class Studio;

// Where the build page's preview puts its pictures, in pixels on the page, for the project's
// orientation, variant and date and time display.
struct PreviewArrangement {
  QRect frame;
  QRect background;
  QRect arrow;
  QRect floor;
  QRect message;
  QRect time;
  QRect date;
  bool messageShown = true;
  bool clockShown = false;     // time and date
  bool variantsShown = false;  // the variant buttons (horizontal screens only)
};

PreviewArrangement ArrangePreview(int dispTypeHv, int layoutVariant, bool dateTimeOn);

// The sample pictures the preview shows, relative to the program home.
struct PreviewSamples {
  std::string arrow;
  std::string floor;
  std::string date;
  std::string time;
  std::string message;
};

PreviewSamples SamplesForPreview(const Project& project);

// The screen preview of the build page (GroupBox5): the indicator's screen with its
// background (Image13) and, drawn over it, the arrow, floor, message, time and date samples;
// beside it the variant buttons of the horizontal arrangements (GroupBox8).
class ScreenPreview : public QGroupBox {
  Q_OBJECT

 public:
  ScreenPreview(Studio& studio, QWidget* parent = nullptr);

  // Arranges and loads the preview for the project as it is now.
  void ShowBuildPreview();
  // The plain background: BKG_COLOR over the screen's size.
  void fillBackground();
  // A background picture chosen on the background page.
  void showBackgroundPicture(const std::string& path);
  // Sets the variant buttons from the project.
  void refresh();

  PictureBox* background() const { return m_background; }

 private:
  PictureBox* overlay(const char* name, bool transparent);

  Studio& m_studio;
  QFrame* m_frame = nullptr;
  PictureBox* m_background = nullptr;  // Image13
  PictureBox* m_message = nullptr;
  PictureBox* m_arrow = nullptr;
  PictureBox* m_floor = nullptr;
  PictureBox* m_time = nullptr;
  PictureBox* m_date = nullptr;
  QGroupBox* m_variants = nullptr;     // GroupBox8
  QRadioButton* m_variant1 = nullptr;  // RadioButton25
  QRadioButton* m_variant2 = nullptr;  // RadioButton26
};

}  // namespace tvx
