#include <QAbstractButton>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QTabBar>
#include <QTabWidget>

#include "project/catalogue.h"
#include "ui/window/main_window.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

// Controls that reach beyond their parent, or whose caption does not fit their size.
QStringList clippedCaptions(QWidget* form) {
  QStringList clipped;
  for (QWidget* control : form->findChildren<QWidget*>()) {
    if (!control->isVisible() || control->objectName().isEmpty()) {
      continue;
    }
    QWidget* parent = control->parentWidget();
    if (parent != nullptr && !control->isWindow() &&
        (control->geometry().right() >= parent->width() ||
         control->geometry().bottom() >= parent->height())) {
      clipped << control->objectName() + " reaches beyond " + parent->objectName();
    }
    int wanted = 0;
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
      wanted = box->title().isEmpty()
                   ? 0
                   : QFontMetrics(box->font()).horizontalAdvance(box->title()) + 16;
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      wanted = button->text().isEmpty() ? 0 : button->sizeHint().width();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      wanted = label->text().isEmpty() ? 0 : label->sizeHint().width();
    } else {
      continue;
    }
    const bool inLayout =
        parent != nullptr && parent->layout() != nullptr && parent->layout()->indexOf(control) >= 0;
    if (inLayout) {
      continue;
    }
    if (wanted > control->width()) {
      clipped << control->objectName() + " needs " + QString::number(wanted) + " has " +
                     QString::number(control->width());
    }
  }
  return clipped;
}

class ScreenshotTest : public WindowTest {
 protected:
  // Grabs each page; into $TVX_SCREENSHOT_DIR when it is set.
  void checkPages(const QString& language) {
    const QString folder = qEnvironmentVariable("TVX_SCREENSHOT_DIR");
    for (int page = 1; page <= 4; ++page) {
      window().showPage(page);
      QCoreApplication::processEvents();
      EXPECT_EQ(clippedCaptions(&window()).join("; ").toStdString(), "")
          << "page " << page << " in " << language.toStdString();
      const QImage shot = window().grab().toImage();
      EXPECT_EQ(shot.size(), QSize(TForm1::kWidth, TForm1::kHeight));
      if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        shot.save(QStringLiteral("%1/page%2-%3.png").arg(folder).arg(page).arg(language));
      }
    }
  }
};

// A design in progress: the clock on, background pictures with one previewed, the horizontal
// arrangement in its second variant, a floor background shown on the code table page.
TEST_F(ScreenshotTest, EnglishCaptionsFitEveryPage) {
  open();
  ASSERT_EQ(studio().language(), 0u);
  const std::string backgrounds =
      CatalogueFolderPath(studio().programDir(), CatalogueFolder::kHorizontalBackground);
  click("RadioButton17");
  click("RadioButton4");
  window().showPage(2);
  click("CheckBox2");
  click("RadioButton21");
  auto* list = find<QTableWidget>("StringGrid3");
  m_host.answerOpenFile(backgrounds + "Stripes_320x240.bmp");
  doubleClickCell(list, 0, 1);
  m_host.answerOpenFile(backgrounds + "GreenGlow_320x240.bmp");
  doubleClickCell(list, 1, 1);
  clickCell(list, 1, 1);
  window().showPage(4);
  click("RadioButton26");
  checkPages("en");
}

TEST_F(ScreenshotTest, ChineseCaptionsFitEveryPage) {
  HomeWithSettings home(ShippedSettingsWith({{"LANG=0", "LANG=1"}}));
  open(home.dir());
  ASSERT_EQ(studio().language(), 1u);
  checkPages("zh");
}

// The panels other protocols show, with the date and time on (the clock box shown too).
TEST_F(ScreenshotTest, ProtocolPanelsFitInBothLanguages) {
  for (const char* lang : {"LANG=0", "LANG=1"}) {
    for (const char* oem : {"OEM=KWXPS", "OEM=FRONTIER"}) {
      HomeWithSettings home(ShippedSettingsWith({{"LANG=0", lang}, {"OEM=STEP", oem}}));
      open(home.dir());
      click("RadioButton17");
      ASSERT_FALSE(find<QWidget>("CheckBox9")->isHidden());
      checkPages(QString::fromLatin1(oem + 4).toLower() + (lang[5] == '0' ? "-en" : "-zh"));
    }
  }
}

}  // namespace
}  // namespace tvx::test
