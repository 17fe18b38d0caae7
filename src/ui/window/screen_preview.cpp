#include "ui/window/screen_preview.h"

#include <QFrame>
#include <QRadioButton>
#include <array>

#include "app/studio.h"
#include "project/catalogue.h"
#include "project/paths.h"
#include "project/picture_lookup.h"
#include "ui/qt/colours.h"
#include "ui/window/picture_box.h"
#include "ui/window/widget_factory.h"

namespace tvx {

namespace {

constexpr const char* kSampleFolder = "GUI_Widget_SE/";
constexpr std::array<const char*, kStyleSlotCount> kFloorSamples{
    "Arial_8.BMP", "BorCard_8.BMP", "LiChiBlack_8.BMP", "LiSu_8.BMP", "Impact_8.BMP"};

int clampIndex(int value, int count) {
  return value < 0 ? 0 : (value >= count ? count - 1 : value);
}

}  // namespace

PreviewArrangement ArrangePreview(int dispTypeHv, int layoutVariant, bool dateTimeOn) {
  PreviewArrangement at;
  at.clockShown = dateTimeOn;
  if (dispTypeHv == 1) {
    at.frame = {72, 8, 241, 401};
    at.background = {82, 16, 218, 384};
    at.arrow = {134, 32, 109, 121};
    at.floor = {134, 192, 109, 92};
    // The message line makes room for the clock when the date and time are shown.
    at.messageShown = !dateTimeOn;
    at.message = {82, 328, 218, 39};
    at.time = {82, 314, 218, 30};
    at.date = {82, 350, 218, 30};
    at.variantsShown = false;
    return at;
  }
  const bool second = layoutVariant == 1;
  const int arrowLeft = second ? 258 : 26;
  at.frame = {0, 48, 401, 233};
  at.background = {8, 56, 384, 218};
  at.arrow = {arrowLeft, 72, 109, 121};
  at.floor = {second ? 70 : 222, 88, 109, 92};
  at.messageShown = true;
  at.message = {second ? 22 : 166, 228, 218, 39};
  at.time = {arrowLeft, 202, 111, 30};
  at.date = {arrowLeft, 238, 111, 30};
  at.variantsShown = true;
  return at;
}

PreviewSamples SamplesForPreview(const Project& project) {
  PreviewSamples samples;
  const std::string folder = kSampleFolder;
  samples.arrow = folder + "style" +
                  std::to_string(clampIndex(project.DIR_STYLE - 1, kStyleSlotCount)) + ".bmp";
  samples.floor = folder + kFloorSamples[clampIndex(project.FL_STYLE - 1, kStyleSlotCount)];
  samples.date =
      folder + "day-type" + std::to_string(clampIndex(project.DATE_STYLE, 3) + 1) + "_240x40.bmp";
  samples.time = folder + (project.DateTimeLanguage == "CHT" ? "time-type2_240x40.bmp"
                                                             : "time-type1_240x40.bmp");
  samples.message = std::string(kCatalogueFolderName) + "/LiftState/MAINTENANCE0_EG_240x48.bmp";
  return samples;
}

ScreenPreview::ScreenPreview(Studio& studio, QWidget* parent)
    : QGroupBox(parent), m_studio(studio) {
  setObjectName("GroupBox5");
  m_frame = form::Place(new QFrame(this), "PreviewFrame", {72, 8, 241, 401});
  m_frame->setFrameShape(QFrame::Box);
  m_frame->setLineWidth(2);
  m_frame->setStyleSheet(
      "QFrame#PreviewFrame { background: #202020; border: 3px solid #808080; "
      "border-radius: 4px; }");
  m_background = form::Place(new PictureBox(this), "Image13", {82, 16, 218, 384});
  m_message = overlay("PreviewMessage", false);
  m_arrow = overlay("PreviewArrow", true);
  m_floor = overlay("PreviewFloor", true);
  m_time = overlay("PreviewTime", true);
  m_date = overlay("PreviewDate", true);

  m_variants = form::Group(this, "GroupBox8", QString(), {8, 292, 388, 56});
  m_variant1 =
      form::Radio(m_variants, "RadioButton25", QStringLiteral("樣式 1"), {16, 20, 160, 24});
  m_variant2 =
      form::Radio(m_variants, "RadioButton26", QStringLiteral("樣式 2"), {200, 20, 160, 24});
  m_variant1->setChecked(true);
  m_variants->hide();
  connect(m_variant1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().LayoutVariant = 0;
      ShowBuildPreview();
    }
  });
  connect(m_variant2, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      m_studio.project().LayoutVariant = 1;
      ShowBuildPreview();
    }
  });
}

PictureBox* ScreenPreview::overlay(const char* name, bool transparent) {
  auto* picture = form::Place(new PictureBox(this), name, {0, 0, 10, 10});
  picture->setTransparent(transparent);
  return picture;
}

void ScreenPreview::refresh() {
  (m_studio.project().LayoutVariant == 1 ? m_variant2 : m_variant1)->setChecked(true);
}

void ScreenPreview::ShowBuildPreview() {
  // A vertical arrangement resets the variant; the buttons show what the project holds.
  refresh();
  const Project& project = m_studio.project();
  const std::string& home = m_studio.programDir();
  const bool vertical = project.DISPTYPE_HV == 1;
  const PreviewArrangement at =
      ArrangePreview(project.DISPTYPE_HV, project.LayoutVariant, project.USE_DATETIME != 0);
  m_frame->setGeometry(at.frame);
  m_background->setGeometry(at.background);
  m_arrow->setGeometry(at.arrow);
  m_floor->setGeometry(at.floor);
  m_message->setGeometry(at.message);
  m_message->setVisible(at.messageShown);
  m_time->setGeometry(at.time);
  m_time->setVisible(at.clockShown);
  m_date->setGeometry(at.date);
  m_date->setVisible(at.clockShown);
  m_variants->setVisible(at.variantsShown);

  const PreviewSamples samples = SamplesForPreview(project);
  ShowPicture(*m_arrow, samples.arrow, home);
  ShowPicture(*m_floor, samples.floor, home);
  ShowPicture(*m_date, samples.date, home);
  ShowPicture(*m_time, samples.time, home);
  ShowPicture(*m_message, samples.message, home);

  if (project.USE_BACKGROUNDBMP == 0) {
    fillBackground();
    return;
  }
  // The first picture of the list that belongs to the screen's orientation.
  const auto& pictures = vertical ? project.UserBkGndImage : project.UserBkGndImage2;
  for (const std::string& path : pictures) {
    if (!IsBlank(path)) {
      ShowPicture(*m_background, PictureFileOf(project, path), home);
      break;
    }
  }
}

void ScreenPreview::fillBackground() {
  const Project& project = m_studio.project();
  m_background->fill(ToQColor(project.BKG_COLOR),
                     project.DISPTYPE_HV == 1 ? QSize(240, 320) : QSize(320, 240));
}

void ScreenPreview::showBackgroundPicture(const std::string& path) {
  ShowPicture(*m_background, path, m_studio.programDir());
}

}  // namespace tvx
