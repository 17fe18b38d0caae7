#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "serial/serial_device.h"
#include "util/component.h"
#include "util/event_loop.h"
#include "util/notify_event.h"

namespace YVclCtrl {

enum TUartParityBit { upb_None, upb_Odd, upb_Even };
enum TUartStopBits { usb_1bit, usb_2bits };
enum TFlowCtrlStyle { fcs_None, fcs_Hardware };
enum TFlowCtrlHwRxd { fchr_None, fchr_RTS, fchr_DTR };
enum TFlowCtrlHwTxd { fcht_None, fcht_CTS, fcht_DSR, fcht_DSR_CTS };
enum TSysUartWriteStyle { suws_WriteViaQueue, suws_WriteThrough };
enum TRxdFilter { rfs_None, rfs_ByDelimiterChar, rfs_ByBytesOfPacket };

using tvx::platform::TNotifyEvent;
// (Sender, Bytes, Datas): Datas holds exactly Bytes received bytes, not terminated.
using TRxdDatasEvent =
    std::function<void(tvx::platform::TComponent* Sender, int Bytes, char* Datas)>;

class TCommEventMonitorThread;

// Result codes of SendData, SendData_printf and SendTxtFile.
enum TUartSendResult : int {
  usr_Done = 0,
  usr_WriteFailed = 1,  // also: the line buffer of a text file could not be allocated
  usr_NotOpen = 2,
  usr_TxtFileSending = 3,
  usr_WriteTimeout = 4,  // fewer bytes went out than asked
  usr_FileUnreadable = 5,
};

// One serial port of the system: line settings, writes that return once the driver has taken
// the bytes, text files sent line by line in the background, modem lines, and line events
// delivered on the UI thread by the port's monitor thread.
//
// Everything here runs on the UI thread (the event loop given with pw_EventLoop, else the
// process-wide UiEventLoop() at Open). Event handlers run there too, while the monitor thread
// waits; a handler may call SendData, Close, or destroy the component.
//
// Port name: UartDevicePath when it is not empty ("/dev/ttyUSB0", a pseudo-terminal), else
// "COM UartPortNumber" through the port map (tvx::platform::CurrentPortMap()).
class TCustomUart : public tvx::platform::TComponent {
 public:
  explicit TCustomUart(tvx::platform::TComponent* owner = nullptr);
  ~TCustomUart() override;

  bool Open();
  bool Close();
  int SendData(unsigned Bytes, const void* Datas);
  int SendData_printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  int SendTxtFile(const char* FileName, unsigned LineIntervalMs);

  bool pr_RiState();
  bool pr_CdState();
  bool pr_DsrState();
  bool pr_CtsState();

  const std::string& pr_LastErrMsg() const { return m_lastErrMsg; }
  // Why the last Open could not open the device (None when it did, or failed after opening).
  tvx::platform::SerialOpenError pr_LastOpenError() const { return m_lastOpenError; }
  bool pr_Opened() const { return m_opened; }
  // The device went away under the open port (an unplugged USB adapter): writes fail until the
  // port is closed and opened again.
  bool pr_DeviceLost() const;
  // The device path of the open port (empty while closed).
  const std::string& pr_OpenedPath() const { return m_openedPath; }
  // The monitor thread while the port is open (null otherwise).
  TCommEventMonitorThread* pr_MonitorThread() const { return m_monitor.get(); }

  // Properties, in the order a form stores them.
  unsigned pr_UartPortNumber() const { return m_uartPortNumber; }
  void pw_UartPortNumber(unsigned value);
  unsigned pr_UartBaud() const { return m_uartBaud; }
  void pw_UartBaud(unsigned value);
  unsigned pr_UartBitsPerByte() const { return m_uartBitsPerByte; }
  void pw_UartBitsPerByte(unsigned value);
  TUartParityBit pr_UartParityBit() const { return m_uartParityBit; }
  void pw_UartParityBit(TUartParityBit value) { m_uartParityBit = value; }
  TUartStopBits pr_UartStopBits() const { return m_uartStopBits; }
  void pw_UartStopBits(TUartStopBits value) { m_uartStopBits = value; }
  TFlowCtrlStyle pr_FlowCtrlStyle() const { return m_flowCtrlStyle; }
  void pw_FlowCtrlStyle(TFlowCtrlStyle value);
  TFlowCtrlHwRxd pr_FlowCtrlHwRxd() const { return m_flowCtrlHwRxd; }
  void pw_FlowCtrlHwRxd(TFlowCtrlHwRxd value);
  TFlowCtrlHwTxd pr_FlowCtrlHwTxd() const { return m_flowCtrlHwTxd; }
  void pw_FlowCtrlHwTxd(TFlowCtrlHwTxd value);
  TSysUartWriteStyle pr_SysUartWriteStyle() const { return m_sysUartWriteStyle; }
  void pw_SysUartWriteStyle(TSysUartWriteStyle value) { m_sysUartWriteStyle = value; }
  unsigned pr_SysUartTxdQueueSize() const { return m_sysUartTxdQueueSize; }
  void pw_SysUartTxdQueueSize(unsigned value);
  unsigned pr_SysUartRxdQueueSize() const { return m_sysUartRxdQueueSize; }
  void pw_SysUartRxdQueueSize(unsigned value);
  unsigned pr_SysUartRxdIntervalTimeout() const { return m_sysUartRxdIntervalTimeout; }
  void pw_SysUartRxdIntervalTimeout(unsigned value) { m_sysUartRxdIntervalTimeout = value; }
  TRxdFilter pr_RxdFilter_Style() const { return m_rxdFilterStyle.load(); }
  void pw_RxdFilter_Style(TRxdFilter value) { m_rxdFilterStyle.store(value); }
  char pr_RxdFilter_DelimiterChar() const { return m_rxdFilterDelimiterChar.load(); }
  void pw_RxdFilter_DelimiterChar(char value) { m_rxdFilterDelimiterChar.store(value); }
  unsigned pr_RxdFilter_BytesOfPacket() const { return m_rxdFilterBytesOfPacket.load(); }
  void pw_RxdFilter_BytesOfPacket(unsigned value);
  const std::string& pr_UartDevicePath() const { return m_uartDevicePath; }
  void pw_UartDevicePath(const std::string& value) { m_uartDevicePath = value; }

  // Events, in the order a form stores them.
  const TNotifyEvent& pr_OnRiChanged() const { return m_onRiChanged; }
  void pw_OnRiChanged(TNotifyEvent handler) { m_onRiChanged = std::move(handler); }
  const TNotifyEvent& pr_OnCdChanged() const { return m_onCdChanged; }
  void pw_OnCdChanged(TNotifyEvent handler) { m_onCdChanged = std::move(handler); }
  const TNotifyEvent& pr_OnDsrChanged() const { return m_onDsrChanged; }
  void pw_OnDsrChanged(TNotifyEvent handler) { m_onDsrChanged = std::move(handler); }
  const TNotifyEvent& pr_OnCtsChanged() const { return m_onCtsChanged; }
  void pw_OnCtsChanged(TNotifyEvent handler) { m_onCtsChanged = std::move(handler); }
  const TNotifyEvent& pr_OnTxdEmpty() const { return m_onTxdEmpty; }
  void pw_OnTxdEmpty(TNotifyEvent handler);
  const TRxdDatasEvent& pr_OnRxdDatas() const { return m_onRxdDatas; }
  void pw_OnRxdDatas(TRxdDatasEvent handler);
  const TNotifyEvent& pr_OnFrameErr() const { return m_onFrameErr; }
  void pw_OnFrameErr(TNotifyEvent handler) { m_onFrameErr = std::move(handler); }
  const TNotifyEvent& pr_OnParityErr() const { return m_onParityErr; }
  void pw_OnParityErr(TNotifyEvent handler) { m_onParityErr = std::move(handler); }
  const TNotifyEvent& pr_OnBreakLevelErr() const { return m_onBreakLevelErr; }
  void pw_OnBreakLevelErr(TNotifyEvent handler) { m_onBreakLevelErr = std::move(handler); }
  const TNotifyEvent& pr_OnRxOverrunErr() const { return m_onRxOverrunErr; }
  void pw_OnRxOverrunErr(TNotifyEvent handler) { m_onRxOverrunErr = std::move(handler); }
  const TNotifyEvent& pr_OnTxOverrunErr() const { return m_onTxOverrunErr; }
  void pw_OnTxOverrunErr(TNotifyEvent handler) { m_onTxOverrunErr = std::move(handler); }

  // The loop that runs the events (null: the UI loop at Open). It must outlive the open port.
  tvx::EventLoop* pr_EventLoop() const { return m_eventLoop; }
  void pw_EventLoop(tvx::EventLoop* loop) { m_eventLoop = loop; }
  // Makes the device of each Open (the system's by default).
  void pw_DeviceFactory(tvx::platform::SerialDeviceFactory factory);

  // Timeouts worked out by the last Open, in milliseconds.
  unsigned pr_ReadTotalTimeoutConstant() const { return m_readTotalTimeoutConstant; }
  unsigned pr_WriteTotalTimeoutConstant() const { return m_writeTotalTimeoutConstant; }
  // The event mask of the last Open (tvx::platform::CommEvent bits).
  unsigned pr_EventMask() const { return m_eventMask; }

  // Called on the UI thread by the monitor thread's synchronised calls.
  void FireUartErrEvent(unsigned errors);
  void FireModemSignalEvent(unsigned events);
  void FireTxdEmptyEvent();
  void FireRxdDatasEvent(int Bytes);
  // Called on the monitor thread.
  bool PrrallelProcessingWhenDetectedTxdEmpty();
  bool PrrallelProcessingTrySendNextLineOfTxtFile();

 private:
  friend class TCommEventMonitorThread;

  void RunConstructor();
  void RunDestructor();
  void replaceReceiveBuffers();
  unsigned eventMaskForOpen() const;
  bool failOpen(const char* message);
  int writeAndWait(const void* data, std::size_t bytes, const char* timeoutMessage,
                   const char* failureMessage);
  // Ends the text-file substate: closes the file, frees the line buffer. Caller holds m_txtMutex.
  void endTxtFileLocked();
  bool readTxtLineLocked();
  bool modemLine(unsigned line);

  // Properties.
  unsigned m_uartPortNumber = 1;
  unsigned m_uartBaud = 9600;
  unsigned m_uartBitsPerByte = 8;
  TUartParityBit m_uartParityBit = upb_None;
  TUartStopBits m_uartStopBits = usb_1bit;
  TFlowCtrlStyle m_flowCtrlStyle = fcs_None;
  TFlowCtrlHwRxd m_flowCtrlHwRxd = fchr_None;
  TFlowCtrlHwTxd m_flowCtrlHwTxd = fcht_None;
  TSysUartWriteStyle m_sysUartWriteStyle = suws_WriteViaQueue;
  unsigned m_sysUartTxdQueueSize = 1024;
  unsigned m_sysUartRxdQueueSize = 1024;
  unsigned m_sysUartRxdIntervalTimeout = 3;
  // Read by the monitor thread.
  std::atomic<TRxdFilter> m_rxdFilterStyle{rfs_None};
  std::atomic<char> m_rxdFilterDelimiterChar{'\n'};
  std::atomic<unsigned> m_rxdFilterBytesOfPacket{1};
  std::string m_uartDevicePath;

  TNotifyEvent m_onRiChanged, m_onCdChanged, m_onDsrChanged, m_onCtsChanged, m_onTxdEmpty;
  TRxdDatasEvent m_onRxdDatas;
  TNotifyEvent m_onFrameErr, m_onParityErr, m_onBreakLevelErr, m_onRxOverrunErr, m_onTxOverrunErr;
  // Whether the two events the monitor thread asks about are assigned.
  std::atomic<bool> m_txdEmptyAssigned{false};
  std::atomic<bool> m_rxdDatasAssigned{false};

  tvx::EventLoop* m_eventLoop = nullptr;
  tvx::platform::SerialDeviceFactory m_deviceFactory;

  // Port state.
  std::unique_ptr<tvx::platform::SerialDevice> m_device;
  std::unique_ptr<TCommEventMonitorThread> m_monitor;
  bool m_opened = false;
  std::string m_openedPath;
  std::string m_lastErrMsg;
  tvx::platform::SerialOpenError m_lastOpenError = tvx::platform::SerialOpenError::None;
  unsigned m_readTotalTimeoutConstant = 0;
  unsigned m_writeTotalTimeoutConstant = 0;
  unsigned m_eventMask = 0;

  // Receive buffers: delivered data, FilteredRxdBuff, raw reads; SysUartRxdQueueSize + 8 bytes
  // each. While the port is open the monitor thread uses them, so a new size takes effect when
  // the port is closed.
  std::vector<char> m_deliveredBuff, m_filteredRxdBuff, m_rawRxdBuff;
  bool m_buffersPending = false;

  // Text-file sending. The monitor thread continues the transfer; m_txtMutex keeps it from
  // doing so while the UI thread starts or ends one.
  std::mutex m_txtMutex;
  std::atomic<bool> m_txtSending{false};
  std::FILE* m_txtFile = nullptr;
  std::vector<char> m_txtLine;
  std::size_t m_txtLineLength = 0;
  std::size_t m_txtLineWritten = 0;
  unsigned m_txtLineIntervalMs = 0;
};

}  // namespace YVclCtrl
