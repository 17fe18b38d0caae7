#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/build_log.h"
#include "serial/pc_uart.h"
#include "serial/port_map.h"
#include "upload/upload_engine.h"
#include "util/event_loop.h"

namespace tvx {

// What a front end shows of the session besides the log: the button, the progress bar and
// every change of UploadSession::state(). Called on the user-interface thread.
class UploadView {
 public:
  virtual ~UploadView() = default;
  virtual void setButtonCaption(const std::string& caption) = 0;
  virtual void setProgressMaximum(int maximum) = 0;
  // The packet just sent, counted from 0.
  virtual void setProgressPosition(int position) = 0;
  virtual void stateChanged() = 0;
  // The "COM n" chosen has no device behind it; the log says so already.
  virtual void noDeviceBehind(unsigned /*number*/) {}
};

// The running program's one upload session, shared by the window and the command line: the
// serial port PcUart1 with its stored settings, the upload engine with its Timer1, and the
// state of the transfer. Log lines go to the log given, the rest to the view. Runs on the
// user-interface thread.
//
// Configure it before a request (each setting stays until it is set again): setLanguage(LANG),
// setMemorySetting(MEM), setPort(the port chosen), setClockSync(CheckBox9),
// setReceiveDump(CheckBox7); prepareHeader() once at start-up.
class UploadSession : private UploadHost {
 public:
  // The log, and the loop (null: the user-interface loop of the moment), must outlive the
  // session.
  explicit UploadSession(BuildLog& log, EventLoop* loop = nullptr);
  // Closes the port of a transfer still running.
  ~UploadSession() override;
  UploadSession(const UploadSession&) = delete;
  UploadSession& operator=(const UploadSession&) = delete;

  // Null: nothing is shown besides the log.
  void setView(UploadView* view) { m_view = view; }

  void setLanguage(unsigned lang) {
    m_lang = lang;
    m_engine.setLanguage(lang);
  }
  void setMemorySetting(unsigned mem) {
    m_mem = mem;
    m_engine.setMemorySetting(mem);
  }
  // The header's fixed bytes are written only when the picture library was found; without
  // them every upload is refused with a log line.
  void prepareHeader(bool libraryFound);
  // A "COM n" (any n: the device the port map gives it when a transfer starts; none refuses
  // the transfer) or a device path.
  void setPort(const platform::PortName& port);
  // Upload only, an image that fails its checks (each reason logged already): true sends it
  // anyway. Without an answer it is refused.
  using UploadAnyway = std::function<bool(const std::vector<std::string>& reasons)>;
  void setUploadAnyway(UploadAnyway answer) { m_uploadAnyway = std::move(answer); }
  void setClockSync(bool checked) { m_engine.setClockSync(checked); }
  void setReceiveDump(bool checked) { m_engine.setReceiveDump(checked); }
  void setCloseDelay(std::chrono::milliseconds delay) { m_engine.setCloseDelay(delay); }
  void setPortRetryInterval(std::chrono::milliseconds interval) {
    m_engine.setPortRetryInterval(interval);
  }

  // The button (SpeedButton3): aborts while busy, else sets the clock when the clock box is
  // checked, else runs the build, which hands its image back through startUpload.
  void SpeedButton3Click(const std::function<void()>& buildAndUpload) {
    m_engine.SpeedButton3Click(buildAndUpload);
  }
  // Uploads the ROM image the build has just written; false when it was refused or a
  // transfer is already running.
  bool startUpload(const std::string& romImagePath) { return m_engine.StartUpload(romImagePath); }
  // Checks an image the user picked (signature and size against the memory, then as
  // `tvx880 inspect` checks it) and uploads it.
  bool startUploadOnly(const std::string& path) { return m_engine.StartUploadOnly(path); }
  bool startClockSync() { return m_engine.StartClockSync(); }
  // Ends a transfer or the wait for the port; nothing when idle.
  void abort();

  UploadState state() const { return m_engine.state(); }
  bool busy() const { return m_engine.busy(); }
  // The port is open for a transfer (until Timer1 or the button closes it).
  bool transferActive() const { return m_engine.transferActive(); }
  UploadOutcome lastOutcome() const { return m_engine.lastOutcome(); }
  // Why the last request ended PortUnusable.
  const std::optional<Error>& portError() const { return m_engine.portError(); }
  int packetCount() const { return m_engine.packetCount(); }
  int packetIndex() const { return m_engine.packetIndex(); }
  std::size_t imageBytes() const { return m_engine.imageBytes(); }
  const UploadHeader& header() const { return m_engine.header(); }
  KwxCtrl::TPcUart& pcUart() { return m_uart; }

 private:
  void clearLog() override { m_log.clear(); }
  void logLine(const std::string& line) override { m_log.add(line); }
  void setButtonCaption(const std::string& caption) override;
  void setProgressMaximum(int maximum) override;
  void setProgressPosition(int position) override;
  void stateChanged() override;
  void noDeviceBehind(unsigned number) override;
  bool vetImage(const std::vector<std::uint8_t>& image);

  BuildLog& m_log;
  unsigned m_lang = 0;
  unsigned m_mem = 0;
  UploadAnyway m_uploadAnyway;
  UploadView* m_view = nullptr;
  KwxCtrl::TPcUart m_uart;  // PcUart1
  UploadEngine m_engine;    // destroyed before the port it uses
};

}  // namespace tvx
