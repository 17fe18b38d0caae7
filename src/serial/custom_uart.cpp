#include "serial/custom_uart.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <new>
#include <optional>

#include "serial/comm_event_monitor_thread.h"
#include "serial/port_map.h"
#include "util/messages.h"
#include "util/platform_exception.h"

namespace YVclCtrl {

using namespace tvx::platform;
using YVclUtil::ShowErrMsgBox_Printf;

TCustomUart::TCustomUart(TComponent* owner) : TComponent(owner) {
  RunConstructor();
}

TCustomUart::~TCustomUart() {
  RunDestructor();
}

void TCustomUart::RunConstructor() {
  // The write "events" of the system's overlapped writes have no counterpart here: a write
  // waits in the device itself, so nothing can fail to be made.
  pw_SysUartRxdQueueSize(1024);
}

void TCustomUart::RunDestructor() {
  Close();
  m_deliveredBuff.clear();
  m_filteredRxdBuff.clear();
  m_rawRxdBuff.clear();
}

// ---- Properties -------------------------------------------------------------------------

void TCustomUart::pw_UartPortNumber(unsigned value) {
  if (value < 1 || value > 16) {
    ShowErrMsgBox_Printf(this, "Invalid value !!!");
    return;
  }
  m_uartPortNumber = value;
}

void TCustomUart::pw_UartBaud(unsigned value) {
  if (value < 300 || value > 921600) {
    ShowErrMsgBox_Printf(this, "Invalid or unsupported value !!!");
    m_uartBaud = 9600;
    return;
  }
  m_uartBaud = value;
}

void TCustomUart::pw_UartBitsPerByte(unsigned value) {
  if (value < 7 || value > 8) {
    ShowErrMsgBox_Printf(this, "Invalid value !!!");
    return;
  }
  m_uartBitsPerByte = value;
}

void TCustomUart::pw_FlowCtrlStyle(TFlowCtrlStyle value) {
  m_flowCtrlStyle = value;
  if (value == fcs_None) {
    if (m_flowCtrlHwRxd != fchr_None) {
      pw_FlowCtrlHwRxd(fchr_None);
    }
    if (m_flowCtrlHwTxd != fcht_None) {
      pw_FlowCtrlHwTxd(fcht_None);
    }
  } else {
    pw_FlowCtrlHwRxd(fchr_None);
    pw_FlowCtrlHwTxd(fcht_CTS);
  }
}

void TCustomUart::pw_FlowCtrlHwRxd(TFlowCtrlHwRxd value) {
  if (value != fchr_None && m_flowCtrlStyle != fcs_Hardware) {
    m_flowCtrlHwRxd = fchr_None;
    ShowErrMsgBox_Printf(this, "Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware");
    return;
  }
  m_flowCtrlHwRxd = value;
}

void TCustomUart::pw_FlowCtrlHwTxd(TFlowCtrlHwTxd value) {
  if (value != fcht_None && m_flowCtrlStyle != fcs_Hardware) {
    m_flowCtrlHwTxd = fcht_None;
    ShowErrMsgBox_Printf(this, "Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware");
    return;
  }
  m_flowCtrlHwTxd = value;
}

void TCustomUart::pw_SysUartTxdQueueSize(unsigned value) {
  if (value < 1024) {
    ShowErrMsgBox_Printf(this, "Invalid value !!!\n Because SysUartTxdQueueSize must >= 1024");
    value = 1024;
  }
  m_sysUartTxdQueueSize = value;
}

void TCustomUart::pw_SysUartRxdQueueSize(unsigned value) {
  if (value < 1024) {
    ShowErrMsgBox_Printf(this, "Invalid value !!!\n Because SysUartRxdQueueSize must >= 1024");
    m_sysUartRxdQueueSize = 1024;
    return;
  }
  m_sysUartRxdQueueSize = value;
  if (m_device) {
    // The monitor thread is using the buffers: the new ones come with the next Open.
    m_buffersPending = true;
  } else {
    replaceReceiveBuffers();
  }
}

void TCustomUart::replaceReceiveBuffers() {
  const std::size_t size = std::size_t{m_sysUartRxdQueueSize} + 8;
  m_deliveredBuff.assign(size, 0);
  m_filteredRxdBuff.assign(size, 0);
  m_rawRxdBuff.assign(size, 0);
  m_buffersPending = false;
}

void TCustomUart::pw_RxdFilter_BytesOfPacket(unsigned value) {
  if (value == 0) {
    ShowErrMsgBox_Printf(this, "Invalid value !!!\n Because this value must >= 1");
    m_rxdFilterBytesOfPacket.store(1);
    return;
  }
  if (value > m_sysUartRxdQueueSize) {
    ShowErrMsgBox_Printf(this, "Invalid value \nBecause great then SysUartRxdQueueSize");
    return;
  }
  m_rxdFilterBytesOfPacket.store(value);
}

void TCustomUart::pw_OnTxdEmpty(TNotifyEvent handler) {
  m_onTxdEmpty = std::move(handler);
  m_txdEmptyAssigned.store(static_cast<bool>(m_onTxdEmpty));
}

void TCustomUart::pw_OnRxdDatas(TRxdDatasEvent handler) {
  m_onRxdDatas = std::move(handler);
  m_rxdDatasAssigned.store(static_cast<bool>(m_onRxdDatas));
}

void TCustomUart::pw_DeviceFactory(SerialDeviceFactory factory) {
  m_deviceFactory = std::move(factory);
}

bool TCustomUart::pr_DeviceLost() const {
  return m_device && m_device->lost();
}

// ---- Open and Close ---------------------------------------------------------------------

unsigned TCustomUart::eventMaskForOpen() const {
  unsigned mask = kEvRxChar | kEvTxEmpty;
  if (m_onFrameErr || m_onParityErr || m_onBreakLevelErr || m_onRxOverrunErr || m_onTxOverrunErr) {
    mask |= kEvErr;
  }
  if (m_onRiChanged) {
    mask |= kEvRing;
  }
  if (m_onCdChanged) {
    mask |= kEvRlsd;
  }
  if (m_onCtsChanged && m_flowCtrlHwTxd != fcht_CTS && m_flowCtrlHwTxd != fcht_DSR_CTS) {
    mask |= kEvCts;
  }
  if (m_onDsrChanged && m_flowCtrlHwTxd != fcht_DSR && m_flowCtrlHwTxd != fcht_DSR_CTS) {
    mask |= kEvDsr;
  }
  return mask;
}

bool TCustomUart::failOpen(const char* message) {
  Close();
  m_lastErrMsg = message;
  return false;
}

bool TCustomUart::Open() {
  if (m_device) {
    return true;
  }
  if (m_buffersPending) {
    replaceReceiveBuffers();
  }
  std::optional<std::string> path;
  if (!m_uartDevicePath.empty()) {
    path = m_uartDevicePath;
  } else {
    path = CurrentPortMap().resolve(m_uartPortNumber);
  }
  if (!path) {
    m_lastOpenError = SerialOpenError::NotFound;
    m_lastErrMsg = "The comm device not exist";
    return false;
  }
  std::unique_ptr<SerialDevice> device =
      m_deviceFactory ? m_deviceFactory() : MakeSystemSerialDevice();
  m_lastOpenError = device->open(*path, m_sysUartWriteStyle == suws_WriteThrough);
  switch (m_lastOpenError) {
    case SerialOpenError::None:
      break;
    case SerialOpenError::NotFound:
      m_lastErrMsg = "The comm device not exist";
      return false;
    case SerialOpenError::InUse:
      m_lastErrMsg = "The comm device can not access (may be opened by another)";
      return false;
    case SerialOpenError::AccessDenied:
      m_lastErrMsg = "The comm device can not access (permission denied)";
      return false;
    case SerialOpenError::NotATerminal:
    case SerialOpenError::Other:
      m_lastErrMsg = "Can not open comm device file";
      return false;
  }
  m_device = std::move(device);
  m_openedPath = *path;

  if (!m_device->setQueueSizes(m_sysUartRxdQueueSize, m_sysUartTxdQueueSize)) {
    return failOpen("Can not set comm buffer");
  }

  SerialLineSettings line;
  line.baud = m_uartBaud;
  line.bitsPerByte = m_uartBitsPerByte;
  line.parity = m_uartParityBit == upb_Odd    ? SerialLineSettings::Parity::Odd
                : m_uartParityBit == upb_Even ? SerialLineSettings::Parity::Even
                                              : SerialLineSettings::Parity::None;
  line.twoStopBits = m_uartStopBits == usb_2bits;
  const bool hardware = m_flowCtrlStyle == fcs_Hardware;
  line.outputWatchesCts =
      hardware && (m_flowCtrlHwTxd == fcht_CTS || m_flowCtrlHwTxd == fcht_DSR_CTS);
  line.outputWatchesDsr =
      hardware && (m_flowCtrlHwTxd == fcht_DSR || m_flowCtrlHwTxd == fcht_DSR_CTS);
  line.inputHandshake = !hardware                     ? SerialLineSettings::InputHandshake::None
                        : m_flowCtrlHwRxd == fchr_RTS ? SerialLineSettings::InputHandshake::Rts
                        : m_flowCtrlHwRxd == fchr_DTR ? SerialLineSettings::InputHandshake::Dtr
                                                      : SerialLineSettings::InputHandshake::None;
  if (!m_device->configure(line)) {
    return failOpen("Can not set comm config");
  }

  // Seconds of line time added to a constant in milliseconds: at 115200 baud both come to 5000.
  const double bits = BitsPerCharacter(line);
  m_readTotalTimeoutConstant =
      5000 + static_cast<unsigned>(1.0 / m_uartBaud * bits * m_sysUartRxdQueueSize);
  m_writeTotalTimeoutConstant =
      5000 + static_cast<unsigned>(1.0 / m_uartBaud * bits * m_sysUartTxdQueueSize);
  if (!m_device->setWriteTimeout(std::chrono::milliseconds(m_writeTotalTimeoutConstant))) {
    return failOpen("Can not set timeout");
  }

  m_eventMask = eventMaskForOpen();
  if (!m_device->setEventMask(m_eventMask)) {
    return failOpen("Can not turn-on comm event mask");
  }
  m_device->setDtr(true);
  m_device->setRts(true);

  tvx::EventLoop* loop = m_eventLoop != nullptr ? m_eventLoop : tvx::UiEventLoop();
  if (loop == nullptr) {
    return failOpen("Can not create TCommEventMonitorThread");
  }
  m_monitor = std::make_unique<TCommEventMonitorThread>(
      this, m_device.get(),
      TCommEventMonitorThread::Buffers{m_deliveredBuff.data(), m_filteredRxdBuff.data(),
                                       m_rawRxdBuff.data(), m_sysUartRxdQueueSize},
      loop);
  if (!m_monitor->Start()) {
    m_monitor.reset();
    return failOpen("Can not create TCommEventMonitorThread");
  }
  m_opened = true;
  m_lastErrMsg.clear();
  return true;
}

bool TCustomUart::Close() {
  if (!m_device) {
    return true;
  }
  if (m_monitor) {
    m_monitor->Terminate();
    m_device->setEventMask(0);
    m_monitor->WaitFor();
    m_monitor.reset();
  } else {
    m_device->setEventMask(0);
  }
  {
    // A text file still being sent ends with the port, so that the next Open starts clean.
    std::lock_guard lock(m_txtMutex);
    if (m_txtSending.load()) {
      endTxtFileLocked();
    }
  }
  m_device->setRts(false);
  m_device->setDtr(false);
  m_device->purge();
  const bool closed = m_device->close();
  m_device.reset();
  m_opened = false;
  m_openedPath.clear();
  if (closed) {
    m_lastErrMsg.clear();
  } else {
    m_lastErrMsg = "Can not close comm";
  }
  return true;
}

// ---- Sending ----------------------------------------------------------------------------

int TCustomUart::writeAndWait(const void* data, std::size_t bytes, const char* timeoutMessage,
                              const char* failureMessage) {
  std::size_t written = 0;
  switch (m_device->write(data, bytes, written)) {
    case SerialWriteStatus::Done:
      return usr_Done;
    case SerialWriteStatus::Short:
      m_lastErrMsg = timeoutMessage;
      return usr_WriteTimeout;
    case SerialWriteStatus::Failed:
    case SerialWriteStatus::Lost:
      break;
  }
  m_lastErrMsg = failureMessage;
  return usr_WriteFailed;
}

int TCustomUart::SendData(unsigned Bytes, const void* Datas) {
  m_lastErrMsg.clear();
  if (!m_device) {
    return usr_NotOpen;
  }
  if (m_txtSending.load()) {
    return usr_TxtFileSending;
  }
  return writeAndWait(Datas, Bytes, "Timeout when send to comm", "Can not send to comm");
}

int TCustomUart::SendData_printf(const char* fmt, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, fmt);
  const int length = std::vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  const unsigned bytes =
      length < 0 ? 0u : std::min<unsigned>(static_cast<unsigned>(length), sizeof buffer - 1);
  return SendData(bytes, buffer);
}

int TCustomUart::SendTxtFile(const char* FileName, unsigned LineIntervalMs) {
  m_lastErrMsg.clear();
  if (!m_device) {
    return usr_NotOpen;
  }
  if (m_txtSending.load()) {
    return usr_TxtFileSending;
  }
  std::FILE* file = std::fopen(FileName, "rb");
  if (file == nullptr) {
    m_lastErrMsg = "Can not open file";
    return usr_FileUnreadable;
  }
  // Holding the lock keeps the monitor thread from continuing before the first line is out.
  std::lock_guard lock(m_txtMutex);
  try {
    m_txtLine.assign(m_sysUartTxdQueueSize, 0);
  } catch (const std::bad_alloc&) {
    m_lastErrMsg = "Can not alloc mem";
    std::fclose(file);
    return usr_WriteFailed;
  }
  m_txtFile = file;
  if (!readTxtLineLocked()) {
    m_lastErrMsg = "Can not read file";
    endTxtFileLocked();
    return usr_FileUnreadable;
  }
  m_txtSending.store(true);
  m_txtLineIntervalMs = LineIntervalMs;
  const int result =
      writeAndWait(m_txtLine.data(), m_txtLineLength, "Timeout when send txt file to comm",
                   "Can not send txt file to comm");
  if (result != usr_Done) {
    endTxtFileLocked();
  }
  return result;
}

bool TCustomUart::readTxtLineLocked() {
  if (m_txtFile == nullptr ||
      std::fgets(m_txtLine.data(), static_cast<int>(m_txtLine.size()), m_txtFile) == nullptr) {
    return false;
  }
  m_txtLineLength = std::strlen(m_txtLine.data());
  m_txtLineWritten = 0;
  return true;
}

void TCustomUart::endTxtFileLocked() {
  if (m_txtFile != nullptr) {
    std::fclose(m_txtFile);
    m_txtFile = nullptr;
  }
  m_txtLine.clear();
  m_txtLine.shrink_to_fit();
  m_txtLineLength = 0;
  m_txtSending.store(false);
}

bool TCustomUart::PrrallelProcessingWhenDetectedTxdEmpty() {
  const bool assigned = m_txdEmptyAssigned.load();
  if (!m_txtSending.load()) {
    return assigned;
  }
  {
    std::lock_guard lock(m_txtMutex);
    if (!m_txtSending.load()) {
      return assigned;
    }
    if (m_txtLineIntervalMs > 0) {
      if (m_monitor->ArmLineTimer(m_txtLineIntervalMs)) {
        return false;
      }
      endTxtFileLocked();
      return assigned;
    }
  }
  if (PrrallelProcessingTrySendNextLineOfTxtFile()) {
    return false;
  }
  return assigned;
}

bool TCustomUart::PrrallelProcessingTrySendNextLineOfTxtFile() {
  std::lock_guard lock(m_txtMutex);
  if (!m_txtSending.load()) {
    return false;
  }
  if (!readTxtLineLocked()) {
    endTxtFileLocked();
    return false;
  }
  std::size_t written = 0;
  if (m_device->write(m_txtLine.data(), m_txtLineLength, written) != SerialWriteStatus::Done) {
    endTxtFileLocked();
    return false;
  }
  m_txtLineWritten = written;
  return true;
}

// ---- Events -----------------------------------------------------------------------------

namespace {
// Calls a copy, so that a handler may replace itself.
void fire(const TNotifyEvent& event, TComponent* sender) {
  if (event) {
    TNotifyEvent handler = event;
    handler(sender);
  }
}
}  // namespace

void TCustomUart::FireUartErrEvent(unsigned errors) {
  if (errors & kCeFrame) {
    fire(m_onFrameErr, this);
  }
  if (errors & kCeRxParity) {
    fire(m_onParityErr, this);
  }
  if (errors & kCeBreak) {
    fire(m_onBreakLevelErr, this);
  }
  if (errors & kCeRxOver) {
    fire(m_onRxOverrunErr, this);
  }
  if (errors & kCeTxFull) {
    fire(m_onTxOverrunErr, this);
  }
  // A hardware overrun (kCeOverrun) has no event.
}

void TCustomUart::FireModemSignalEvent(unsigned events) {
  if (events & kEvRing) {
    fire(m_onRiChanged, this);
  }
  if (events & kEvRlsd) {
    fire(m_onCdChanged, this);
  }
  if (events & kEvDsr) {
    fire(m_onDsrChanged, this);
  }
  if (events & kEvCts) {
    fire(m_onCtsChanged, this);
  }
}

void TCustomUart::FireTxdEmptyEvent() {
  fire(m_onTxdEmpty, this);
}

void TCustomUart::FireRxdDatasEvent(int Bytes) {
  if (m_onRxdDatas) {
    TRxdDatasEvent handler = m_onRxdDatas;
    handler(this, Bytes, m_deliveredBuff.data());
  }
}

// ---- Modem lines ------------------------------------------------------------------------

bool TCustomUart::modemLine(unsigned line) {
  if (!m_opened) {
    throw Exception("Illegal property access, because TCustomUart not in opened state !!!");
  }
  unsigned lines = 0;
  m_device->modemStatus(lines);
  return (lines & line) != 0;
}

bool TCustomUart::pr_RiState() {
  return modemLine(kMsRing);
}
bool TCustomUart::pr_CdState() {
  return modemLine(kMsRlsd);
}
bool TCustomUart::pr_DsrState() {
  return modemLine(kMsDsr);
}
bool TCustomUart::pr_CtsState() {
  return modemLine(kMsCts);
}

}  // namespace YVclCtrl
