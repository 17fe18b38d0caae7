#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>

#include "project/catalogue.h"
#include "ui/window/code_table_page.h"
#include "ui/window/lift_state_grid.h"
#include "ui/window/picture_box.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

class ListsTest : public WindowTest {
 protected:
  void SetUp() override { open(); }

  std::string vertical(const char* name) {
    return CatalogueFolderPath(studio().programDir(), CatalogueFolder::kVerticalBackground) + name;
  }
  std::string horizontal(const char* name) {
    return CatalogueFolderPath(studio().programDir(), CatalogueFolder::kHorizontalBackground) +
           name;
  }
  // The floor code table's cell of a code, edited as a user types into it.
  void type(int code, int column, const QString& text) {
    auto* table = find<QTableWidget>("StringGrid2");
    table->setCurrentCell(code, column);
    table->editItem(table->item(code, column));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    editor->del();
    // Typed where the keyboard can, pasted where it cannot (characters beyond ASCII).
    bool ascii = true;
    for (QChar c : text) {
      ascii = ascii && c.unicode() < 0x80;
    }
    if (ascii) {
      QTest::keyClicks(editor, text);
    } else {
      editor->insert(text);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits on its next turn of the loop.
    QCoreApplication::processEvents();
  }
};

TEST_F(ListsTest, BackgroundSlotsArePickedPreviewedAndEmptiedWithTheRightButton) {
  window().showPage(2);
  click("CheckBox2");
  auto* tabs = find<QTabWidget>("PageControl2");
  EXPECT_EQ(tabs->currentWidget()->objectName(), "TabSheet6") << "horizontal shown first";
  auto* list = find<QTableWidget>("StringGrid3");
  EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "No");
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "BkgBMP filename");
  EXPECT_EQ(list->rowCount(), 128);
  EXPECT_EQ(list->item(127, 0)->text(), "127");

  // Double-click picks a picture for the slot, starting in the horizontal folder.
  m_host.answerOpenFile(horizontal("GreenGlow_320x240.bmp"));
  doubleClickCell(list, 3, 1);
  EXPECT_EQ(project().UserBkGndImage2[3], horizontal("GreenGlow_320x240.bmp"));
  EXPECT_EQ(m_host.fileRequests().back().initialDirectory, horizontal(""));
  EXPECT_EQ(m_host.fileRequests().back().fileName, "");
  EXPECT_EQ(list->item(3, 1)->text().toStdString(), horizontal("GreenGlow_320x240.bmp"));
  // The second pick proposes the slot's picture; cancelling keeps it.
  doubleClickCell(list, 3, 1);
  EXPECT_EQ(m_host.fileRequests().back().fileName, horizontal("GreenGlow_320x240.bmp"));
  EXPECT_EQ(project().UserBkGndImage2[3], horizontal("GreenGlow_320x240.bmp"));

  // A click previews the picture (240 x 180 for the horizontal list) and shows it on the
  // build page's screen; an empty slot hides the preview.
  clickCell(list, 3, 1);
  auto* preview = find<PictureBox>("Image11");
  EXPECT_FALSE(preview->isHidden());
  EXPECT_EQ(preview->size(), QSize(240, 180));
  EXPECT_EQ(preview->picture().size(), QSize(320, 240));
  EXPECT_EQ(find<PictureBox>("Image13")->picturePath(), horizontal("GreenGlow_320x240.bmp"));
  clickCell(list, 4, 1);
  EXPECT_TRUE(preview->isHidden());

  // The vertical list previews 180 x 240.
  tabs->setCurrentIndex(0);
  auto* verticalList = find<QTableWidget>("StringGrid1");
  m_host.answerOpenFile(vertical("Sunset_240x320.bmp"));
  doubleClickCell(verticalList, 0, 1);
  EXPECT_EQ(m_host.fileRequests().back().initialDirectory, vertical(""));
  m_host.answerOpenFile(vertical("BlueGradient_240x320.bmp"));
  doubleClickCell(verticalList, 1, 1);
  clickCell(verticalList, 0, 1);
  EXPECT_EQ(preview->size(), QSize(180, 240));
  EXPECT_FALSE(preview->isHidden());

  // The right button empties the selected slot (0), not the row under the pointer (1).
  QTest::mousePress(verticalList->viewport(), Qt::RightButton, {}, cellCentre(verticalList, 1, 1));
  EXPECT_EQ(project().UserBkGndImage[0], "");
  EXPECT_EQ(verticalList->item(0, 1)->text(), "");
  EXPECT_EQ(project().UserBkGndImage[1], vertical("BlueGradient_240x320.bmp"));
  EXPECT_EQ(verticalList->currentRow(), 0);
}

TEST_F(ListsTest, CodeTableCellsAreEditedInTheIndicatorsEncoding) {
  window().showPage(3);
  auto* table = find<QTableWidget>("StringGrid2");
  EXPECT_EQ(table->rowCount(), 256);
  EXPECT_TRUE(table->isColumnHidden(0));
  EXPECT_EQ(table->item(255, 1)->text(), "0xFF");
  EXPECT_EQ(table->horizontalHeaderItem(2)->text(), "Display");
  EXPECT_EQ(table->item(0, 2)->text(), "B2") << "the settings' floor texts";
  EXPECT_FALSE(table->item(10, 1)->flags() & Qt::ItemIsEditable) << "code names are fixed";

  type(0x20, 2, "RF");
  EXPECT_EQ(project().FloorTable[0x20], "RF");
  // Chinese is kept in Big5, as the indicator's files hold it.
  type(0x21, 2, QStringLiteral("大廳"));
  EXPECT_EQ(project().FloorTable[0x21], "\xA4\x6A\xC6\x55");
  EXPECT_EQ(table->item(0x21, 2)->text(), QStringLiteral("大廳"));
  // A character Big5 cannot write is refused with a message; the cell goes back.
  type(0x21, 2, QStringLiteral("\U0001F600"));
  EXPECT_EQ(project().FloorTable[0x21], "\xA4\x6A\xC6\x55");
  EXPECT_EQ(table->item(0x21, 2)->text(), QStringLiteral("大廳"));
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_EQ(m_host.messages()[0].caption, "TVX880");

  // Background numbers take digits only.
  type(0x20, 3, "12x");
  EXPECT_EQ(project().FloorBkgImage[0x20], "12");
}

TEST_F(ListsTest, DoubleClickOnACodePreviewsItsFloorBackground) {
  project().UserBkGndImage[5] = vertical("Sunset_240x320.bmp");
  project().FloorBkgImage[0] = " 5 ";
  project().FloorBkgImage[1] = "200";
  project().FloorBkgImage[2] = "abc";
  window().refreshFromStudio();
  window().showPage(3);
  auto* table = find<QTableWidget>("StringGrid2");
  auto* panel = find<QWidget>("Panel3");
  auto* picture = find<PictureBox>("Image23");
  EXPECT_TRUE(panel->isHidden());

  doubleClickCell(table, 0, 1);
  EXPECT_FALSE(panel->isHidden());
  EXPECT_EQ(panel->geometry(), QRect(328, 64, 201, 313));
  EXPECT_FALSE(picture->isHidden());
  EXPECT_EQ(picture->picturePath(), vertical("Sunset_240x320.bmp"));

  // Slot 200 does not exist: the panel with no picture.
  doubleClickCell(table, 1, 1);
  EXPECT_FALSE(panel->isHidden());
  EXPECT_TRUE(picture->isHidden());

  click("SpeedButton4");
  EXPECT_TRUE(panel->isHidden());

  // Not a number: the conversion error's box, and no panel.
  doubleClickCell(table, 2, 1);
  EXPECT_TRUE(panel->isHidden());
  ASSERT_EQ(m_sink.boxes().size(), 1u);
  EXPECT_EQ(m_sink.boxes()[0].text, "'abc' is not a valid integer value");

  // No number: only the picture is hidden.
  doubleClickCell(table, 0, 1);
  doubleClickCell(table, 3, 1);
  EXPECT_FALSE(panel->isHidden());
  EXPECT_TRUE(picture->isHidden());
}

TEST_F(ListsTest, LiftStatePicturesAndTheirColumnsAndInputs) {
  window().showPage(3);
  auto* grid = find<LiftStateGrid>("DrawGrid1");
  EXPECT_EQ(grid->rowCount(), 10);
  EXPECT_EQ(grid->columnCount(), 4);
  EXPECT_EQ(grid->columnWidth(0), 136);
  EXPECT_EQ(grid->rowHeight(0), 36);
  EXPECT_TRUE(grid->cellHasPicture(0, 0));
  EXPECT_TRUE(grid->cellHasPicture(9, 3));

  const std::string liftStates =
      CatalogueFolderPath(studio().programDir(), CatalogueFolder::kLiftState);
  m_host.answerOpenFile(liftStates + "VIP0_EG_240x48.bmp");
  doubleClickCell(grid, 2, 1);
  EXPECT_EQ(project().LiftStateImage[2][1], liftStates + "VIP0_EG_240x48.bmp");
  EXPECT_EQ(m_host.fileRequests().back().initialDirectory, liftStates);
  // A file that is no picture is refused: the cell keeps its picture.
  const std::string before = project().LiftStateImage[4][0];
  m_host.answerOpenFile(studio().programDir() + "DPW880.INI");
  doubleClickCell(grid, 4, 0);
  EXPECT_EQ(project().LiftStateImage[4][0], before);
  EXPECT_TRUE(grid->cellHasPicture(4, 0));

  EXPECT_TRUE(find<QCheckBox>("CheckBox3")->isChecked());
  EXPECT_TRUE(find<QCheckBox>("CheckBox4")->isChecked());
  click("CheckBox3");
  click("CheckBox6");
  EXPECT_EQ(project().MSG_STYLE, 0b1010);

  // Message inputs are hidden for this protocol but still edit the project.
  EXPECT_TRUE(find<QWidget>("Panel13")->isHidden());
  find<QComboBox>("MsgCb4")->setCurrentIndex(7);
  EXPECT_EQ(project().LiftMsgIdx[3], 7);
  EXPECT_EQ(find<QComboBox>("MsgCb4")->currentText(), "XC");
}

}  // namespace
}  // namespace tvx::test
