#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <optional>

#include "app/upload_session.h"
#include "rom/rom_readback.h"
#include "rom/rom_sheet.h"
#include "rom/rom_sheet_raster.h"
#include "support/cli_run.h"
#include "support/sound_rom_image.h"
#include "ui/window/build_page.h"
#include "ui/window/build_runner.h"
#include "ui/window/port_combo_box.h"
#include "ui/window/preflight_dialog.h"
#include "ui/window/rom_sheet_window.h"
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

  // What the pre-flight question showed.
  struct Question {
    QString title;
    std::vector<QStringList> rows;  // severity, role, file, problem, fix
    QString cancel;
    QString buildAnyway;
    bool cancelIsDefault = false;
  };
  // Answers the pre-flight question each time it shows, as the user does, and keeps what it
  // showed in m_questions. The build waits in the dialog's own loop, so the answer comes from a
  // timer of the window's thread.
  void answerQuestions(std::function<void(PreflightDialog&)> answer) {
    QObject::connect(&m_questionWatch, &QTimer::timeout, [this, answer] {
      auto* dialog = qobject_cast<PreflightDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) {
        return;
      }
      Question question{dialog->windowTitle(),
                        {},
                        dialog->cancelButton()->text(),
                        dialog->buildAnywayButton()->text(),
                        dialog->cancelButton()->isDefault()};
      const QTableWidget* list = dialog->findingList();
      for (int row = 0; row < list->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column) {
          cells << list->item(row, column)->text();
        }
        question.rows.push_back(cells);
      }
      m_questions.push_back(question);
      answer(*dialog);
    });
    m_questionWatch.start(5);
  }
  // A lift-state picture of an odd width, which the converter refuses and the build does not
  // pad, its name in Big5 as a project made on Windows names it.
  std::string refusedPicture() {
    const std::string written = file("red.bmp");
    const std::string command = "convert -size 241x48 xc:red BMP3:" + ShellQuoted(written);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::string big5 = file("\xAC\xF5\xA6\xE2.bmp");  // 紅色.bmp
    std::filesystem::rename(written, big5);
    return big5;
  }

  TempDir m_files;
  std::unique_ptr<VirtualIndicator> m_indicator;
  QTimer m_questionWatch;
  std::vector<Question> m_questions;
};

TEST_F(BuildTest, BuildsTheDefaultProjectAndUploadsItWhileTheWindowKeepsRunning) {
  auto received = startIndicator();
  m_host.answerSaveFile(file("tower.ql3"));
  answerQuestions([](PreflightDialog& dialog) { dialog.reject(); });
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
  EXPECT_TRUE(m_questions.empty()) << "the shipped project has nothing for the check to find";
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

TEST_F(BuildTest, ProblemsTheCheckFindsAreAskedAboutAndCancelLeavesEverythingAsItWas) {
  project().LiftStateImage[0][0] = refusedPicture();
  WriteFileBytes(m_files / "tower.ql3", "the project as it was");
  m_host.answerSaveFile(file("tower.ql3"));
  answerQuestions([](PreflightDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
  ASSERT_TRUE(buildAndWait());

  ASSERT_EQ(m_questions.size(), 1u);
  const Question& question = m_questions[0];
  EXPECT_EQ(question.title, "Pre-flight check");
  EXPECT_EQ(question.cancel, "Cancel");
  EXPECT_EQ(question.buildAnyway, "Build anyway");
  EXPECT_TRUE(question.cancelIsDefault);
  ASSERT_EQ(question.rows.size(), 1u);
  const QStringList& row = question.rows[0];
  EXPECT_EQ(row[0], "error");
  EXPECT_EQ(row[1], "fire message, first Chinese picture");
  EXPECT_EQ(row[2].toStdString(), file("紅色.bmp"));
  EXPECT_TRUE(row[3].contains("241 pixels wide")) << row[3].toStdString();
  EXPECT_TRUE(row[4].contains("240 × 48")) << row[4].toStdString();

  EXPECT_EQ(window().buildRunner().lastResult()->outcome, BuildOutcome::kCheckRefused);
  EXPECT_TRUE(m_host.fileRequests().empty()) << "the save question is not asked";
  EXPECT_EQ(ReadFileBytes(m_files / "tower.ql3"), "the project as it was");
  EXPECT_FALSE(std::filesystem::exists(file("tower.BIN")));
  EXPECT_EQ(logLines(), QStringList{"Pre-flight check: errors: 1, warnings: 0; build cancelled, "
                                    "nothing saved or built"});
  EXPECT_FALSE(find<QWidget>("SheetButton")->isEnabled());
}

TEST_F(BuildTest, BuildAnywayWritesTheImageTheCheckWarnedAbout) {
  HomeWithSettings home(ShippedSettingsWith({{"LANG=0", "LANG=1"}}));
  start(home.dir());
  window().buildPage()->portList()->selectPath(file("nowhere"));
  project().LiftStateImage[0][0] = refusedPicture();
  m_host.answerSaveFile(file("tower.ql3"));
  answerQuestions([](PreflightDialog& dialog) {
    QTest::mouseClick(dialog.buildAnywayButton(), Qt::LeftButton);
  });
  click("SpeedButton3");
  ASSERT_TRUE(WaitUntil([this] { return !window().buildRunner().running(); }, 60s));

  ASSERT_EQ(m_questions.size(), 1u);
  EXPECT_EQ(m_questions[0].title, QStringLiteral("建置前檢查"));
  EXPECT_EQ(m_questions[0].cancel, QStringLiteral("取消"));
  EXPECT_EQ(m_questions[0].buildAnyway, QStringLiteral("仍然建置"));
  ASSERT_EQ(m_questions[0].rows.size(), 1u);
  EXPECT_EQ(m_questions[0].rows[0][0], QStringLiteral("錯誤"));
  EXPECT_EQ(m_questions[0].rows[0][1], QStringLiteral("火警訊息, 第一張中文圖"));

  EXPECT_EQ(window().buildRunner().lastResult()->outcome, BuildOutcome::kBuilt);
  EXPECT_EQ(std::filesystem::file_size(file("tower.BIN")), 4194304u);
  const QStringList lines = logLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], QStringLiteral("建置前檢查: 錯誤 1 個, 警告 0 個; 使用者選擇仍然建置"));
  EXPECT_EQ(lines.filter(QStringLiteral("摘要: 已存入")).size(), 1)
      << lines.join('\n').toStdString();
  EXPECT_TRUE(
      lines.filter(QStringLiteral("摘要: ")).value(0).contains(QStringLiteral("1 個欄位留空")));
}

TEST_F(BuildTest, AWindowGoneWhileTheQuestionIsOpenAnswersCancel) {
  project().LiftStateImage[0][0] = refusedPicture();
  m_host.answerSaveFile(file("tower.ql3"));
  answerQuestions([this](PreflightDialog&) { m_window.reset(); });
  click("SpeedButton3");
  ASSERT_TRUE(WaitUntil([this] { return m_window == nullptr; }, 60s));
  QCoreApplication::processEvents();
  EXPECT_EQ(m_questions.size(), 1u);
  EXPECT_TRUE(m_host.fileRequests().empty()) << "the build did not go on to save";
  EXPECT_FALSE(std::filesystem::exists(file("tower.BIN")));
  EXPECT_EQ(studio().log().lines().back(),
            "Pre-flight check: errors: 1, warnings: 0; build cancelled, nothing saved or built");
}

// The sheet drawn from the image on disk, as "tvx880 inspect --sheet" draws it.
SheetRaster SheetOfFile(const std::string& path) {
  const std::string text = ReadFileBytes(path);
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  Result<RomSheet> sheet = MakeRomSheet(bytes, InspectRomFile(bytes), "tower.BIN");
  EXPECT_TRUE(sheet) << ErrorText(sheet.error(), 0);
  return sheet ? DrawRomSheet(*sheet) : SheetRaster{};
}

TEST_F(BuildTest, TheSheetButtonShowsWhatTheImageJustBuiltHolds) {
  EXPECT_FALSE(find<QWidget>("SheetButton")->isEnabled()) << "nothing built yet";
  window().buildPage()->portList()->selectPath(file("nowhere"));
  m_host.answerSaveFile(file("tower.ql3"));
  click("SpeedButton3");
  ASSERT_TRUE(WaitUntil([this] { return !window().buildRunner().running(); }, 60s));
  ASSERT_EQ(window().buildRunner().lastResult()->outcome, BuildOutcome::kBuilt);
  ASSERT_TRUE(find<QWidget>("SheetButton")->isEnabled());
  click("SheetButton");
  RomSheetWindow* shown = window().buildPage()->sheetWindow();
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown->isVisible());
  EXPECT_FALSE(shown->isModal());
  EXPECT_EQ(shown->windowTitle(), "What the indicator holds - tower.BIN");
  auto* picture = shown->findChild<QLabel*>("SheetPicture");
  ASSERT_NE(picture, nullptr);
  const QImage image = picture->pixmap().toImage().convertToFormat(QImage::Format_RGB888);
  const SheetRaster raster = SheetOfFile(file("tower.BIN"));
  ASSERT_EQ(image.size(), QSize(raster.width, raster.height));
  int rowsDiffering = 0;
  for (int y = 0; y < raster.height; ++y) {
    const std::size_t row = 3 * static_cast<std::size_t>(raster.width);
    rowsDiffering += std::memcmp(image.constScanLine(y), raster.rgb.data() + y * row, row) != 0;
  }
  EXPECT_EQ(rowsDiffering, 0) << "pixel for pixel at 1:1";

  // An image gone meanwhile: the window says why, in place of the one open.
  std::filesystem::remove(file("tower.BIN"));
  click("SheetButton");
  QCoreApplication::processEvents();
  EXPECT_EQ(window().findChildren<RomSheetWindow*>().size(), 1);
  auto* error = window().buildPage()->sheetWindow()->findChild<QLabel*>("SheetError");
  ASSERT_NE(error, nullptr);
  EXPECT_TRUE(error->text().contains("cannot read")) << error->text().toStdString();
  EXPECT_TRUE(error->text().contains(QString::fromStdString(file("tower.BIN"))));
}

TEST_F(BuildTest, UploadOnlyLeavesTheBuildOut) {
  auto received = startIndicator();
  WriteFileBytes(m_files / "old.BIN", SoundRomImage());
  click("CheckBox1");
  m_host.answerOpenFile(file("old.BIN"));
  ASSERT_TRUE(buildAndWait());
  EXPECT_EQ(window().buildRunner().lastResult()->outcome, BuildOutcome::kUploadOnly);
  EXPECT_FALSE(logLines().contains("Make...."));
  EXPECT_EQ(logLines().front(), "use 32Mb memory.");
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_EQ(summary->packetsGood, 1024u);
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
