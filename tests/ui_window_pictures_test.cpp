#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QRadioButton>
#include <QTabWidget>
#include <QUrl>
#include <optional>

#include "image/bmp_probe.h"
#include "image/picture_decoder.h"
#include "support/cli_run.h"
#include "ui/window/fit_offer_dialog.h"
#include "ui/window/lift_state_grid.h"
#include "ui/window/picture_box.h"
#include "ui_window_fixture.h"

namespace tvx::test {
namespace {

namespace fs = std::filesystem;

// Pictures chosen, dropped and fitted as the technician does, with the offer to fit them
// answered as it shows.
class PicturePickTest : public WindowTest {
 protected:
  struct Offer {
    QString text;  // every label of the dialog, one a line
    int results = 0;
    bool fitIsDefault = false;
  };

  void SetUp() override {
    open();
    // The offer waits in its own loop, so it is answered from a timer of the window's thread.
    QObject::connect(&m_offerWatch, &QTimer::timeout, [this] { answerOffer(); });
    m_offerWatch.start(5);
  }

  // How the offers are answered from now on: "Fit and save" with the result of that place, or
  // "Use as it is".
  void answerOffers(std::optional<int> result) { m_answer = result; }

  // A plain picture made by ImageMagick's convert in the test's folder.
  std::string picture(const std::string& name, const std::string& size,
                      const std::string& format = "PNG", const std::string& source = "xc:red") {
    const std::string path = (m_files / name).string();
    const std::string command =
        "convert -size " + size + " " + source + " " + format + ":" + ShellQuoted(path);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
  }

  // A drag of the files entering, moving over and dropped on a point of target.
  void drop(QWidget* target, QPoint at, const std::vector<std::string>& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& file : files) {
      urls << QUrl::fromLocalFile(QString::fromStdString(file));
    }
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &move);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &dropped);
    EXPECT_TRUE(dropped.isAccepted());
  }

  std::string fittedFile(const std::string& name) const {
    return (m_files / "pictures" / name).string();
  }

  TempDir m_files;
  std::vector<Offer> m_offers;

 private:
  void answerOffer() {
    auto* dialog = qobject_cast<FitOfferDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) {
      return;
    }
    Offer offer;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
      offer.text += label->text() + "\n";
    }
    offer.results = static_cast<int>(dialog->findChildren<QRadioButton*>().size());
    offer.fitIsDefault = dialog->fitButton()->isDefault();
    EXPECT_NE(dialog->fitButton()->isDefault(), dialog->keepButton()->isDefault());
    m_offers.push_back(offer);
    if (m_answer) {
      dialog->resultButton(*m_answer)->click();
      dialog->fitButton()->click();
    } else {
      dialog->keepButton()->click();
    }
  }

  QTimer m_offerWatch;
  std::optional<int> m_answer;
};

BmpHeaderSummary headerOf(const std::string& path) {
  const Result<BmpProbe> probe = ProbeBmpFile(path);
  EXPECT_TRUE(probe) << path;
  return probe ? probe->header : BmpHeaderSummary{};
}

TEST_F(PicturePickTest, AMessagePictureOfAnotherSizeIsFittedIntoPicturesBesideTheProject) {
  project().ProjectPath = (m_files / "job.ql3").string();
  const std::string wide = picture("wide.png", "480x96");
  window().showPage(3);
  auto* grid = find<LiftStateGrid>("DrawGrid1");

  answerOffers(0);  // pad
  m_host.answerOpenFile(wide);
  doubleClickCell(grid, 2, 1);
  ASSERT_EQ(m_offers.size(), 1u);
  EXPECT_EQ(m_offers[0].results, 3) << "pad, crop and stretch";
  EXPECT_FALSE(m_offers[0].fitIsDefault) << "the build prepares a PNG: usable as it is";
  EXPECT_TRUE(m_offers[0].text.contains("480 × 96")) << m_offers[0].text.toStdString();
  EXPECT_EQ(project().LiftStateImage[2][1], fittedFile("wide.bmp"));
  EXPECT_TRUE(grid->cellHasPicture(2, 1));
  const Result<BmpProbe> probe = ProbeBmpFile(fittedFile("wide.bmp"));
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->header.width, 240);
  EXPECT_EQ(probe->header.height, 48);
  EXPECT_TRUE(probe->truncatable()) << probe->truncateRefusal;

  // The same picture again finds its file; another of the same name gets a file of its own.
  m_host.answerOpenFile(wide);
  doubleClickCell(grid, 2, 2);
  EXPECT_EQ(project().LiftStateImage[2][2], fittedFile("wide.bmp"));
  fs::create_directory(m_files / "other");
  m_host.answerOpenFile(picture("other/wide.png", "100x100", "PNG", "xc:blue"));
  doubleClickCell(grid, 3, 0);
  EXPECT_EQ(project().LiftStateImage[3][0], fittedFile("wide-2.bmp"));
  EXPECT_EQ(headerOf(fittedFile("wide-2.bmp")).width, 240);
  EXPECT_EQ(DecodePictureFile(fittedFile("wide.bmp"))->Pixel(0, 0), 0xFFFF0000u)
      << "the first file is still the red picture";
}

TEST_F(PicturePickTest, DecliningKeepsTheOriginalAndAPictureTheSlotTakesAsksNothing) {
  window().showPage(3);
  auto* grid = find<LiftStateGrid>("DrawGrid1");
  const std::string wide = picture("wide.png", "480x96");
  answerOffers(std::nullopt);
  m_host.answerOpenFile(wide);
  doubleClickCell(grid, 0, 0);
  ASSERT_EQ(m_offers.size(), 1u);
  EXPECT_EQ(project().LiftStateImage[0][0], wide);
  // The project has no file yet: the fitted copy would go beside the original.
  EXPECT_TRUE(m_offers[0].text.contains("not been saved"));
  EXPECT_TRUE(m_offers[0].text.contains(QString::fromStdString(fittedFile(""))));
  EXPECT_FALSE(fs::exists(m_files / "pictures"));

  // An odd width the build cannot take: fitting is the default.
  m_host.answerOpenFile(picture("odd.bmp", "241x48", "BMP3"));
  doubleClickCell(grid, 0, 1);
  ASSERT_EQ(m_offers.size(), 2u);
  EXPECT_TRUE(m_offers[1].fitIsDefault);
  // Of the right size but in a form the converter does not take: the one result, unscaled.
  m_host.answerOpenFile(picture("right.png", "240x48"));
  doubleClickCell(grid, 0, 2);
  ASSERT_EQ(m_offers.size(), 3u);
  EXPECT_EQ(m_offers[2].results, 1);
  EXPECT_FALSE(m_offers[2].fitIsDefault);

  const std::string right = picture("right.bmp", "240x48", "BMP3");
  m_host.answerOpenFile(right);
  doubleClickCell(grid, 1, 0);
  EXPECT_EQ(m_offers.size(), 3u) << "no offer";
  EXPECT_EQ(project().LiftStateImage[1][0], right);
}

TEST_F(PicturePickTest, PicturesDroppedOnABackgroundRowGoThroughTheSameOfferRowByRow) {
  project().ProjectPath = (m_files / "job.ql3").string();
  window().showPage(2);
  click("CheckBox2");
  find<QTabWidget>("PageControl2")->setCurrentIndex(0);
  auto* list = find<QTableWidget>("StringGrid1");
  const std::string tall = picture("tall.png", "480x720");
  const std::string right = picture("right.bmp", "240x320", "BMP3");

  answerOffers(1);  // crop
  drop(list->viewport(), cellCentre(list, 5, 1), {tall, right});
  ASSERT_TRUE(
      WaitUntil([&] { return project().UserBkGndImage[6] == right; }, std::chrono::seconds(10)));
  ASSERT_EQ(m_offers.size(), 1u) << "the right-sized second picture needs none";
  EXPECT_EQ(m_offers[0].results, 3);
  EXPECT_EQ(project().UserBkGndImage[5], fittedFile("tall.bmp"));
  EXPECT_EQ(list->item(5, 1)->text().toStdString(), fittedFile("tall.bmp"));
  const Result<BmpProbe> probe = ProbeBmpFile(fittedFile("tall.bmp"));
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->header.width, 240);
  EXPECT_EQ(probe->header.height, 320);
  EXPECT_TRUE(probe->diffusable()) << probe->diffuseRefusal;
}

TEST_F(PicturePickTest, AFileThatCannotBeDecodedIsRefusedWithItsReasonAndChangesNothing) {
  const std::string noise = (m_files / "noise.png").string();
  WriteFileBytes(noise, std::string("\x13\x8f\xa2\x07 not a picture \xe1\x55\x02\x99", 24));
  window().showPage(3);
  auto* grid = find<LiftStateGrid>("DrawGrid1");
  const std::string before = project().LiftStateImage[4][0];
  m_host.answerOpenFile(noise);
  doubleClickCell(grid, 4, 0);
  EXPECT_EQ(project().LiftStateImage[4][0], before);
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_NE(m_host.messages()[0].text.find("noise.png"), std::string::npos);

  // Dropped on the logo, the same.
  window().showPage(4);
  const std::string logo = project().STANDBYLOGOBMP;
  auto* box = find<PictureBox>("Image14");
  drop(box, box->rect().center(), {noise});
  ASSERT_TRUE(WaitUntil([&] { return m_host.messages().size() == 2u; }, std::chrono::seconds(10)));
  EXPECT_NE(m_host.messages()[1].text.find("noise.png"), std::string::npos);
  EXPECT_EQ(project().STANDBYLOGOBMP, logo);
  EXPECT_TRUE(m_offers.empty());
}

}  // namespace
}  // namespace tvx::test
