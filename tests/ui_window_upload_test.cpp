#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <chrono>
#include <future>
#include <optional>

#include "app/upload_session.h"
#include "serial/port_map.h"
#include "support/sound_rom_image.h"
#include "ui/window/build_page.h"
#include "ui/window/build_runner.h"
#include "ui/window/port_combo_box.h"
#include "ui_window_fixture.h"
#include "upload/virtual_indicator.h"
#include "util/error_text.h"

namespace tvx::test {
namespace {

using namespace std::chrono_literals;

// An image as the build writes it: the signature, then bytes that differ from packet to packet.
std::string romImage(std::size_t bytes) {
  std::string image(bytes, '\0');
  for (std::size_t i = 0; i < bytes; ++i) {
    image[i] = static_cast<char>((i * 7 + i / 4096) & 0xFF);
  }
  image.replace(0, 8, "KWXGLB2L");
  return image;
}

class UploadTest : public WindowTest {
 protected:
  void SetUp() override {
    open();
    session().setCloseDelay(50ms);
    session().setPortRetryInterval(30ms);
    window().buildPage()->portList()->selectPath(link());
    window().showPage(4);
  }
  void TearDown() override {
    if (m_indicator) {
      m_indicator->stop();
    }
  }

  UploadSession& session() { return window().uploadSession(); }
  std::string link() const { return (m_files / "indicator").string(); }
  std::string writeImage(const std::string& bytes) {
    WriteFileBytes(m_files / "tower.BIN", bytes);
    return (m_files / "tower.BIN").string();
  }
  // A virtual indicator on its own thread, receiving one transfer; unpaced unless asked.
  std::future<std::optional<UploadTransferSummary>> startIndicator(unsigned baud = 0) {
    VirtualIndicatorOptions options;
    options.linkPath = link();
    options.baud = baud;
    m_indicator = std::make_unique<VirtualIndicator>(options);
    const Result<void> opened = m_indicator->open();
    EXPECT_TRUE(opened) << ErrorText(opened.error(), 0);
    return std::async(std::launch::async, [this] { return m_indicator->receiveTransfer(); });
  }
  // The Qt loop keeps running while the test waits, as the window's does.
  bool waitUntilIdle(std::chrono::milliseconds timeout = 30s) {
    return WaitUntil([this] { return !session().busy(); }, timeout);
  }
  // "Build and upload": the build (here its upload-only branch) runs beside the window; it has
  // handed over to the upload when this returns.
  void pressBuildAndUpload() {
    click("SpeedButton3");
    ASSERT_TRUE(WaitUntil([this] { return !window().buildRunner().running(); }, 10s));
  }
  // Upload only of a whole image over a line of 115200 baud, about 0.36 s a packet.
  std::future<std::optional<UploadTransferSummary>> startSlowUploadOnly() {
    const std::string path = writeImage(SoundRomImage());
    auto received = startIndicator(115200);
    click("CheckBox1");
    m_host.answerOpenFile(path);
    pressBuildAndUpload();
    return received;
  }
  bool waitForPacketsSent(int count) {
    auto* bar = find<QProgressBar>("ProgressBar1");
    return WaitUntil([bar, count] { return bar->value() >= count; }, 20s);
  }
  // The memo shows the studio's log line for line.
  QStringList studioLog() {
    QStringList lines;
    for (const std::string& line : studio().log().lines()) {
      lines << QString::fromStdString(line);
    }
    return lines;
  }
  QStringList logLines() { return find<QPlainTextEdit>("Memo1")->toPlainText().split('\n'); }
  QString caption() { return find<QPushButton>("SpeedButton3")->text(); }

  // What the question about an image that fails its checks showed.
  struct Question {
    QString reasons;
    QString anyway;
    QString cancel;
    bool cancelIsDefault = false;
  };
  // Answers the question each time it shows, as the user does. The upload waits in the
  // dialog's own loop, so the answer comes from a timer of the window's thread.
  void answerUploadAnyway(bool anyway) {
    QObject::connect(&m_questionWatch, &QTimer::timeout, [this, anyway] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible() || box->objectName() != "UploadAnywayDialog") {
        return;
      }
      auto* yes = box->findChild<QPushButton*>("UploadAnywayButton");
      auto* no = box->findChild<QPushButton*>("CancelButton");
      m_questions.push_back(
          {box->informativeText(), yes->text(), no->text(), box->defaultButton() == no});
      (anyway ? yes : no)->click();
    });
    m_questionWatch.start(5);
  }

  TempDir m_files;
  std::unique_ptr<VirtualIndicator> m_indicator;
  QTimer m_questionWatch;
  std::vector<Question> m_questions;
};

// A partial image: the person is asked, and "Upload anyway" sends it.
TEST_F(UploadTest, UploadOnlySendsTheImageWithTheBarReachingItsEnd) {
  const std::string image = romImage(10 * 4096);
  const std::string path = writeImage(image);
  auto received = startIndicator();
  answerUploadAnyway(true);
  click("CheckBox1");
  m_host.answerOpenFile(path);
  pressBuildAndUpload();
  ASSERT_EQ(m_host.fileRequests().size(), 1u);
  EXPECT_EQ(m_host.fileRequests().back().filter, "TVX-880 Upload File (*.bin)|*.bin");
  ASSERT_TRUE(waitUntilIdle());
  ASSERT_EQ(m_questions.size(), 1u);
  EXPECT_EQ(m_questions[0].reasons,
            "its size, 40960 bytes, is not that of a whole 4 MiB or 8 MiB image (a partial file?)");
  EXPECT_EQ(m_questions[0].anyway, "Upload anyway");
  EXPECT_EQ(m_questions[0].cancel, "Cancel");
  EXPECT_TRUE(m_questions[0].cancelIsDefault);

  auto* bar = find<QProgressBar>("ProgressBar1");
  EXPECT_EQ(bar->maximum(), 10);
  EXPECT_EQ(bar->value(), bar->maximum());
  const QStringList lines = logLines();
  EXPECT_EQ(lines.front(), "use 32Mb memory.");
  EXPECT_TRUE(lines.contains(">>> Uploading anyway <<<"));
  EXPECT_TRUE(lines.contains(QString::fromStdString(">>> Open COM " + link() + " <<<")));
  EXPECT_EQ(lines.filter("PacketNum=").size(), 10);
  EXPECT_EQ(lines.filter("PacketNum=").last().left(15), "PacketNum=09 , ");
  EXPECT_TRUE(lines.contains(" Build and upload finish!"));
  EXPECT_EQ(lines.back().toStdString(), ">>> Close COM " + link() + " <<<");
  EXPECT_EQ(caption(), "Build and upload");

  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_TRUE(summary->allGood()) << summary->describe();
  EXPECT_EQ(summary->packetsGood, 10u);
  EXPECT_EQ(std::string(summary->image.begin(), summary->image.end()), image);

  // The next request starts with an empty bar, even one that is refused.
  m_host.answerOpenFile(writeImage(std::string(8192, 'x')));
  pressBuildAndUpload();
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(bar->text(), "");
}

TEST_F(UploadTest, CancelInTheQuestionSendsNothing) {
  answerUploadAnyway(false);
  click("CheckBox1");
  m_host.answerOpenFile(writeImage(romImage(10 * 4096)));
  pressBuildAndUpload();
  ASSERT_EQ(m_questions.size(), 1u);
  EXPECT_FALSE(session().busy());
  EXPECT_EQ(session().lastOutcome(), UploadOutcome::Refused);
  EXPECT_EQ(logLines().back(), "Err: The ROM image is not sent");
  EXPECT_TRUE(logLines().filter("Open COM").isEmpty());
}

// The number chosen has no device: the serial component's box, one line, and nothing else.
TEST_F(UploadTest, APortNumberWithoutADeviceIsMarkedAndSendsNothing) {
  PortComboBox* ports = window().buildPage()->portList();
  platform::CurrentPortMap().setExplicit(19, link());
  ports->refreshPorts();
  ports->selectNumber(19);
  EXPECT_EQ(ports->currentText().toStdString(), "COM 19  " + link() + " (mapped)");
  platform::CurrentPortMap().removeExplicit(19);
  ports->selectNumber(20);
  EXPECT_EQ(ports->currentText(), "COM 20  (no device)");

  click("SpeedButton3");
  EXPECT_FALSE(window().buildRunner().running());
  EXPECT_FALSE(session().busy());
  ASSERT_EQ(m_sink.boxes().size(), 1u);
  EXPECT_EQ(m_sink.boxes()[0].caption, "PcUart1");
  EXPECT_EQ(m_sink.boxes()[0].text, "Invalid value !!!");
  EXPECT_EQ(
      logLines(),
      QStringList{"Err: no device is behind COM 20, nothing was opened (see `tvx880 ports`)"});
}

TEST_F(UploadTest, TheButtonAbortsAnUploadBetweenPackets) {
  auto received = startSlowUploadOnly();
  ASSERT_TRUE(waitForPacketsSent(2));
  EXPECT_EQ(caption(), "Abort transmite");
  click("SpeedButton3");
  EXPECT_FALSE(session().busy());
  EXPECT_FALSE(window().uploadSession().pcUart().pr_Opened());
  EXPECT_EQ(caption(), "Build and upload");
  const QString last = logLines().back();
  EXPECT_EQ(last.toStdString(), ">>> Close COM " + link() + " <<<");
  const int sent = find<QProgressBar>("ProgressBar1")->value();
  EXPECT_EQ(logLines()[logLines().size() - 2],
            QString("Aborted: %1 of 1024 packets sent; the indicator now holds an incomplete "
                    "image, uploading again restores it")
                .arg(sent));
  // No packet goes out after the close.
  QTest::qWait(500);
  EXPECT_EQ(logLines().back(), last);
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_LT(summary->packetsGood, 1024u);
}

TEST_F(UploadTest, WaitingForThePortIsCancelledWithTheSameButton) {
  const std::string path = writeImage(SoundRomImage());
  click("CheckBox1");
  m_host.answerOpenFile(path);
  pressBuildAndUpload();
  EXPECT_EQ(session().state(), UploadState::WaitingForPort);
  EXPECT_EQ(logLines().mid(logLines().size() - 2),
            (QStringList{">> Please insert USB connector..<<",
                         QString::fromStdString(">> Waiting for " + link() +
                                                "; press the button / Ctrl-C to stop <<")}));
  EXPECT_EQ(caption(), "Abort transmite");
  QTest::qWait(100);  // retries go on without blocking the window
  EXPECT_EQ(logLines().filter("Please insert USB").size(), 1);
  click("SpeedButton3");
  EXPECT_FALSE(session().busy());
  EXPECT_EQ(logLines().back(), ">>> Waiting for COM cancelled <<<");
  EXPECT_EQ(caption(), "Build and upload");
}

TEST_F(UploadTest, ClosingTheWindowDuringAnUploadAbortsIt) {
  auto received = startSlowUploadOnly();
  ASSERT_TRUE(waitForPacketsSent(1));
  window().close();
  EXPECT_FALSE(session().busy());
  EXPECT_FALSE(window().uploadSession().pcUart().pr_Opened());
  EXPECT_EQ(logLines().back().toStdString(), ">>> Close COM " + link() + " <<<");
  EXPECT_EQ(logLines(), studioLog());
  ASSERT_EQ(received.wait_for(10s), std::future_status::ready) << "the line was closed";
  m_window.reset();  // and the window goes away without a transfer behind it
}

TEST_F(UploadTest, NewAndLoadProjectWaitForTheTransfer) {
  auto received = startSlowUploadOnly();
  ASSERT_TRUE(waitForPacketsSent(1));
  project().BKG_COLOR = 0x123456;
  const std::size_t dialogs = m_host.fileRequests().size();
  QAction* newProject = find<QAction>("N2");
  QAction* loadProject = find<QAction>("N4");
  ASSERT_TRUE(WaitUntil([&] { return !newProject->isEnabled(); }, 5s));
  EXPECT_FALSE(loadProject->isEnabled());
  EXPECT_FALSE(find<QMenu>("RecentProjects")->isEnabled());
  window().N2Click();
  window().N4Click();
  EXPECT_EQ(project().BKG_COLOR, 0x123456u);
  EXPECT_EQ(logLines().front(), "use 32Mb memory.");
  EXPECT_EQ(m_host.fileRequests().size(), dialogs) << "no dialog while packets go out";
  EXPECT_TRUE(m_questions.empty()) << "nor a question";
  EXPECT_TRUE(session().transferActive());

  click("SpeedButton3");
  received.get();
  EXPECT_TRUE(WaitUntil([&] { return newProject->isEnabled() && loadProject->isEnabled(); }, 5s));
  answerQuestion(QMessageBox::Discard);
  window().N2Click();
  EXPECT_EQ(project().BKG_COLOR, 0u);
  EXPECT_EQ(find<QPlainTextEdit>("Memo1")->toPlainText(), "");
}

TEST_F(UploadTest, ClockSynchronisationSendsOnlyTheClock) {
  auto received = startIndicator();
  window().showPage(1);
  click("RadioButton17");
  window().showPage(4);
  click("CheckBox9");
  EXPECT_EQ(caption(), "Set the clock");
  click("SpeedButton3");
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_TRUE(logLines().contains("   Clock sync. finish!   "));
  EXPECT_EQ(caption(), "Set the clock");
  EXPECT_EQ(find<QProgressBar>("ProgressBar1")->value(), 0);
  click("CheckBox9");
  EXPECT_EQ(caption(), "Build and upload");
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_TRUE(summary->clockSet);
  EXPECT_EQ(summary->packetsGood, 0u);
  EXPECT_EQ(summary->bytesReceived, 64u);
}

TEST_F(UploadTest, AFileWithoutTheSignatureIsRefusedBeforeThePortOpens) {
  const std::string path = writeImage(std::string(8192, 'x'));
  click("CheckBox1");
  m_host.answerOpenFile(path);
  pressBuildAndUpload();
  EXPECT_FALSE(session().busy());
  EXPECT_EQ(logLines(), QStringList{"Err: File format error!"});
  // Cancelling the file dialog logs nothing.
  pressBuildAndUpload();
  EXPECT_EQ(find<QPlainTextEdit>("Memo1")->toPlainText(), "");
}

}  // namespace
}  // namespace tvx::test
