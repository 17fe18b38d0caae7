#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTableWidget>
#include <fstream>

#include "project/catalogue.h"
#include "ui/window/picture_box.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

class ProjectMenuTest : public WindowTest {
 protected:
  void SetUp() override {
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  }
  void shortcut(Qt::Key key) { QTest::keyClick(&window(), key, Qt::ControlModifier); }
  bool checked(const char* name) { return find<QAbstractButton>(name)->isChecked(); }
  QString cell(int code, int column) {
    return find<QTableWidget>("StringGrid2")->item(code, column)->text();
  }
  std::string vertical(const char* name) {
    return CatalogueFolderPath(studio().programDir(), CatalogueFolder::kVerticalBackground) + name;
  }

  TempDir m_files;
};

TEST_F(ProjectMenuTest, SaveNewAndLoadRoundTripThroughTheMenuShortcuts) {
  // A design made with the controls.
  click("RadioButton4");  // floor style 2 (slot 3)
  click("RadioButton9");  // arrow style 3 (slot 4)
  click("RadioButton17");
  click("RadioButton12");
  window().showPage(2);
  click("CheckBox2");
  click("RadioButton21");
  click("RadioButton20");
  find<QTabWidget>("PageControl2")->setCurrentIndex(0);
  m_host.answerOpenFile(vertical("Sunset_240x320.bmp"));
  doubleClickCell(find<QTableWidget>("StringGrid1"), 7, 1);
  window().showPage(3);
  find<QTableWidget>("StringGrid2")->item(0x30, 2)->setText("M");
  find<QTableWidget>("StringGrid2")->item(0x30, 3)->setText("7");
  click("CheckBox5");
  window().showPage(4);
  click("RadioButton26");
  find<QComboBox>("ComboBox4")->setCurrentIndex(12);
  click("CheckBox8");
  ASSERT_EQ(project().UserBkGndImage[7], vertical("Sunset_240x320.bmp"));

  // Ctrl+S: the save dialog of the design, then the title names the file.
  const std::string path = (m_files / "tower.ql3").string();
  m_host.answerSaveFile(path);
  shortcut(Qt::Key_S);
  ASSERT_EQ(m_host.fileRequests().size(), 2u);
  const FileDialogRequest& save = m_host.fileRequests().back();
  EXPECT_EQ(save.filter, "TVX-880 Project File (*.ql3)|*.ql3");
  EXPECT_EQ(save.defaultExtension, "ql3");
  EXPECT_EQ(save.initialDirectory, studio().programDir());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(window().windowTitle().endsWith(QString::fromStdString(" -- " + path)));

  // Ctrl+N: the defaults, page 1, and the settings' floor texts.
  shortcut(Qt::Key_N);
  EXPECT_EQ(window().currentPage(), 1);
  EXPECT_TRUE(checked("RadioButton2"));
  EXPECT_TRUE(checked("RadioButton6"));
  EXPECT_TRUE(checked("RadioButton18"));
  EXPECT_FALSE(checked("CheckBox2"));
  EXPECT_FALSE(checked("CheckBox8"));
  EXPECT_TRUE(checked("RadioButton19"));
  EXPECT_EQ(cell(0x30, 2), "");
  EXPECT_EQ(find<QTableWidget>("StringGrid1")->item(7, 1)->text(), "");
  EXPECT_TRUE(window().windowTitle().endsWith(" -- No project name"));
  // What new project does not own stays: the arrangement, the node address.
  EXPECT_TRUE(checked("RadioButton21"));
  EXPECT_EQ(find<QComboBox>("ComboBox4")->currentIndex(), 12);

  // Ctrl+O from page 3: the design comes back, on page 1.
  window().showPage(3);
  m_host.answerOpenFile(path);
  shortcut(Qt::Key_O);
  EXPECT_EQ(m_host.fileRequests().back().filter, "TVX-880 Project File (*.ql3)|*.ql3");
  EXPECT_EQ(window().currentPage(), 1);
  EXPECT_TRUE(checked("RadioButton4"));
  EXPECT_TRUE(checked("RadioButton9"));
  EXPECT_TRUE(checked("RadioButton17"));
  EXPECT_TRUE(checked("RadioButton12"));
  EXPECT_TRUE(find<QWidget>("GroupBox1")->isEnabled());
  EXPECT_TRUE(checked("CheckBox2"));
  EXPECT_TRUE(find<QWidget>("StringGrid1")->isEnabled());
  EXPECT_TRUE(checked("RadioButton21"));
  EXPECT_TRUE(checked("RadioButton20"));
  EXPECT_FALSE(find<QWidget>("ComboBox1")->isEnabled());
  EXPECT_EQ(find<QTableWidget>("StringGrid1")->item(7, 1)->text().toStdString(),
            vertical("Sunset_240x320.bmp"));
  EXPECT_EQ(cell(0x30, 2), "M");
  EXPECT_EQ(cell(0x30, 3), "7");
  EXPECT_TRUE(checked("CheckBox5"));
  EXPECT_TRUE(checked("RadioButton26"));
  EXPECT_EQ(find<QComboBox>("ComboBox4")->currentIndex(), 12);
  EXPECT_TRUE(checked("CheckBox8"));
  EXPECT_TRUE(find<QWidget>("ComboBox3")->isEnabled());
  EXPECT_FALSE(find<QWidget>("CheckBox9")->isHidden()) << "the clock is on";
  EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(ProjectMenuTest, AFileThatIsNoProjectChangesNothing) {
  click("RadioButton5");
  const std::string path = (m_files / "missing.ql3").string();
  m_host.answerOpenFile(path);
  QAction* load = find<QAction>("N4");
  answerQuestion(QMessageBox::Discard);
  load->trigger();
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_EQ(m_host.messages()[0].caption, "TVX880");
  EXPECT_NE(m_host.messages()[0].text.find("missing.ql3"), std::string::npos);
  EXPECT_TRUE(checked("RadioButton5"));
  EXPECT_EQ(project().FL_STYLE, 4);
  // Cancelling the dialog does nothing at all.
  answerQuestion(QMessageBox::Discard);
  load->trigger();
  EXPECT_EQ(m_host.messages().size(), 1u);

  // Neither does a file of random bytes named as a project, once the design has a file.
  const std::string kept = (m_files / "kept.ql3").string();
  m_host.answerSaveFile(kept);
  find<QAction>("N5")->trigger();
  const QString title = window().windowTitle();
  ASSERT_TRUE(title.endsWith(QString::fromStdString(kept)));
  std::ifstream random("/dev/urandom", std::ios::binary);
  std::string bytes(20 * 1024, '\0');
  random.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const std::string noise = (m_files / "noise.ql3").string();
  WriteFileBytes(noise, bytes);
  m_host.clear();
  m_host.answerOpenFile(noise);
  load->trigger();
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_EQ(m_host.messages()[0].text,
            "Err: The file \"" + noise + "\" is not a TVX-880 project file");
  EXPECT_TRUE(checked("RadioButton5"));
  EXPECT_EQ(project().ProjectPath, kept);
  EXPECT_EQ(window().windowTitle(), title);

  // A save that fails says so once and leaves the title naming the project's file.
  const std::string nowhere = (m_files / "kept.ql3" / "x.ql3").string();
  m_host.clear();
  m_host.answerSaveFile(nowhere);
  find<QAction>("N5")->trigger();
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_EQ(m_host.messages()[0].text,
            "Err: Can not create file \"" + nowhere + "\": Not a directory");
  EXPECT_EQ(project().ProjectPath, kept);
  EXPECT_EQ(window().windowTitle(), title);
  EXPECT_TRUE(m_sink.boxes().empty());
}

TEST_F(ProjectMenuTest, ExitClosesTheWindowOnce) {
  QAction* exit = find<QAction>("N7");
  EXPECT_EQ(exit->shortcut(), QKeySequence(QKeySequence::Quit));
  exit->trigger();
  EXPECT_FALSE(window().isVisible());
  EXPECT_TRUE(studio().libraryImage().empty()) << "the library is released";
}

}  // namespace
}  // namespace tvx::test
