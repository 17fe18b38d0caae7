#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "app/build_log.h"
#include "app/upload_session.h"
#include "serial/port_map.h"
#include "support/temp_dir.h"
#include "upload/virtual_indicator.h"
#include "util/error_text.h"
#include "util/local_event_loop.h"

namespace tvx {
namespace {

using namespace std::chrono_literals;

class RecordingView : public UploadView {
 public:
  explicit RecordingView(const UploadSession& session) : m_session(session) {}

  void setButtonCaption(const std::string& caption) override { captions.push_back(caption); }
  void setProgressMaximum(int value) override { maximum = value; }
  void setProgressPosition(int value) override { position = value; }
  void stateChanged() override { states.push_back(m_session.state()); }
  void noDeviceBehind(unsigned number) override { noDevice.push_back(number); }

  std::vector<std::string> captions;
  std::vector<UploadState> states;
  int maximum = -1;
  int position = -1;
  std::vector<unsigned> noDevice;

 private:
  const UploadSession& m_session;
};

TEST(UploadSessionTest, TheHeaderHasItsFixedBytesOnlyWithThePictureLibrary) {
  LocalEventLoop loop;
  BuildLog log;
  UploadSession withoutLibrary(log, &loop);
  withoutLibrary.prepareHeader(false);
  EXPECT_EQ(withoutLibrary.header().bytes(), UploadHeader().bytes());

  UploadSession withLibrary(log, &loop);
  withLibrary.prepareHeader(true);
  std::array<std::uint8_t, kUploadHeaderBytes> expected{};
  for (const auto& [offset, value] :
       {std::pair{0, 0x02}, {2, 0x6A}, {3, 0x53}, {9, 0x10}, {14, 0x02}, {15, 0x03}}) {
    expected[offset] = value;
  }
  EXPECT_EQ(withLibrary.header().bytes(), expected);
}

// A "COM 17" beyond the serial component's numbers, mapped to the indicator's line.
TEST(UploadSessionTest, AnImageGoesOutThroughAMappedPortWithItsLogAndView) {
  test::TempDir dir;
  const std::string link = (dir / "indicator").string();
  std::string image(3 * kUploadPayloadBytes, '\x5A');
  image.replace(0, 8, "KWXGLB2L");
  test::WriteFileBytes(dir / "tower.BIN", image);

  VirtualIndicatorOptions options;
  options.linkPath = link;
  options.baud = 0;
  VirtualIndicator indicator(options);
  const Result<void> opened = indicator.open();
  ASSERT_TRUE(opened) << ErrorText(opened.error(), 0);
  auto received = std::async(std::launch::async, [&] { return indicator.receiveTransfer(); });

  LocalEventLoop loop;
  BuildLog log;
  UploadSession session(log, &loop);
  RecordingView view(session);
  session.setView(&view);
  session.setLanguage(0);
  session.prepareHeader(true);
  session.setCloseDelay(10ms);
  platform::CurrentPortMap().setExplicit(17, link);
  session.setPort(*platform::ParsePortName("COM 17"));
  ASSERT_TRUE(session.startUpload((dir / "tower.BIN").string()));
  EXPECT_TRUE(loop.runUntil([&] { return !session.busy(); }, 20s));
  platform::CurrentPortMap().removeExplicit(17);

  const std::optional<UploadTransferSummary> summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_TRUE(summary->allGood()) << summary->describe();
  EXPECT_EQ(std::string(summary->image.begin(), summary->image.end()), image);
  EXPECT_EQ(session.lastOutcome(), UploadOutcome::Completed);
  EXPECT_FALSE(session.pcUart().pr_Opened());

  ASSERT_FALSE(log.lines().empty());
  EXPECT_EQ(log.lines().front(), ">>> Open COM 17 <<<");
  EXPECT_EQ(log.lines().back(), ">>> Close COM 17 <<<");
  EXPECT_EQ(view.captions, (std::vector<std::string>{"Abort transmite", "Build and upload"}));
  EXPECT_EQ(view.maximum, 3);
  EXPECT_EQ(view.position, 2);
  EXPECT_EQ(view.states, (std::vector<UploadState>{UploadState::Sending, UploadState::Finished,
                                                   UploadState::Idle}));
}

// The port used last is mapped, the one chosen now is not: nothing is opened at all.
TEST(UploadSessionTest, AnUnmappedNumberOpensNothing) {
  test::TempDir dir;
  std::string image(kUploadPayloadBytes, '\x5A');
  image.replace(0, 8, "KWXGLB2L");
  test::WriteFileBytes(dir / "tower.BIN", image);
  LocalEventLoop loop;
  BuildLog log;
  UploadSession session(log, &loop);
  RecordingView view(session);
  session.setView(&view);
  session.setLanguage(0);
  session.prepareHeader(true);
  platform::CurrentPortMap().setExplicit(2, "/dev/null");
  session.setPort(*platform::ParsePortName("COM 2"));
  EXPECT_FALSE(session.startClockSync());
  session.setPort(*platform::ParsePortName("COM 17"));
  EXPECT_FALSE(session.startUpload((dir / "tower.BIN").string()));
  platform::CurrentPortMap().removeExplicit(2);

  EXPECT_EQ(session.lastOutcome(), UploadOutcome::PortUnusable);
  ASSERT_TRUE(session.portError().has_value());
  EXPECT_EQ(ErrorText(*session.portError(), 0),
            "no device is behind COM 17, nothing was opened (see `tvx880 ports`)");
  EXPECT_EQ(view.noDevice, std::vector<unsigned>{17});
  EXPECT_FALSE(session.pcUart().pr_Opened());
  EXPECT_TRUE(session.pcUart().pr_OpenedPath().empty());
  EXPECT_TRUE(view.states.empty());
}

}  // namespace
}  // namespace tvx
