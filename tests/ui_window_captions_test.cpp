#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTabWidget>
#include <QTableWidget>

#include "support/test_home.h"
#include "ui/qt/display_text.h"
#include "ui/window/form_captions.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

class CaptionsTest : public WindowTest {
 protected:
  QString caption(const char* name) {
    QObject* control = window().findChild<QObject*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control != nullptr ? CaptionOf(control) : QString();
  }
  std::string tabText(const char* pageControl, int index) {
    return find<QTabWidget>(pageControl)->tabText(index).toStdString();
  }
};

TEST_F(CaptionsTest, EnglishCaptionsComeFromLang0) {
  open();
  EXPECT_EQ(caption("SpeedButton1"), "Previous");
  EXPECT_EQ(caption("SpeedButton3"), "Build and upload");
  EXPECT_EQ(caption("TabSheet1"), "Style");
  EXPECT_EQ(caption("TabSheet6"), "Horizontal");
  EXPECT_EQ(caption("RadioButton1"), "Floor style 4");
  EXPECT_EQ(caption("GroupBox3"), "Date and time display");
  EXPECT_EQ(caption("Label7"), "COM port :");
  EXPECT_EQ(caption("CheckBox9"), "Sync clock");
  EXPECT_EQ(caption("N1"), "File");
  EXPECT_EQ(caption("N7"), "Exit");
  // Controls without a caption key keep the design's.
  EXPECT_EQ(caption("RadioButton16"), QStringLiteral("樓層"));
  EXPECT_EQ(caption("GroupBox11"), "TriggerMode");
  EXPECT_EQ(window().windowTitle().toStdString(), "TVX880 STD [R1-Build-121023] < STEP > (Lib." +
                                                      studio().state().LibraryDate +
                                                      ")  -- No project name");
}

TEST_F(CaptionsTest, ChineseCaptionsComeFromLang1InBig5) {
  HomeWithSettings home(ShippedSettingsWith({{"LANG=0", "LANG=1"}}));
  open(home.dir());
  EXPECT_EQ(caption("SpeedButton2"), QStringLiteral("下一頁"));
  EXPECT_EQ(caption("SpeedButton3"), QStringLiteral("製作與連線上傳"));
  EXPECT_EQ(caption("TabSheet6"), QStringLiteral("橫式"));
  EXPECT_EQ(caption("N1"), QStringLiteral("檔案"));
  EXPECT_EQ(caption("N5"), QStringLiteral("儲存專案"));
  // Chinese headings for LANG 1.
  EXPECT_EQ(find<QTableWidget>("StringGrid2")->horizontalHeaderItem(2)->text(),
            QStringLiteral("樓層顯示"));
  EXPECT_EQ(find<QTableWidget>("StringGrid1")->horizontalHeaderItem(1)->text(),
            QStringLiteral("背景圖檔檔名"));
}

TEST_F(CaptionsTest, AnotherLanguageSectionMayHoldUtf8AndMissingKeysKeepTheDesign) {
  TestHome home;
  home.writeLibrary("library");
  home.writeSettings(IniText({"[Option]", "LANG=2", "OEM=STEP", "", "[LANG2]",
                              "SpeedButton2.Caption=Weiter \xE2\x86\x92", "N7.Caption=Beenden"}));
  open(home.dir());
  EXPECT_EQ(caption("SpeedButton2"), QStringLiteral("Weiter →"));
  EXPECT_EQ(caption("N7"), "Beenden");
  EXPECT_EQ(caption("SpeedButton1"), QStringLiteral("上一頁"));
  EXPECT_EQ(caption("TabSheet3"), QStringLiteral("編碼表"));
  // LANG 2 is a Chinese setting: the headings are Chinese.
  EXPECT_EQ(find<QTableWidget>("StringGrid2")->horizontalHeaderItem(1)->text(),
            QStringLiteral("編碼"));

  // New project reads the settings again: changed captions, and the design caption back for
  // a key that went away.
  home.writeSettings(
      IniText({"[Option]", "LANG=0", "OEM=STEP", "", "[LANG0]", "SpeedButton1.Caption=Back"}));
  window().N2Click();
  EXPECT_EQ(caption("SpeedButton1"), "Back");
  EXPECT_EQ(caption("SpeedButton2"), QStringLiteral("下一頁"));
  EXPECT_EQ(caption("N7"), QStringLiteral("離開"));
  EXPECT_EQ(find<QTableWidget>("StringGrid2")->horizontalHeaderItem(1)->text(), "Code");
}

TEST(DisplayTextTest, Big5AndUtf8AreShownAndBig5IsStored) {
  EXPECT_EQ(DisplayText("\xA4\x6A\xC6\x55"), QStringLiteral("大廳"));
  EXPECT_EQ(DisplayText("\xE5\xA4\xA7\xE5\xBB\xB3"), QStringLiteral("大廳")) << "UTF-8 as it is";
  EXPECT_EQ(DisplayText("B1"), "B1");
  // A lead byte without its second byte, and bytes that are no Big5: shown, not lost.
  EXPECT_EQ(DisplayText("1F\xA4"), QStringLiteral("1F\uFFFD"));
  EXPECT_EQ(DisplayText("\xFF\xFF"), QStringLiteral("\uFFFD\uFFFD"));
  EXPECT_EQ(StorageText(QStringLiteral("大廳")), std::optional<std::string>("\xA4\x6A\xC6\x55"));
  EXPECT_EQ(StorageText("12A"), std::optional<std::string>("12A"));
  EXPECT_EQ(StorageText(QStringLiteral("\U0001F600")), std::nullopt);
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF")) << "overlong";
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")) << "surrogate";
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

}  // namespace
}  // namespace tvx::test
