#include "ui/window/style_page.h"

#include <QButtonGroup>
#include <QFont>
#include <QPushButton>
#include <QRadioButton>

#include "app/studio.h"
#include "project/catalogue.h"
#include "project/paths.h"
#include "ui/qt/colours.h"
#include "ui/qt/display_text.h"
#include "ui/qt/report_exceptions.h"
#include "ui/window/choose_picture.h"
#include "ui/window/picture_box.h"
#include "ui/window/widget_factory.h"

namespace tvx {

namespace {

// Left to right, the controls of slots 1..5 as the design names them.
constexpr std::array<const char*, kStyleSlotCount> kFloorButtonNames{
    "RadioButton2", "RadioButton3", "RadioButton4", "RadioButton5", "RadioButton1"};
constexpr std::array<const char*, kStyleSlotCount> kFloorPreviewNames{"Image2", "Image3", "Image4",
                                                                      "Image5", "Image1"};
constexpr std::array<const char*, kStyleSlotCount> kArrowButtonNames{
    "RadioButton6", "RadioButton7", "RadioButton8", "RadioButton9", "RadioButton10"};
constexpr std::array<const char*, kStyleSlotCount> kArrowPreviewNames{"Image6", "Image10", "Image8",
                                                                      "Image7", "Image9"};

constexpr int kColumnWidth = 136;
constexpr int kSideColumnLeft = 688;
constexpr int kSideColumnWidth = 177;

void setTextColour(QWidget* control, const QColor& colour, bool contrast) {
  QPalette palette = control->parentWidget()->palette();
  // The disabled colours stay the style's, so that the control looks disabled when it is.
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, colour);
    palette.setColor(group, QPalette::ButtonText, colour);
    if (contrast) {
      palette.setColor(group, QPalette::Window, ContrastingBackground(colour));
      palette.setColor(group, QPalette::Button, ContrastingBackground(colour));
    }
  }
  control->setBackgroundRole(QPalette::Window);
  control->setAutoFillBackground(contrast);
  control->setPalette(palette);
}

}  // namespace

StylePage::StylePage(Studio& studio, QWidget* parent) : QWidget(parent), m_studio(studio) {
  setObjectName("TabSheet1");
  buildStyleRows();
  buildDateTimeGroups();
  buildArrivalBlink();
  // The cover over the date and time groups, for protocols without a clock.
  QFrame* cover = form::Panel(this, "Panel9", {kSideColumnLeft, 8, kSideColumnWidth, 284});
  cover->setFrameShape(QFrame::NoFrame);
  cover->setAutoFillBackground(true);
  cover->raise();
}

void StylePage::buildStyleRows() {
  auto* floorGroup = new QButtonGroup(this);
  auto* arrowGroup = new QButtonGroup(this);
  for (int i = 0; i < kStyleSlotCount; ++i) {
    const int left = 8 + i * kColumnWidth;
    const int slot = i + 1;
    m_floorButtons[i] =
        form::Radio(this, kFloorButtonNames[i], QStringLiteral("樓層樣式 %1").arg(i),
                    {left, 8, kColumnWidth - 8, 24});
    floorGroup->addButton(m_floorButtons[i]);
    m_floorButtons[i]->setChecked(i == 0);
    m_floorPreviews[i] =
        form::Place(new PictureBox(this), kFloorPreviewNames[i], {left + 8, 36, 100, 124});
    m_floorPreviews[i]->setScaling(PictureBox::Scaling::Proportional);
    m_arrowButtons[i] =
        form::Radio(this, kArrowButtonNames[i], QStringLiteral("方向樣式 %1").arg(i),
                    {left, 176, kColumnWidth - 8, 24});
    arrowGroup->addButton(m_arrowButtons[i]);
    m_arrowButtons[i]->setChecked(i == 0);
    m_arrowPreviews[i] =
        form::Place(new PictureBox(this), kArrowPreviewNames[i], {left + 8, 204, 100, 124});

    connect(m_floorButtons[i], &QRadioButton::toggled, this, [this, slot](bool on) {
      if (on) {
        floorStyleSelected(slot);
      }
    });
    connect(m_arrowButtons[i], &QRadioButton::toggled, this, [this, slot](bool on) {
      if (on) {
        m_studio.project().DIR_STYLE = slot;
        emit previewChanged();
      }
    });
    connect(m_floorPreviews[i], &PictureBox::doubleClicked, this, [this, slot] {
      YVclCtrl::RunReportingExceptions([this, slot] { chooseFloorStyleFolder(slot); });
    });
    connect(m_arrowPreviews[i], &PictureBox::doubleClicked, this, [this, slot] {
      YVclCtrl::RunReportingExceptions([this, slot] { chooseArrowStyleFolder(slot); });
    });
  }
}

void StylePage::buildDateTimeGroups() {
  auto* display = form::Group(this, "GroupBox3", QStringLiteral("日期時間顯示"),
                              {kSideColumnLeft, 8, kSideColumnWidth, 56});
  m_dateTimeOn = form::Radio(display, "RadioButton17", QStringLiteral("開啟"), {10, 26, 76, 22});
  m_dateTimeOff = form::Radio(display, "RadioButton18", QStringLiteral("關閉"), {92, 26, 76, 22});
  m_dateTimeOff->setChecked(true);
  connect(m_dateTimeOn, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      dateTimeDisplaySwitched(true);
    }
  });
  connect(m_dateTimeOff, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      dateTimeDisplaySwitched(false);
    }
  });

  m_dateStyleGroup = form::Group(this, "GroupBox1", QStringLiteral("日期顯示格式"),
                                 {kSideColumnLeft, 70, kSideColumnWidth, 112});
  m_dateStyles[0] =
      form::Radio(m_dateStyleGroup, "RadioButton11", "YYYY / MM / DD", {10, 24, 160, 22});
  m_dateStyles[1] =
      form::Radio(m_dateStyleGroup, "RadioButton12", "DD MMM YYYY", {10, 50, 160, 22});
  m_dateStyles[2] = form::Radio(m_dateStyleGroup, "RadioButton13", "", {10, 78, 22, 22});
  m_dateStyleSample = form::Place(new PictureBox(m_dateStyleGroup), "Image12", {34, 77, 132, 24});
  ShowPicture(*m_dateStyleSample, "GUI_Widget_SE/day-type3_240x40.bmp", m_studio.programDir());
  // Design defaults are set before the handlers are bound: they must not write the project.
  m_dateStyles[0]->setChecked(true);
  for (int style = 0; style < 3; ++style) {
    connect(m_dateStyles[style], &QRadioButton::toggled, this, [this, style](bool on) {
      if (on) {
        m_studio.project().DATE_STYLE = style;
        emit previewChanged();
      }
    });
  }
  m_dateStyleGroup->setEnabled(false);

  m_weekGroup = form::Group(this, "GroupBox2", QStringLiteral("星期顯示格式"),
                            {kSideColumnLeft, 188, kSideColumnWidth, 100});
  m_languageButton = form::Button(m_weekGroup, "SpeedButton6", "EN", {10, 24, 100, 64});
  m_languageButton->setFlat(true);
  QFont large = m_languageButton->font();
  large.setPointSize(20);
  large.setBold(true);
  m_languageButton->setFont(large);
  m_clockColourButton = form::Button(m_weekGroup, "SpeedButton7", "", {118, 24, 48, 32});
  m_clockColourButton->hide();
  m_weekGroup->setEnabled(false);
  connect(m_languageButton, &QPushButton::clicked, this,
          [this] { YVclCtrl::RunReportingExceptions([this] { SpeedButton6Click(); }); });
  connect(m_clockColourButton, &QPushButton::clicked, this,
          [this] { YVclCtrl::RunReportingExceptions([this] { SpeedButton7Click(); }); });
}

void StylePage::buildArrivalBlink() {
  QFrame* panel = form::Panel(this, "Panel12", {kSideColumnLeft, 296, kSideColumnWidth, 84});
  auto* group = form::Group(panel, "GroupBox10", QStringLiteral("到樓閃爍"),
                            {4, 4, kSideColumnWidth - 8, 74});
  m_blinkFloor = form::Radio(group, "RadioButton16", QStringLiteral("樓層"), {10, 24, 150, 22});
  m_blinkArrow = form::Radio(group, "RadioButton27", QStringLiteral("方向箭頭"), {10, 48, 150, 22});
  m_blinkFloor->setChecked(true);
  connect(m_blinkFloor, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().ARRIVALBLINK = 0;
    }
  });
  connect(m_blinkArrow, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().ARRIVALBLINK = 1;
    }
  });
  panel->hide();
}

void StylePage::refresh() {
  const Project& project = m_studio.project();
  if (project.FL_STYLE >= 1 && project.FL_STYLE <= kStyleSlotCount) {
    m_floorButtons[project.FL_STYLE - 1]->setChecked(true);
  }
  if (project.DIR_STYLE >= 1 && project.DIR_STYLE <= kStyleSlotCount) {
    m_arrowButtons[project.DIR_STYLE - 1]->setChecked(true);
  }
  (project.USE_DATETIME != 0 ? m_dateTimeOn : m_dateTimeOff)->setChecked(true);
  if (project.DATE_STYLE >= 0 && project.DATE_STYLE < 3) {
    m_dateStyles[project.DATE_STYLE]->setChecked(true);
  }
  (project.ARRIVALBLINK != 0 ? m_blinkArrow : m_blinkFloor)->setChecked(true);
  showDateTimeLanguage();
  colourFloorStyleCaptions();
  loadStylePreviews();
}

void StylePage::loadStylePreviews() {
  const Project& project = m_studio.project();
  const std::string& home = m_studio.programDir();
  for (int i = 0; i < kStyleSlotCount; ++i) {
    ShowPicture(*m_floorPreviews[i], FloorStylePreviewPath(home, project.FLS_DIR[i]), home);
    ShowPicture(*m_arrowPreviews[i], ArrowStylePreviewPath(home, project.DIRS_DIR[i]), home);
  }
}

void StylePage::floorStyleSelected(int slot) {
  m_studio.project().FL_STYLE = slot;
  colourFloorStyleCaptions();
  emit previewChanged();
}

void StylePage::colourFloorStyleCaptions() {
  const int selected = m_studio.project().FL_STYLE;
  const QColor colour = ToQColor(m_studio.project().FL_COLOR);
  for (int i = 0; i < kStyleSlotCount; ++i) {
    // The design draws the caption in the floor colour; a white caption gets a dark backing.
    const bool isSelected = i + 1 == selected;
    setTextColour(m_floorButtons[i], isSelected ? colour : QColor(Qt::black), isSelected);
  }
}

void StylePage::chooseFloorStyleFolder(int slot) {
  const std::string& home = m_studio.programDir();
  const auto path = ChoosePicture(m_studio.host(), m_studio.language(),
                                  CatalogueFolderPath(home, CatalogueFolder::kFloorStyles));
  if (!path || IsBlank(*path)) {
    return;
  }
  Project& project = m_studio.project();
  project.FLS_DIR[slot - 1] = StyleFolderFromPickedFile(*path, slot - 1);
  ShowPicture(*m_floorPreviews[slot - 1], FloorStylePreviewPath(home, project.FLS_DIR[slot - 1]),
              home);
  if (project.FL_STYLE == slot) {
    if (const auto colour = m_studio.host().chooseColour(project.FL_COLOR)) {
      project.FL_COLOR = *colour;
    }
    colourFloorStyleCaptions();
  }
}

void StylePage::chooseArrowStyleFolder(int slot) {
  const std::string& home = m_studio.programDir();
  const auto path = ChoosePicture(m_studio.host(), m_studio.language(),
                                  CatalogueFolderPath(home, CatalogueFolder::kArrowStyles));
  if (!path || IsBlank(*path)) {
    return;
  }
  Project& project = m_studio.project();
  project.DIRS_DIR[slot - 1] = StyleFolderFromPickedFile(*path, slot - 1);
  ShowPicture(*m_arrowPreviews[slot - 1], ArrowStylePreviewPath(home, project.DIRS_DIR[slot - 1]),
              home);
}

void StylePage::dateTimeDisplaySwitched(bool on) {
  m_studio.project().USE_DATETIME = on ? 1 : 0;
  m_dateStyleGroup->setEnabled(on);
  m_weekGroup->setEnabled(on);
  emit dateTimeDisplayChanged(on);
}

void StylePage::SpeedButton6Click() {
  for (QRadioButton* style : m_dateStyles) {
    style->setEnabled(true);
  }
  const std::string& home = m_studio.programDir();
  const auto path = ChoosePicture(m_studio.host(), m_studio.language(),
                                  CatalogueFolderPath(home, CatalogueFolder::kDateTime));
  if (!path) {
    return;
  }
  m_studio.project().DateTimeLanguage = DateTimeLanguageFromPickedFile(*path);
  showDateTimeLanguage();
  emit previewChanged();
}

void StylePage::SpeedButton7Click() {
  Project& project = m_studio.project();
  if (const auto colour = m_studio.host().chooseColour(project.CLOCK_COLOR)) {
    project.CLOCK_COLOR = *colour;
  }
  setTextColour(m_languageButton, ToQColor(project.CLOCK_COLOR), true);
}

void StylePage::showDateTimeLanguage() {
  m_languageButton->setText(DisplayText(m_studio.project().DateTimeLanguage));
}

}  // namespace tvx
