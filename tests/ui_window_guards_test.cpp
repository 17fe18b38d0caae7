#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include "project/catalogue.h"
#include "ui/window/lift_state_grid.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

using namespace std::chrono_literals;

class GuardsTest : public WindowTest {
 protected:
  void SetUp() override {
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  }
  // The mark shows once the window's loop has fallen idle after the edit.
  bool marked() {
    WaitUntil([] { return false; }, 20ms);
    return window().windowTitle().startsWith('*');
  }
  std::string file(const char* name) const { return (m_files / name).string(); }
  // A project saved to a file, as the menu saves it.
  void saveAs(const std::string& path) {
    m_host.answerSaveFile(path);
    find<QAction>("N5")->trigger();
  }
  std::string vertical(const char* name) {
    return CatalogueFolderPath(studio().programDir(), CatalogueFolder::kVerticalBackground) + name;
  }

  TempDir m_files;
};

TEST_F(GuardsTest, AnEditMarksTheTitleUntilSavedAndAnUndoneEditIsNone) {
  const QString unmarked = window().windowTitle();
  EXPECT_FALSE(marked());
  click("RadioButton5");
  EXPECT_TRUE(marked());
  EXPECT_EQ(window().windowTitle(), '*' + unmarked);
  click("RadioButton2");  // back to the style it had
  EXPECT_FALSE(marked());

  window().showPage(3);
  find<QTableWidget>("StringGrid2")->item(0x31, 2)->setText("9");
  EXPECT_TRUE(marked());
  saveAs(file("tower.ql3"));
  EXPECT_FALSE(marked());
  EXPECT_TRUE(window().windowTitle().endsWith(QString::fromStdString(file("tower.ql3"))));

  // The save dialog proposes the project's own file in its folder.
  find<QAction>("N5")->trigger();
  const FileDialogRequest& again = m_host.fileRequests().back();
  EXPECT_EQ(again.initialDirectory, m_files.path().string() + "/");
  EXPECT_EQ(again.fileName, "tower.ql3");
}

TEST_F(GuardsTest, NewProjectAsksAboutUnsavedChanges) {
  click("RadioButton5");
  answerQuestion(QMessageBox::Cancel);
  window().N2Click();
  ASSERT_EQ(m_questions.size(), 1u);
  EXPECT_EQ(m_questions[0][0], "The project has changes that are not saved.");
  EXPECT_TRUE(m_questions[0].contains("Discard"));
  EXPECT_EQ(project().FL_STYLE, 4) << "Cancel keeps the edit";
  EXPECT_TRUE(marked());

  answerQuestion(QMessageBox::Discard);
  window().N2Click();
  EXPECT_EQ(project().FL_STYLE, 1);
  EXPECT_FALSE(marked());

  // Save: a cancelled save dialog goes no further; a save writes the file, then the new project.
  click("RadioButton5");
  answerQuestion(QMessageBox::Save);
  window().N2Click();
  EXPECT_EQ(project().FL_STYLE, 4);
  answerQuestion(QMessageBox::Save);
  m_host.answerSaveFile(file("kept.ql3"));
  window().N2Click();
  EXPECT_EQ(m_questions.size(), 4u);
  EXPECT_TRUE(std::filesystem::exists(file("kept.ql3")));
  EXPECT_EQ(project().FL_STYLE, 1);
  EXPECT_TRUE(project().ProjectPath.empty());
}

TEST_F(GuardsTest, LoadAndCloseAskAboutUnsavedChanges) {
  saveAs(file("b.ql3"));
  saveAs(file("a.ql3"));
  click("RadioButton5");
  const std::size_t dialogs = m_host.fileRequests().size();
  answerQuestion(QMessageBox::Cancel);
  find<QAction>("N4")->trigger();
  EXPECT_EQ(m_host.fileRequests().size(), dialogs) << "no open dialog after Cancel";
  EXPECT_EQ(project().FL_STYLE, 4);

  // Save writes the edit into a.ql3, then b.ql3 is loaded.
  answerQuestion(QMessageBox::Save);
  m_host.answerSaveFile(file("a.ql3"));
  m_host.answerOpenFile(file("b.ql3"));
  find<QAction>("N4")->trigger();
  ASSERT_EQ(m_host.fileRequests().size(), dialogs + 2);
  EXPECT_EQ(project().ProjectPath, file("b.ql3"));
  EXPECT_EQ(project().FL_STYLE, 1);
  ASSERT_TRUE(studio().LoadProject(file("a.ql3")));
  EXPECT_EQ(project().FL_STYLE, 4) << "the edit was saved";
  window().refreshFromStudio();

  // Closing the window asks too.
  click("RadioButton2");
  answerQuestion(QMessageBox::Cancel);
  window().close();
  EXPECT_TRUE(window().isVisible());
  answerQuestion(QMessageBox::Discard);
  window().close();
  EXPECT_FALSE(window().isVisible());
}

TEST_F(GuardsTest, RecentProjectsListTheLastLoadsFirst) {
  saveAs(file("a.ql3"));
  saveAs(file("b.ql3"));
  window().recentProjects().clear();
  for (const char* name : {"a.ql3", "b.ql3"}) {
    m_host.answerOpenFile(file(name));
    find<QAction>("N4")->trigger();
  }
  EXPECT_EQ(m_host.fileRequests().back().initialDirectory, m_files.path().string() + "/")
      << "the open dialog starts where the last project was";
  EXPECT_EQ(
      window().recentProjects().paths(),
      QStringList({QString::fromStdString(file("b.ql3")), QString::fromStdString(file("a.ql3"))}));

  std::filesystem::remove(file("b.ql3"));
  auto* menu = find<QMenu>("RecentProjects");
  emit menu->aboutToShow();
  const QList<QAction*> entries = menu->actions();
  ASSERT_EQ(entries.size(), 2);
  EXPECT_TRUE(entries[0]->text().contains("b.ql3"));
  EXPECT_FALSE(entries[0]->isEnabled()) << "its file is gone";
  EXPECT_TRUE(entries[1]->isEnabled());
  window().N2Click();
  entries[1]->trigger();
  EXPECT_EQ(project().ProjectPath, file("a.ql3"));
  EXPECT_EQ(window().recentProjects().paths().front(), QString::fromStdString(file("a.ql3")));
}

TEST_F(GuardsTest, KeysOfTheSlotsAndThePages) {
  window().showPage(2);
  click("CheckBox2");
  find<QTabWidget>("PageControl2")->setCurrentIndex(0);
  auto* list = find<QTableWidget>("StringGrid1");
  // Enter opens the chooser of the selected slot, Delete empties it.
  clickCell(list, 3, 1);
  m_host.answerOpenFile(vertical("Sunset_240x320.bmp"));
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(project().UserBkGndImage[3], vertical("Sunset_240x320.bmp"));
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_EQ(project().UserBkGndImage[3], "");
  EXPECT_EQ(list->item(3, 1)->text(), "");

  window().showPage(3);
  project().LiftStateImage[1][0] = vertical("Sunset_240x320.bmp");
  window().refreshFromStudio();
  LiftStateGrid* states = find<LiftStateGrid>("DrawGrid1");
  clickCell(states, 1, 0);
  QTest::keyClick(states, Qt::Key_Delete);
  EXPECT_EQ(project().LiftStateImage[1][0], "");
  EXPECT_FALSE(states->cellHasPicture(1, 0));
  auto* table = find<QTableWidget>("StringGrid2");
  table->item(0x32, 2)->setText("7");
  clickCell(table, 0x32, 2);
  QTest::keyClick(table, Qt::Key_Delete);
  EXPECT_EQ(project().FloorTable[0x32], "");

  // Ctrl+Tab and its reverses follow the page buttons; past the last page they do nothing.
  auto* pages = find<QTabWidget>("PageControl1");
  QWidget* onPage = find<QWidget>("CheckBox3");
  QTest::keyClick(onPage, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(window().currentPage(), 4);
  EXPECT_EQ(pages->currentIndex(), 3);
  QTest::keyClick(pages->currentWidget(), Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(window().currentPage(), 4);
  EXPECT_EQ(pages->currentIndex(), 3);
  QTest::keyClick(pages->currentWidget(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window().currentPage(), 3);
  EXPECT_EQ(pages->currentIndex(), 2);
  EXPECT_TRUE(pages->isTabVisible(2));
  EXPECT_FALSE(pages->isTabVisible(3));
  EXPECT_TRUE(find<QWidget>("SpeedButton2")->isVisible());
}

TEST_F(GuardsTest, TheWindowGrowsBeyondItsDesignSizeOnly) {
  auto* log = find<QWidget>("Memo1");
  auto* table = find<QWidget>("StringGrid2");
  auto* lists = find<QWidget>("PageControl2");
  auto* next = find<QWidget>("SpeedButton2");
  const QRect logDesign = log->geometry();
  const QRect tableDesign = table->geometry();
  const QRect listsDesign = lists->geometry();
  const QPoint nextDesign = next->pos();

  window().resize(TForm1::kWidth + 200, TForm1::kHeight + 100);
  window().showPage(4);  // a page takes the size of the page control when it shows
  QCoreApplication::processEvents();
  EXPECT_EQ(log->size(), logDesign.size() + QSize(200, 100));
  EXPECT_EQ(table->height(), tableDesign.height() + 100);
  EXPECT_EQ(lists->size(), listsDesign.size() + QSize(200, 100));
  EXPECT_EQ(next->pos(), nextDesign + QPoint(200, 100));
  EXPECT_LE(log->geometry().right(), log->parentWidget()->width());

  window().resize(TForm1::kWidth - 100, TForm1::kHeight - 100);
  QCoreApplication::processEvents();
  EXPECT_EQ(window().size(), QSize(TForm1::kWidth, TForm1::kHeight));
  EXPECT_EQ(log->geometry(), logDesign);
  EXPECT_EQ(next->pos(), nextDesign);
}

TEST_F(GuardsTest, TheLogsMenuCopiesAndSavesIt) {
  studio().log().add("use 32Mb memory.");
  studio().log().add("Make....");
  window().refreshFromStudio();
  window().showPage(4);
  auto* log = find<QPlainTextEdit>("Memo1");
  QStringList captions;
  const auto choose = [&](const char* name) {
    QTimer::singleShot(50, [&captions, name] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      captions.clear();
      for (QAction* action : menu->actions()) {
        captions << action->text();
      }
      QAction* chosen = menu->findChild<QAction*>(name);
      ASSERT_NE(chosen, nullptr);
      menu->close();
      chosen->trigger();
    });
    emit log->customContextMenuRequested(QPoint(10, 10));
  };
  choose("LogCopy");
  EXPECT_EQ(captions, QStringList({"Copy", "Save log as…"}));
  EXPECT_EQ(QApplication::clipboard()->text(), "use 32Mb memory.\nMake....");

  m_host.answerSaveFile(file("build.txt"));
  choose("LogSaveAs");
  EXPECT_EQ(ReadFileBytes(file("build.txt")), "use 32Mb memory.\nMake....\n");
}

// The Save caption of a message box as Qt makes it.
QString qtSaveCaption() {
  QMessageBox box(QMessageBox::NoIcon, "", "", QMessageBox::Save | QMessageBox::Cancel);
  return box.button(QMessageBox::Save)->text();
}

class ChineseGuardsTest : public WindowTest {
 protected:
  void SetUp() override {
    EXPECT_EQ(qtSaveCaption(), "Save");
    open(m_home.dir());
  }

  HomeWithSettings m_home{ShippedSettingsWith({{"LANG=0", "LANG=1"}})};
};

TEST_F(ChineseGuardsTest, QtsOwnTextsAndTheQuestionAreChinese) {
  const QString chinese = qtSaveCaption();
  EXPECT_TRUE(std::any_of(chinese.begin(), chinese.end(), [](QChar c) {
    return c.unicode() >= 0x4E00;
  })) << chinese.toStdString();

  project().FL_STYLE = 3;
  answerQuestion(QMessageBox::Cancel);
  window().N2Click();
  ASSERT_EQ(m_questions.size(), 1u);
  EXPECT_TRUE(m_questions[0].contains(QStringLiteral("不儲存")));
  m_window.reset();
  EXPECT_EQ(qtSaveCaption(), "Save") << "the catalogue goes with the window";
}

}  // namespace
}  // namespace tvx::test
