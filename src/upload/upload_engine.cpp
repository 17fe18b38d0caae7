#include "upload/upload_engine.h"

#include <cstring>

#include "serial/port_map.h"
#include "util/crc8.h"
#include "util/error_text.h"
#include "util/file_bytes.h"
#include "util/printf_format.h"
#include "util/rom_image_format.h"

namespace tvx {

using YVclUtil::FormatPrintf;
namespace text = upload_text;

void ApplyStoredPcUart1Settings(YVclCtrl::TCustomUart& uart) {
  uart.pw_UartBaud(115200);
  uart.pw_UartBitsPerByte(8);
  uart.pw_SysUartTxdQueueSize(8192);
  uart.pw_SysUartRxdQueueSize(1024);
  uart.pw_SysUartRxdIntervalTimeout(3);
  uart.pw_RxdFilter_DelimiterChar('\n');
  uart.pw_RxdFilter_BytesOfPacket(1);
}

UploadEngine::UploadEngine(UploadHost& host, YVclCtrl::TCustomUart& uart, EventLoop* loop)
    : m_host(host),
      m_uart(uart),
      m_loop(loop != nullptr ? loop : UiEventLoop()),
      m_timer1(m_loop),
      m_retryTimer(m_loop) {
  m_timer1.pw_OnTimer([this] { Timer1Timer(); });
  m_retryTimer.pw_OnTimer([this] { retryOpen(); });
  m_uart.pw_OnTxdEmpty([this](platform::TComponent* sender) { PcUart1TxdEmpty(sender); });
  m_uart.pw_OnRxdDatas([this](platform::TComponent* sender, int bytes, char* datas) {
    PcUart1RxdDatas(sender, bytes, datas);
  });
}

UploadEngine::~UploadEngine() {
  m_timer1.pw_Enabled(false);
  m_retryTimer.pw_Enabled(false);
  if (m_transferActive) {
    m_uart.Close();
  }
  m_uart.pw_OnTxdEmpty(nullptr);
  m_uart.pw_OnRxdDatas(nullptr);
}

void UploadEngine::setPortNumber(unsigned number) {
  m_portNumber = number;
  m_portPath.clear();
}

void UploadEngine::setPortPath(const std::string& path) {
  m_portPath = path;
  m_portNumber.reset();
}

std::string UploadEngine::portLabel() const {
  if (!m_portPath.empty()) {
    return m_portPath;
  }
  return std::to_string(m_portNumber.value_or(m_uart.pr_UartPortNumber()));
}

std::string UploadEngine::portDescription() const {
  if (!m_portPath.empty()) {
    return m_portPath;
  }
  return "COM " + portLabel() + " (" + m_uart.pr_UartDevicePath() + ")";
}

void UploadEngine::setState(UploadState state) {
  if (m_state != state) {
    m_state = state;
    m_host.stateChanged();
  }
}

// ---- Starting ---------------------------------------------------------------------------

void UploadEngine::SpeedButton3Click(const std::function<void()>& buildAndUpload) {
  if (busy()) {
    Abort();
    return;
  }
  beginRequest();
  if (!portKnown()) {
    // Refused before anything is built: the log then holds only why.
    m_host.clearLog();
    resolvePort();
    return;
  }
  if (m_clockSyncChecked) {
    StartClockSync();
  } else if (buildAndUpload) {
    buildAndUpload();
  }
}

bool UploadEngine::loadImage(const std::string& path) {
  Result<std::vector<std::uint8_t>> image = ReadFileBytes(path);
  if (!image) {
    return refuse(text(text::kImageUnreadable) + path + " (" +
                  ErrorReason(image.error(), m_english ? 0 : 1) + ")");
  }
  m_image = std::move(image).value();
  if (m_image.empty()) {
    return refuse(text(text::kImageEmpty) + path);
  }
  return true;
}

void UploadEngine::cutIntoPackets() {
  m_imageBytes = m_image.size();
  m_packetCount = static_cast<int>((m_imageBytes + kUploadPayloadBytes - 1) / kUploadPayloadBytes);
  // Every packet carries 4096 bytes; the last one is filled up as erased flash reads.
  m_image.resize(static_cast<std::size_t>(m_packetCount) * kUploadPayloadBytes, 0xFF);
}

bool UploadEngine::refuse(const std::string& line) {
  log(line);
  releaseImage();
  m_outcome = UploadOutcome::Refused;
  return false;
}

void UploadEngine::beginRequest() {
  m_outcome = UploadOutcome::None;
  m_portError.reset();
  m_host.setProgressMaximum(0);
}

bool UploadEngine::StartUpload(const std::string& path) {
  if (busy()) {
    return false;
  }
  beginRequest();
  if (!m_header.fixedBytesWritten()) {
    return refuse(text(text::kNoHeader));
  }
  // The image is read before the port is opened, so that an unreadable one leaves all idle.
  if (!loadImage(path)) {
    return false;
  }
  cutIntoPackets();
  m_kind = Kind::Upload;
  return openPortForTransfer();
}

bool UploadEngine::StartUploadOnly(const std::string& path) {
  if (busy()) {
    return false;
  }
  m_host.clearLog();
  beginRequest();
  if (!m_header.fixedBytesWritten()) {
    return refuse(text(text::kNoHeader));
  }
  if (!loadImage(path)) {
    return false;
  }
  if (m_image.size() < kGlbSignature.size() ||
      std::memcmp(m_image.data(), kGlbSignature.data(), kGlbSignature.size()) != 0) {
    return refuse(text(text::kFormatError));
  }
  if (m_image.size() > (m_memory64 ? kRomImageSize64 : kRomImageSize32)) {
    return refuse(text(text::kOutOfMemory));
  }
  log(std::string(text(text::kUseMemoryHead)) + (m_memory64 ? "64Mb" : "32Mb") +
      text(text::kUseMemoryTail));
  if (m_vetImage && !m_vetImage(m_image)) {
    releaseImage();
    m_outcome = UploadOutcome::Refused;
    return false;
  }
  cutIntoPackets();
  m_kind = Kind::Upload;
  return openPortForTransfer();
}

bool UploadEngine::StartClockSync() {
  if (busy()) {
    return false;
  }
  m_host.clearLog();
  beginRequest();
  if (!m_header.fixedBytesWritten()) {
    return refuse(text(text::kNoHeader));
  }
  m_startTime = std::chrono::steady_clock::now();
  m_kind = Kind::ClockSync;
  return openPortForTransfer();
}

// ---- The port ---------------------------------------------------------------------------

bool UploadEngine::portKnown() const {
  return !m_portPath.empty() ||
         platform::CurrentPortMap().resolve(m_portNumber.value_or(m_uart.pr_UartPortNumber()));
}

std::optional<std::string> UploadEngine::resolvePort() {
  if (!m_portPath.empty()) {
    return m_portPath;
  }
  const unsigned number = m_portNumber.value_or(m_uart.pr_UartPortNumber());
  if (std::optional<std::string> device = platform::CurrentPortMap().resolve(number)) {
    return device;
  }
  m_portError = Error::Stated("COM " + std::to_string(number), text::kNoDeviceBehind);
  log(text(text::kErrorHead) + ErrorText(*m_portError, m_english ? 0 : 1));
  releaseImage();
  m_outcome = UploadOutcome::PortUnusable;
  m_host.noDeviceBehind(number);
  return std::nullopt;
}

bool UploadEngine::openPortForTransfer() {
  if (m_uart.pr_Opened()) {
    m_uart.Close();
  }
  // The device is looked up now, for this transfer alone: a number without one opens nothing.
  const std::optional<std::string> device = resolvePort();
  if (!device) {
    return false;
  }
  m_uart.pw_UartDevicePath(*device);
  m_waitReason = platform::SerialOpenError::None;
  tryOpen();
  return busy();
}

void UploadEngine::tryOpen() {
  using platform::SerialOpenError;
  if (m_uart.Open()) {
    m_retryTimer.pw_Enabled(false);
    portOpened();
    return;
  }
  SerialOpenError reason = m_uart.pr_LastOpenError();
  switch (reason) {
    case SerialOpenError::AccessDenied:
      refusePort(text::kPortPermission);
      return;
    case SerialOpenError::NotATerminal:
      refusePort(text::kPortNotSerial);
      return;
    case SerialOpenError::InUse:
      if (m_waitReason != reason) {
        log(FillIn(text(text::kPortInUse), {portDescription()}));
      }
      break;
    default:
      // Absent, or failing in a way that plugging it in again may cure.
      reason = SerialOpenError::NotFound;
      if (m_waitReason != reason) {
        log(text(text::kInsertUsb));
        log(FillIn(text(text::kWaitingForPort), {portDescription()}));
      }
      break;
  }
  m_waitReason = reason;
  if (m_state != UploadState::WaitingForPort) {
    // The loop keeps running while the port is awaited, and the button cancels the wait.
    setState(UploadState::WaitingForPort);
    m_retryTimer.pw_Interval(m_retryInterval);
    m_retryTimer.pw_Enabled(true);
  }
}

void UploadEngine::refusePort(const BilingualText& sentence) {
  m_retryTimer.pw_Enabled(false);
  m_portError = Error::Stated(portDescription(), sentence);
  log(text(text::kErrorHead) + ErrorText(*m_portError, m_english ? 0 : 1));
  releaseImage();
  m_outcome = UploadOutcome::PortUnusable;
  setState(UploadState::Idle);
}

void UploadEngine::retryOpen() {
  if (m_state != UploadState::WaitingForPort) {
    m_retryTimer.pw_Enabled(false);
    return;
  }
  tryOpen();
}

void UploadEngine::portOpened() {
  m_transferActive = true;
  setState(UploadState::Sending);
  log(text(text::kOpenCom) + portLabel() + text::kComTail);
  m_host.setButtonCaption(text(text::kButtonAbort));
  log(text(text::kUploadStart));
  log(text(text::kWaitingTarget));
  if (m_kind == Kind::ClockSync) {
    sendClockPacket();
  } else {
    beginSending();
  }
}

void UploadEngine::beginSending() {
  m_cursor = 0;
  m_host.setProgressMaximum(m_packetCount);
  m_startTime = std::chrono::steady_clock::now();
  m_packetIndex = 0;
  SendNextUploadPacket();
}

void UploadEngine::sendClockPacket() {
  m_header.setClock(now());
  m_header.setClockMarker(kClockMarkerSet);
  const int result = m_uart.SendData(kUploadHeaderBytes, m_header.data());
  m_packetCount = 1;
  m_packetIndex = 1;
  stopIfPortLost(result);
}

// ---- Sending ----------------------------------------------------------------------------

void UploadEngine::PcUart1TxdEmpty(platform::TComponent* /*sender*/) {
  if (m_state == UploadState::Sending) {
    SendNextUploadPacket();
  }
}

void UploadEngine::SendNextUploadPacket() {
  if (m_packetIndex == 0) {
    m_header.setClock(now());
    m_header.setClockMarker(kClockMarkerSet);
  }
  if (m_packetIndex < m_packetCount) {
    const std::uint8_t* payload = m_image.data() + m_cursor;
    const std::uint8_t crc = YVclUtil::Crc8Maxim(payload, kUploadPayloadBytes);
    m_header.setPacketNumber(static_cast<std::uint32_t>(m_packetIndex));
    m_header.setCrc(crc);
    // A merely slow or short write does not stop the transfer: the indicator is not asked
    // for an answer and the next packet follows. A device that is gone does.
    if (stopIfPortLost(m_uart.SendData(kUploadHeaderBytes, m_header.data())) ||
        stopIfPortLost(m_uart.SendData(kUploadPayloadBytes, payload))) {
      return;
    }
    log(FormatPrintf("PacketNum=%02X , CRC = %02X", static_cast<unsigned>(m_packetIndex), crc));
    m_host.setProgressPosition(m_packetIndex);
    m_cursor += kUploadPayloadBytes;
    ++m_packetIndex;
    m_header.setClockMarker(kClockMarkerKeep);
    return;
  }
  finishTransfer();
}

void UploadEngine::finishTransfer() {
  // Measured on a steady clock: a transfer across midnight still gives its true length.
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - m_startTime);
  log(text(text::kTimeHead) + std::to_string(elapsed.count()) + text::kTimeTail);
  log(text::kBannerRule);
  log(text(m_kind == Kind::ClockSync ? text::kClockFinish : text::kUploadFinish));
  log(text::kBannerRule);
  setState(UploadState::Finished);
  m_timer1.pw_Interval(m_closeDelay);
  m_timer1.pw_Enabled(true);
  releaseImage();
}

bool UploadEngine::stopIfPortLost(int sendResult) {
  if (sendResult != YVclCtrl::usr_WriteFailed || !m_uart.pr_DeviceLost()) {
    return false;
  }
  log(text(text::kPortLost) + FormatPrintf("%02X", static_cast<unsigned>(m_packetIndex)));
  closeTransfer(UploadOutcome::PortLost);
  return true;
}

// ---- Ending -----------------------------------------------------------------------------

void UploadEngine::Timer1Timer() {
  m_timer1.pw_Enabled(false);
  // Only a finished transfer is closed here: a click that already closed it must not make
  // the timer start another build.
  if (m_transferActive) {
    closeTransfer(UploadOutcome::Completed);
  }
}

void UploadEngine::Abort() {
  if (m_state == UploadState::WaitingForPort) {
    m_retryTimer.pw_Enabled(false);
    log(text(text::kWaitCancelled));
    releaseImage();
    m_outcome = UploadOutcome::Aborted;
    setState(UploadState::Idle);
    return;
  }
  if (!m_transferActive) {
    return;
  }
  if (m_state == UploadState::Finished) {
    closeTransfer(UploadOutcome::Completed);
    return;
  }
  if (m_kind == Kind::Upload) {
    log(FillIn(text(text::kIncompleteImage),
               {std::to_string(m_packetIndex), std::to_string(m_packetCount)}));
  }
  closeTransfer(UploadOutcome::Aborted);
}

void UploadEngine::closeTransfer(UploadOutcome outcome) {
  m_timer1.pw_Enabled(false);
  m_retryTimer.pw_Enabled(false);
  m_transferActive = false;
  if (m_uart.pr_Opened()) {
    m_uart.Close();
  }
  m_host.setButtonCaption(text(text::kButtonIdle));
  log(text(text::kCloseCom) + portLabel() + text::kComTail);
  releaseImage();
  m_outcome = outcome;
  setState(UploadState::Idle);
}

void UploadEngine::releaseImage() {
  m_image.clear();
  m_image.shrink_to_fit();
  m_cursor = 0;
}

void UploadEngine::PcUart1RxdDatas(platform::TComponent* /*sender*/, int bytes, char* datas) {
  if (!m_receiveDump || bytes <= 0) {
    return;
  }
  std::string line;
  for (int i = 0; i < bytes; ++i) {
    line += FormatPrintf(i == 0 ? "%02X" : " %02X", static_cast<unsigned char>(datas[i]));
  }
  log(line);
}

}  // namespace tvx
