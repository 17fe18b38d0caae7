#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <future>
#include <optional>

#include "app/upload_session.h"
#include "ui/window/build_page.h"
#include "ui/window/build_runner.h"
#include "ui/window/port_combo_box.h"
#include "ui_window_fixture.h"
#include "upload/virtual_indicator.h"
#include "util/error_text.h"

namespace tvx::test {
namespace {

using namespace std::chrono_literals;

class BuildTest : public WindowTest {
 protected:
  void SetUp() override { start(ShippedHome()); }
  void TearDown() override {
    if (m_indicator) {
      m_indicator->stop();
    }
  }

  void start(const std::string& home) {
    open(home);
    window().buildRunner().setScratchParent(m_files.path().string());
    session().setCloseDelay(50ms);
    window().buildPage()->portList()->selectPath(link());
    window().showPage(4);
  }
  UploadSession& session() { return window().uploadSession(); }
  std::string link() const { return (m_files / "indicator").string(); }
  std::string file(const char* name) const { return (m_files / name).string(); }
  std::future<std::optional<UploadTransferSummary>> startIndicator() {
    VirtualIndicatorOptions options;
    options.linkPath = link();
    options.baud = 0;
    m_indicator = std::make_unique<VirtualIndicator>(options);
    const Result<void> opened = m_indicator->open();
    EXPECT_TRUE(opened) << ErrorText(opened.error(), 0);
    return std::async(std::launch::async, [this] { return m_indicator->receiveTransfer(); });
  }
  // Clicks "Build and upload" and keeps the window's loop running until all is over.
  bool buildAndWait(std::chrono::milliseconds timeout = 60s) {
    click("SpeedButton3");
    return WaitUntil([this] { return !window().buildRunner().running() && !session().busy(); },
                     timeout);
  }
  // The memo shows the studio's log line for line.
  QStringList studioLog() {
    QStringList lines;
    for (const std::string& line : studio().log().lines()) {
      lines << QString::fromStdString(line);
    }
    return lines;
  }
  QStringList logLines() {
    const QString text = find<QPlainTextEdit>("Memo1")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }

  TempDir m_files;
  std::unique_ptr<VirtualIndicator> m_indicator;
};

TEST_F(BuildTest, BuildsTheDefaultProjectAndUploadsItWhileTheWindowKeepsRunning) {
  auto received = startIndicator();
  m_host.answerSaveFile(file("tower.ql3"));
  // A timer of the window that must keep ticking while the pictures are converted.
  int ticks = 0;
  bool lockedWhileBuilding = false;
  QTimer heartbeat;
  QObject::connect(&heartbeat, &QTimer::timeout, [&] {
    if (window().buildRunner().running()) {
      ++ticks;
      lockedWhileBuilding = !find<QAction>("N5")->isEnabled() &&
                            !find<QWidget>("SpeedButton3")->isEnabled() &&
                            find<QWidget>("Memo1")->isEnabled();
    }
  });
  heartbeat.start(1);
  QElapsedTimer clock;
  clock.start();
  click("SpeedButton3");
  ASSERT_TRUE(WaitUntil([this] { return !window().buildRunner().running(); }, 60s));
  EXPECT_LT(clock.elapsed(), 30000) << "the default project builds in well under a second";
  ASSERT_TRUE(WaitUntil([this] { return !session().busy(); }, 60s));
  heartbeat.stop();

  ASSERT_TRUE(window().buildRunner().lastResult());
  EXPECT_EQ(window().buildRunner().lastResult()->outcome, BuildOutcome::kBuilt);
  EXPECT_GT(ticks, 0) << "the window's loop ran during the build";
  EXPECT_TRUE(lockedWhileBuilding);
  EXPECT_TRUE(find<QAction>("N5")->isEnabled()) << "unlocked afterwards";
  EXPECT_TRUE(std::filesystem::exists(file("tower.ql3")));
  EXPECT_EQ(std::filesystem::file_size(file("tower.BIN")), 4194304u);
  EXPECT_TRUE(window().windowTitle().endsWith(QString::fromStdString(file("tower.ql3"))));

  const QStringList lines = logLines();
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines[0], "Make....");
  EXPECT_EQ(lines[1], "Force save project...");
  EXPECT_EQ(lines.filter("PacketNum=").size(), 1024);
  EXPECT_EQ(lines.filter("PacketNum=").last().left(16), "PacketNum=3FF , ");
  EXPECT_TRUE(lines.contains(" Build and upload finish!"));
  EXPECT_EQ(lines, studioLog());
  auto* bar = find<QProgressBar>("ProgressBar1");
  EXPECT_EQ(bar->maximum(), 1024);
  EXPECT_EQ(bar->value(), 1024);

  const QString screenshots = qEnvironmentVariable("TVX_SCREENSHOT_DIR");
  if (!screenshots.isEmpty()) {
    QDir().mkpath(screenshots);
    window().grab().save(screenshots + "/page4-built-en.png");
  }

  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_TRUE(summary->allGood()) << summary->describe();
  EXPECT_EQ(summary->packetsGood, 1024u);
  const std::string image = ReadFileBytes(file("tower.BIN"));
  EXPECT_EQ(std::string(summary->image.begin(), summary->image.end()), image);
}

TEST_F(BuildTest, AnEmptyFloorTableStopsBeforeAnyQuestion) {
  window().N2Click();
  project().FloorTable.fill("");
  window().refreshFromStudio();
  window().showPage(4);
  ASSERT_TRUE(buildAndWait());
  EXPECT_EQ(logLines(), QStringList{"Undefine floor code!!"});
  EXPECT_TRUE(m_host.fileRequests().empty());
  EXPECT_EQ(window().buildRunner().lastResult()->outcome, BuildOutcome::kNoFloorCodes);
}

TEST_F(BuildTest, CancellingTheSaveQuestionStopsTheBuild) {
  ASSERT_TRUE(buildAndWait());
  EXPECT_EQ(logLines(),
            (QStringList{"Make....", "Force save project...", "Err: There are no project saved"}));
  ASSERT_EQ(m_host.fileRequests().size(), 1u);
  EXPECT_EQ(m_host.fileRequests()[0].filter, "TVX-880 Project File (*.ql3)|*.ql3");
  EXPECT_EQ(m_host.fileRequests()[0].defaultExtension, "ql3");
  EXPECT_TRUE(find<QWidget>("SpeedButton3")->isEnabled());
}

TEST_F(BuildTest, TheChineseSettingWritesTheLogInChinese) {
  HomeWithSettings home(ShippedSettingsWith({{"LANG=0", "LANG=1"}}));
  start(home.dir());
  ASSERT_TRUE(buildAndWait());
  EXPECT_EQ(logLines(),
            (QStringList{QStringLiteral("製作...."), QStringLiteral("自動儲存專案檔..."),
                         QStringLiteral("錯誤: 專案檔尚未儲存")}));
}

TEST_F(BuildTest, UploadOnlyLeavesTheBuildOut) {
  auto received = startIndicator();
  std::string image(2 * 4096, '\x5A');
  image.replace(0, 8, "KWXGLB2L");
  WriteFileBytes(m_files / "old.BIN", image);
  click("CheckBox1");
  m_host.answerOpenFile(file("old.BIN"));
  ASSERT_TRUE(buildAndWait());
  EXPECT_EQ(window().buildRunner().lastResult()->outcome, BuildOutcome::kUploadOnly);
  EXPECT_FALSE(logLines().contains("Make...."));
  EXPECT_EQ(logLines().front(), "use 32Mb memory.");
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_EQ(summary->packetsGood, 2u);
}

TEST_F(BuildTest, ClosingTheWindowWaitsForTheBuildToEnd) {
  m_host.answerSaveFile(file("tower.ql3"));
  window().buildPage()->portList()->selectPath(file("nowhere"));
  click("SpeedButton3");
  ASSERT_TRUE(window().buildRunner().running());
  window().close();
  EXPECT_TRUE(window().isVisible()) << "not while the build runs";
  ASSERT_TRUE(WaitUntil([this] { return !window().buildRunner().running(); }, 60s));
  // The window closed once the build was over; the wait for the port ended with it.
  EXPECT_FALSE(window().isVisible());
  EXPECT_FALSE(session().busy());
  EXPECT_TRUE(std::filesystem::exists(file("tower.BIN")));
}

}  // namespace
}  // namespace tvx::test
