#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "project/catalogue.h"
#include "ui/window/build_page.h"
#include "ui/window/picture_box.h"
#include "ui/window/screen_preview.h"
#include "ui/window/style_page.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

class PagesTest : public WindowTest {
 protected:
  void SetUp() override { open(); }

  // The caption of every tab the page control shows.
  QStringList visibleTabs() {
    auto* pages = find<QTabWidget>("PageControl1");
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i) {
      if (pages->isTabVisible(i)) {
        tabs << pages->tabText(i);
      }
    }
    return tabs;
  }
  QRect geometryOf(const char* name) { return find<QWidget>(name)->geometry(); }
  bool shown(const char* name) { return !find<QWidget>(name)->isHidden(); }
};

TEST_F(PagesTest, OnePageAtATimeWithThePageButtonsThatLeadSomewhere) {
  EXPECT_EQ(window().currentPage(), 1);
  EXPECT_EQ(visibleTabs(), QStringList{"Style"});
  EXPECT_FALSE(shown("SpeedButton1"));
  EXPECT_TRUE(shown("SpeedButton2"));

  const QStringList expected{"Background", "Code table", "Build"};
  for (int page = 2; page <= 4; ++page) {
    click("SpeedButton2");
    EXPECT_EQ(window().currentPage(), page);
    EXPECT_EQ(visibleTabs(), QStringList{expected[page - 2]});
    EXPECT_EQ(find<QTabWidget>("PageControl1")->currentIndex(), page - 1);
    EXPECT_TRUE(shown("SpeedButton1"));
    EXPECT_EQ(shown("SpeedButton2"), page < 4);
  }
  for (int page = 3; page >= 1; --page) {
    click("SpeedButton1");
    EXPECT_EQ(window().currentPage(), page);
    EXPECT_EQ(shown("SpeedButton1"), page > 1);
    EXPECT_TRUE(shown("SpeedButton2"));
  }
}

TEST_F(PagesTest, ArrangementsSetLayoutAndKeepOrResetTheVariant) {
  // "佈置 1" is horizontal: the variant buttons appear on the build page.
  click("SpeedButton2");
  click("RadioButton21");
  EXPECT_EQ(project().Layout, 0x40);
  EXPECT_EQ(project().DISPTYPE_HV, 0);
  window().showPage(4);
  EXPECT_TRUE(shown("GroupBox8"));
  click("RadioButton26");
  EXPECT_EQ(project().LayoutVariant, 1);
  // Variant 2 puts the arrow on the right and the floor on the left.
  EXPECT_EQ(geometryOf("PreviewArrow"), QRect(258, 72, 109, 121));
  EXPECT_EQ(geometryOf("PreviewFloor"), QRect(70, 88, 109, 92));
  EXPECT_EQ(geometryOf("Image13"), QRect(8, 56, 384, 218));
  click("RadioButton25");
  EXPECT_EQ(project().LayoutVariant, 0);
  EXPECT_EQ(geometryOf("PreviewArrow"), QRect(26, 72, 109, 121));
  click("RadioButton26");

  // "佈置 3" after "佈置 1" keeps the variant; the vertical "佈置 4" resets it.
  window().showPage(2);
  click("RadioButton23");
  EXPECT_EQ(project().Layout, 0x80);
  EXPECT_EQ(project().LayoutVariant, 1);
  click("RadioButton24");
  EXPECT_EQ(project().Layout, 0x20);
  EXPECT_EQ(project().DISPTYPE_HV, 1);
  EXPECT_EQ(project().LayoutVariant, 0);
  window().showPage(4);
  EXPECT_FALSE(shown("GroupBox8"));
  EXPECT_EQ(geometryOf("PreviewFrame"), QRect(72, 8, 241, 401));
  EXPECT_EQ(geometryOf("PreviewArrow"), QRect(134, 32, 109, 121));
  EXPECT_TRUE(find<QRadioButton>("RadioButton25")->isChecked());
}

TEST_F(PagesTest, TheClockSwitchEnablesItsGroupsAndOffersClockSync) {
  EXPECT_FALSE(find<QGroupBox>("GroupBox1")->isEnabled());
  EXPECT_FALSE(find<QGroupBox>("GroupBox2")->isEnabled());
  EXPECT_TRUE(find<QWidget>("CheckBox9")->isHidden());
  click("RadioButton17");
  EXPECT_EQ(project().USE_DATETIME, 1);
  EXPECT_TRUE(find<QGroupBox>("GroupBox1")->isEnabled());
  EXPECT_TRUE(find<QGroupBox>("GroupBox2")->isEnabled());
  EXPECT_FALSE(find<QWidget>("CheckBox9")->isHidden());
  find<QCheckBox>("CheckBox9")->setChecked(true);

  // The vertical preview makes room for the clock instead of the message.
  window().showPage(4);
  EXPECT_TRUE(shown("PreviewTime"));
  EXPECT_TRUE(shown("PreviewDate"));
  EXPECT_FALSE(shown("PreviewMessage"));
  EXPECT_EQ(geometryOf("PreviewTime"), QRect(82, 314, 218, 30));

  window().showPage(1);
  click("RadioButton18");
  EXPECT_EQ(project().USE_DATETIME, 0);
  EXPECT_FALSE(find<QGroupBox>("GroupBox1")->isEnabled());
  EXPECT_TRUE(find<QWidget>("CheckBox9")->isHidden());
  EXPECT_FALSE(find<QCheckBox>("CheckBox9")->isChecked()) << "hidden and unchecked";
  window().showPage(4);
  EXPECT_FALSE(shown("PreviewTime"));
  EXPECT_FALSE(shown("PreviewDate")) << "no date shown when the indicator shows none";
  EXPECT_TRUE(shown("PreviewMessage"));
}

TEST_F(PagesTest, DoubleClickOnAStylePreviewOpensTheColourDialogOnlyForTheSelectedSlot) {
  const std::string floors =
      CatalogueFolderPath(studio().programDir(), CatalogueFolder::kFloorStyles);
  // Slot 3 is not selected: its folder changes, no colour is asked for.
  m_host.answerOpenFile(floors + "Style4/0x38.bmp");
  m_host.answerColour(0x0000FF);
  auto* slot3 = window().stylePage()->floorStylePreview(3);
  doubleClick(slot3, slot3->rect().center());
  EXPECT_EQ(project().FLS_DIR[2], "Style4");
  EXPECT_EQ(project().FL_COLOR, 0xFFFFFFu);
  ASSERT_EQ(m_host.fileRequests().size(), 1u);
  EXPECT_EQ(m_host.fileRequests()[0].title, "Open image file");
  EXPECT_EQ(m_host.fileRequests()[0].filter,
            "Pictures (*.bmp *.png *.jpg *.jpeg)|*.bmp;*.png;*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(m_host.fileRequests()[0].initialDirectory, floors);
  EXPECT_EQ(slot3->picturePath(), FloorStylePreviewPath(studio().programDir(), "Style4"));

  // Slot 1 is selected: the still queued colour is asked for and taken.
  m_host.answerOpenFile(floors + "Style2/0x38.bmp");
  auto* slot1 = window().stylePage()->floorStylePreview(1);
  doubleClick(slot1, slot1->rect().center());
  EXPECT_EQ(project().FLS_DIR[0], "Style2");
  EXPECT_EQ(project().FL_COLOR, 0x0000FFu);
  // The selected style's caption is drawn in the floor colour (red), the others in black.
  EXPECT_EQ(window().stylePage()->floorStyleButton(1)->palette().color(QPalette::WindowText),
            QColor(255, 0, 0));
  EXPECT_EQ(window().stylePage()->floorStyleButton(2)->palette().color(QPalette::WindowText),
            QColor(Qt::black));

  // Cancelling changes nothing and asks for no colour.
  m_host.answerColour(0x00FF00);
  doubleClick(slot1, slot1->rect().center());
  EXPECT_EQ(project().FLS_DIR[0], "Style2");
  EXPECT_EQ(project().FL_COLOR, 0x0000FFu);

  // Selecting another style moves the colour to its caption.
  click("RadioButton3");
  EXPECT_EQ(project().FL_STYLE, 2);
  EXPECT_EQ(window().stylePage()->floorStyleButton(2)->palette().color(QPalette::WindowText),
            QColor(255, 0, 0));
  EXPECT_EQ(window().stylePage()->floorStyleButton(1)->palette().color(QPalette::WindowText),
            QColor(Qt::black));
}

TEST_F(PagesTest, ArrowStylesAndDateLanguageAreChosenByPickingAPicture) {
  const std::string home = studio().programDir();
  m_host.answerOpenFile(home + "elsewhere/logo.bmp");
  auto* arrow5 = window().stylePage()->arrowStylePreview(5);
  doubleClick(arrow5, arrow5->rect().center());
  EXPECT_EQ(project().DIRS_DIR[4], "elsewhere");
  EXPECT_EQ(m_host.fileRequests().back().initialDirectory,
            CatalogueFolderPath(home, CatalogueFolder::kArrowStyles));
  click("RadioButton10");
  EXPECT_EQ(project().DIR_STYLE, 5);

  click("RadioButton17");
  m_host.answerOpenFile(CatalogueFolderPath(home, CatalogueFolder::kDateTime) +
                        "CHT/MON_CHT_80x40.bmp");
  click("SpeedButton6");
  EXPECT_EQ(project().DateTimeLanguage, "CHT");
  EXPECT_EQ(find<QPushButton>("SpeedButton6")->text(), "CHT");
  // Cancelling keeps the language.
  click("SpeedButton6");
  EXPECT_EQ(project().DateTimeLanguage, "CHT");
  window().showPage(4);
  EXPECT_EQ(find<PictureBox>("PreviewTime")->picturePath(),
            home + "GUI_Widget_SE/time-type2_240x40.bmp");
}

TEST_F(PagesTest, BackgroundPicturesSwitchTheirControlsAndTheColourButton) {
  window().showPage(2);
  EXPECT_FALSE(find<QWidget>("StringGrid1")->isEnabled());
  EXPECT_FALSE(find<QWidget>("GroupBox4")->isEnabled());
  EXPECT_TRUE(find<QWidget>("SpeedButton5")->isEnabled());

  m_host.answerColour(0x804020);
  click("SpeedButton5");
  EXPECT_EQ(project().BKG_COLOR, 0x804020u);
  // The screen preview is filled with the colour (red 0x20, green 0x40, blue 0x80).
  const QImage& screen = find<PictureBox>("Image13")->picture();
  ASSERT_FALSE(screen.isNull());
  EXPECT_EQ(screen.size(), QSize(240, 320));
  EXPECT_EQ(QColor(screen.pixel(10, 10)), QColor(0x20, 0x40, 0x80));

  click("CheckBox2");
  EXPECT_EQ(project().USE_BACKGROUNDBMP, 1);
  EXPECT_TRUE(find<QWidget>("StringGrid1")->isEnabled());
  EXPECT_TRUE(find<QWidget>("StringGrid3")->isEnabled());
  EXPECT_TRUE(find<QWidget>("GroupBox4")->isEnabled());
  EXPECT_FALSE(find<QWidget>("SpeedButton5")->isEnabled());

  click("RadioButton20");
  EXPECT_EQ(project().AUTOSLIDESHOW, 0);
  EXPECT_FALSE(find<QWidget>("ComboBox1")->isEnabled());
  click("RadioButton28");
  EXPECT_EQ(project().AUTOSLIDESHOW, 2);
  click("RadioButton19");
  EXPECT_EQ(project().AUTOSLIDESHOW, 1);
  EXPECT_TRUE(find<QWidget>("ComboBox1")->isEnabled());
}

TEST_F(PagesTest, BuildPageSettingsEditTheProject) {
  window().showPage(4);
  EXPECT_FALSE(find<QWidget>("ComboBox3")->isEnabled());
  click("CheckBox8");
  EXPECT_EQ(project().USE_STANDBYLOGO, 1);
  EXPECT_TRUE(find<QWidget>("ComboBox3")->isEnabled());
  find<QComboBox>("ComboBox3")->setCurrentIndex(9);
  EXPECT_EQ(project().STANDBYTIME, 9);
  find<QComboBox>("ComboBox4")->setCurrentIndex(37);
  EXPECT_EQ(project().NODEADDR, 37);
  find<QComboBox>("ComboBox5")->setCurrentIndex(16);
  EXPECT_EQ(project().BACKLIGHTSAVE, 16);

  // The logo: a picked picture is taken; cancelling keeps it and shows it again.
  const std::string logo = studio().programDir() + "GUI_Widget_SE/style2.bmp";
  m_host.answerOpenFile(logo);
  auto* image = find<PictureBox>("Image14");
  QTest::mouseClick(image, Qt::LeftButton, {}, image->rect().center());
  EXPECT_EQ(project().STANDBYLOGOBMP, logo);
  EXPECT_EQ(m_host.fileRequests().back().initialDirectory, "") << "where it was left";
  QTest::mouseClick(image, Qt::LeftButton, {}, image->rect().center());
  EXPECT_EQ(project().STANDBYLOGOBMP, logo);
  EXPECT_EQ(image->picturePath(), logo);
}

}  // namespace
}  // namespace tvx::test
