#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "serial/custom_uart.h"
#include "upload/upload_header.h"
#include "upload/upload_texts.h"
#include "util/event_loop.h"
#include "util/loop_timer.h"
#include "util/result.h"

namespace tvx {

// Where the upload shows what it does: the build page's log memo (Memo1), button
// (SpeedButton3) and progress bar (ProgressBar1). Called on the UI thread.
class UploadHost {
 public:
  virtual ~UploadHost() = default;
  virtual void clearLog() = 0;
  virtual void logLine(const std::string& line) = 0;
  virtual void setButtonCaption(const std::string& caption) = 0;
  virtual void setProgressMaximum(int maximum) = 0;
  virtual void setProgressPosition(int position) = 0;
  // Every change of UploadEngine::state(); the command line waits for Idle with it.
  virtual void stateChanged() {}
  // The "COM n" chosen has no device behind it (logged already): the window shows the serial
  // component's box for a number it does not take.
  virtual void noDeviceBehind(unsigned /*number*/) {}
};

enum class UploadState {
  Idle,            // nothing running, port closed
  WaitingForPort,  // the port did not open; trying again every 300 ms
  Sending,         // port open, one packet per transmitter-empty event
  Finished,        // banner logged; Timer1 closes the port shortly
};

// How the last transfer ended (for the command line's exit status).
enum class UploadOutcome {
  None,       // nothing has run yet, or one is running
  Completed,  // every packet (or the clock packet) went out and the port was closed
  Refused,    // the image was unreadable, empty or failed its checks; nothing was opened
  Aborted,    // the button (Ctrl-C) closed the port or cancelled the wait for it
  PortLost,   // the device vanished mid-transfer
  // The port cannot be used (no device behind the number, no permission, no serial port);
  // nothing was sent. UploadEngine::portError() says why.
  PortUnusable,
};

// Puts the settings that the main window's form stores for PcUart1 on a port: 115200 baud,
// 8 data bits, transmit queue 8192, receive queue 1024, interval timeout 3, delimiter line feed,
// packet size 1. The port number stays as it is.
void ApplyStoredPcUart1Settings(YVclCtrl::TCustomUart& uart);

// Sends ROM images and the clock to the indicator over the main window's port (PcUart1). Runs
// on the UI thread; each transmitter-empty event of the port sends the next packet, Timer1
// closes the port 2500 ms after the last one.
//
// What the caller passes (plain values of the settings and the build page):
//   setLanguage(LANG), setMemorySetting(MEM), setPortNumber(ComboBox2 index + 1) or
//   setPortPath(device), setClockSync(CheckBox9), setReceiveDump(CheckBox7),
//   and writeHeaderFixedBytes() at start-up when "T880_PCGLB.GLB" was found (without it the
//   upload is refused with a log line).
// The engine binds the port's OnTxdEmpty and OnRxdDatas. Its timers run on the loop given (else
// the UI loop when a timer starts), which must be the port's loop too and outlive the engine.
class UploadEngine {
 public:
  using Clock = std::function<LocalDateTime()>;

  UploadEngine(UploadHost& host, YVclCtrl::TCustomUart& uart, EventLoop* loop = nullptr);
  ~UploadEngine();
  UploadEngine(const UploadEngine&) = delete;
  UploadEngine& operator=(const UploadEngine&) = delete;

  // Settings.
  void setLanguage(unsigned lang) { m_english = lang == 0; }
  void setMemorySetting(unsigned mem) { m_memory64 = mem == 64; }
  void setClockSync(bool checked) { m_clockSyncChecked = checked; }
  void setReceiveDump(bool checked) { m_receiveDump = checked; }
  // "COM n" of the port list, any n: each transfer opens the device the port map gives it then,
  // and is refused when there is none.
  void setPortNumber(unsigned number);
  // A device path used as it is ("/dev/ttyUSB0", the virtual indicator's link).
  void setPortPath(const std::string& path);
  void setCloseDelay(std::chrono::milliseconds delay) { m_closeDelay = delay; }
  void setPortRetryInterval(std::chrono::milliseconds interval) { m_retryInterval = interval; }
  void setClock(Clock clock) { m_clock = std::move(clock); }
  void writeHeaderFixedBytes() { m_header.writeFixedBytes(); }
  // Upload only: asked about the image once the engine's own checks passed, before the port is
  // opened; false refuses it (the vetting logs why).
  using ImageVetting = std::function<bool(const std::vector<std::uint8_t>& image)>;
  void setImageVetting(ImageVetting vetting) { m_vetImage = std::move(vetting); }

  // The build page's button: aborts while busy, else sets the clock (CheckBox9) or runs the
  // build, which ends in StartUpload (or in StartUploadOnly when "upload only" is checked).
  // A port number with no device behind it is refused first: nothing is built or sent.
  void SpeedButton3Click(const std::function<void()>& buildAndUpload);
  // Uploads the ROM image the build has just written. False (and Idle) when the image cannot
  // be read or is empty, or an upload is already running.
  bool StartUpload(const std::string& path);
  // The upload-only branch for a file the user picked: clears the log, checks the image's
  // signature and size against the memory setting, then uploads it.
  bool StartUploadOnly(const std::string& path);
  bool StartClockSync();
  void SendNextUploadPacket();
  // The button while busy: stops waiting for the port, or closes the port of a transfer.
  void Abort();
  void Timer1Timer();
  void PcUart1TxdEmpty(platform::TComponent* sender);
  void PcUart1RxdDatas(platform::TComponent* sender, int bytes, char* datas);

  UploadState state() const { return m_state; }
  bool busy() const { return m_state != UploadState::Idle; }
  bool transferActive() const { return m_transferActive; }
  UploadOutcome lastOutcome() const { return m_outcome; }
  const UploadHeader& header() const { return m_header; }
  int packetCount() const { return m_packetCount; }
  int packetIndex() const { return m_packetIndex; }
  std::size_t imageBytes() const { return m_imageBytes; }
  // What the port is called in the log: the number, or the device path.
  std::string portLabel() const;
  // Why the last request ended PortUnusable.
  const std::optional<Error>& portError() const { return m_portError; }

 private:
  enum class Kind { Upload, ClockSync };

  void log(const std::string& line) { m_host.logLine(line); }
  std::string text(const BilingualText& bilingual) const {
    return std::string(bilingual.pick(m_english));
  }
  // Reads the image whole; false (logged, Refused) when it cannot be read or is empty.
  bool loadImage(const std::string& path);
  void cutIntoPackets();
  bool refuse(const std::string& line);
  // Clears the progress of the last transfer and the reasons of the last request.
  void beginRequest();
  bool portKnown() const;
  // The device of the port chosen; nullopt (logged, PortUnusable) when a number has none.
  std::optional<std::string> resolvePort();
  // "COM 3 (/dev/ttyUSB0)", or the device path given.
  std::string portDescription() const;
  // False (Idle) when the port was refused.
  bool openPortForTransfer();
  // One try: opens, waits (absent, in use) or stops (no permission, no serial port).
  void tryOpen();
  void refusePort(const BilingualText& sentence);
  void retryOpen();
  void portOpened();
  void beginSending();
  void sendClockPacket();
  void finishTransfer();
  // True when the write failed because the device is gone; the transfer is then stopped.
  bool stopIfPortLost(int sendResult);
  void closeTransfer(UploadOutcome outcome);
  void setState(UploadState state);
  void releaseImage();
  LocalDateTime now() const { return m_clock ? m_clock() : CurrentLocalDateTime(); }

  UploadHost& m_host;
  YVclCtrl::TCustomUart& m_uart;
  EventLoop* m_loop;

  bool m_english = false;
  bool m_memory64 = false;
  bool m_clockSyncChecked = false;
  bool m_receiveDump = false;
  std::optional<unsigned> m_portNumber;
  std::string m_portPath;
  std::optional<Error> m_portError;
  // What the wait for the port last logged, so that each reason is said once.
  platform::SerialOpenError m_waitReason = platform::SerialOpenError::None;
  ImageVetting m_vetImage;
  std::chrono::milliseconds m_closeDelay{2500};
  std::chrono::milliseconds m_retryInterval{300};
  Clock m_clock;

  UploadHeader m_header;
  UploadState m_state = UploadState::Idle;
  UploadOutcome m_outcome = UploadOutcome::None;
  Kind m_kind = Kind::Upload;
  bool m_transferActive = false;
  std::vector<std::uint8_t> m_image;  // whole packets: the file, padded with 0xFF
  std::size_t m_imageBytes = 0;       // the file's own size
  std::size_t m_cursor = 0;
  int m_packetCount = 0;
  int m_packetIndex = 0;
  std::chrono::steady_clock::time_point m_startTime;
  LoopTimer m_timer1;
  LoopTimer m_retryTimer;
};

}  // namespace tvx
