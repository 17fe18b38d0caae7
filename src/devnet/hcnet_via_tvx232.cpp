#include "devnet/hcnet_via_tvx232.h"

#include <chrono>

#include "devnet/bridge_line.h"
#include "serial/pc_uart.h"
#include "util/ey_general.h"
#include "util/loop_timer.h"
#include "util/messages.h"
#include "util/platform_exception.h"

namespace KwxCtrl {
namespace {

using tvx::platform::Exception;
using YVclUtil::EYGeneral;

constexpr std::chrono::milliseconds kConnectTimeout{2000};

bool bitOf(std::uint8_t byte, int index) {
  return index >= 0 && index <= 3 && ((byte >> index) & 1U) != 0;
}

}  // namespace

THCNetViaTvx232::THCNetViaTvx232(TComponent* AOwner) : THCNet_Rnsm(AOwner) {
  RunConstructor();
}

THCNetViaTvx232::~THCNetViaTvx232() {
  RunDestructor();
}

void THCNetViaTvx232::RunConstructor() {
  m_pcUart = std::make_unique<TPcUart>();
  TPcUart& uart = *m_pcUart;
  uart.pw_UartBaud(38400);
  uart.pw_UartBitsPerByte(8);
  uart.pw_UartParityBit(YVclCtrl::upb_None);
  uart.pw_UartStopBits(YVclCtrl::usb_1bit);
  uart.pw_FlowCtrlStyle(YVclCtrl::fcs_Hardware);
  uart.pw_FlowCtrlHwRxd(YVclCtrl::fchr_None);
  uart.pw_FlowCtrlHwTxd(YVclCtrl::fcht_CTS);  // sending waits for CTS
  uart.pw_SysUartWriteStyle(YVclCtrl::suws_WriteViaQueue);
  uart.pw_SysUartTxdQueueSize(8192);
  uart.pw_SysUartRxdQueueSize(8192);
  uart.pw_SysUartRxdIntervalTimeout(3);
  uart.pw_RxdFilter_Style(YVclCtrl::rfs_ByDelimiterChar);
  uart.pw_RxdFilter_DelimiterChar('\n');
  uart.pw_OnRxdDatas([this](TComponent* sender, int bytes, char* datas) {
    OnPcUartRxdDatas(sender, bytes, datas);
  });

  m_timer = std::make_unique<tvx::LoopTimer>();
  m_timer->pw_Interval(kConnectTimeout);
  m_timer->pw_OnTimer([this] { OnTimeoutTimerReach(); });
}

void THCNetViaTvx232::RunDestructor() {
  m_timer->pw_Enabled(false);
  Disconnect();
  m_timer.reset();
  m_pcUart.reset();
}

void THCNetViaTvx232::requireConnected() const {
  if (!m_connected) {
    throw Exception("Illegal property access, because THCNetViaTvx232 not in connected state !!!");
  }
}

void THCNetViaTvx232::requireHandler(const tvx::platform::TNotifyEvent& handler,
                                     const char* name) const {
  if (!handler) {
    throw Exception(std::string("The event \"") + name +
                    "\" of THCNetViaTvx232, which handler is not specified !!!");
  }
}

void THCNetViaTvx232::fire(const tvx::platform::TNotifyEvent& event) {
  if (event) {
    event(this);
  }
}

bool THCNetViaTvx232::send(const std::string& text) {
  if (m_pcUart->SendData(static_cast<unsigned>(text.size()), text.data()) == 0) {
    return true;
  }
  fire(OnUartTxdFail);
  return false;
}

void THCNetViaTvx232::Connect() {
  requireHandler(OnConnectOK, "OnConnectOK");
  requireHandler(OnConnectFail, "OnConnectFail");
  requireHandler(OnUartTxdFail, "OnUartTxdFail");
  LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic();

  m_pcUart->pw_UartPortNumber(static_cast<unsigned>(m_uartPortNumber));
  m_pcUart->pw_UartDevicePath(m_uartDevicePath);
  if (!m_pcUart->Open()) {
    throw Exception("Open UART fail, when peform THCNetViaTvx232::Connect() !!!");
  }

  m_replyMask = 0;
  const std::string burst = kBridgeConnectBurst;
  if (m_pcUart->SendData(static_cast<unsigned>(burst.size()), burst.data()) != 0) {
    Disconnect();
    fire(OnUartTxdFail);
    fire(OnConnectFail);
    return;
  }
  m_connecting = true;
  m_timer->pw_Enabled(false);
  m_timer->pw_Interval(kConnectTimeout);
  m_timer->pw_Enabled(true);
}

void THCNetViaTvx232::Disconnect() {
  m_pcUart->Close();
  m_connected = false;
}

void THCNetViaTvx232::OnTimeoutTimerReach() {
  m_timer->pw_Enabled(false);
  const bool failed = m_connecting && !m_connected;
  // Also a time-out after a repeated Connect of a connected bridge ends the attempt, so that
  // later answers are taken as answers again.
  m_connecting = false;
  if (failed) {
    Disconnect();
    fire(OnConnectFail);
  }
}

void THCNetViaTvx232::OnPcUartRxdDatas(TComponent* /*Sender*/, int Bytes, char* Datas) {
  if (Bytes <= 0 || Datas == nullptr) {
    return;
  }
  const BridgeLine line = ParseBridgeLine(Datas, static_cast<std::size_t>(Bytes));
  switch (line.Kind) {
    case BridgeLineKind::RegisterAnswer:
      handleRegisterAnswer(line.Register, line.Value);
      break;
    case BridgeLineKind::PacketFrame:
      try {
        THCNet_Rnsm::FilteringReceivedHcnPacket(line.Packet);
      } catch (const Exception& error) {
        // A received packet is never an error of the line; what a module did with it (a
        // restore of its outputs while the bridge is not connected yet) is only traced.
        YVclUtil::SendDbgString_Printf("THCNetViaTvx232: received packet: %s",
                                       error.Message().c_str());
      }
      break;
    case BridgeLineKind::Ignored:
      break;
  }
}

void THCNetViaTvx232::handleRegisterAnswer(char registerChar, std::uint8_t value) {
  switch (registerChar) {
    case '0':
      m_r0 = value;
      break;
    case '1':
      m_oldR1 = m_r1;
      m_r1 = value;
      break;
    case '3':
      m_r3 = value;
      break;
    case '4':
      m_r4 = value;
      break;
    case '5':
      m_r5 = value;
      break;
    case '6':
      m_r6 = value;
      break;
    case '7':
      m_r7 = value;
      break;
    case '8':
      m_r8 = value;
      break;
    case '9':
      m_r9 = value;
      break;
    case 'E':
      m_rE = value;
      break;
    default:
      break;  // F announces a reset; its value means nothing
  }

  if (m_connecting) {
    m_replyMask = static_cast<std::uint16_t>(m_replyMask | BridgeReplyMaskBit(registerChar));
    if (m_replyMask == kBridgeConnectedReplyMask) {
      m_timer->pw_Enabled(false);
      m_connected = true;
      m_connecting = false;
      fire(OnConnectOK);
    }
    return;
  }

  switch (registerChar) {
    case '0':
      fire(OnReplyYout);
      break;
    case '1':
      fire(OnReplyXin);
      break;
    case 'E':
      fire(OnReplyHcnFlags);
      break;
    case 'F':
      if (m_resetRequested) {
        m_resetRequested = false;
        fire(OnResetRnsm_OK);
      } else {
        // The bridge reset by itself (its watchdog): give it its outputs back.
        send(BuildRegisterWrite('0', m_r0));
        fire(OnResetRnsm_WDT);
      }
      break;
    default:
      break;
  }
}

void THCNetViaTvx232::pw_UartPortNumber(int value) {
  if (m_connected) {
    throw Exception("Illegal property access, because THCNetViaTvx232 now in connected state !!!");
  }
  m_uartPortNumber = value;
}

void THCNetViaTvx232::pw_UartDevicePath(const std::string& value) {
  if (m_connected) {
    throw Exception("Illegal property access, because THCNetViaTvx232 now in connected state !!!");
  }
  m_uartDevicePath = value;
}

const std::string& THCNetViaTvx232::pr_LastUartErrMsg() const {
  return m_pcUart->pr_LastErrMsg();
}

std::uint8_t THCNetViaTvx232::pr_Yout() const {
  requireConnected();
  return m_r0;
}

void THCNetViaTvx232::pw_Yout(std::uint8_t value) {
  requireConnected();
  m_r0 = value;
  send(BuildRegisterWrite('0', value));
}

bool THCNetViaTvx232::pr_Y(int index) const {
  requireConnected();
  return bitOf(m_r0, index);
}

void THCNetViaTvx232::pw_Y(int index, bool value) {
  requireConnected();
  if (index < 0 || index > 3) {
    return;
  }
  const auto mask = static_cast<std::uint8_t>(1U << index);
  pw_Yout(value ? static_cast<std::uint8_t>(m_r0 | mask) : static_cast<std::uint8_t>(m_r0 & ~mask));
}

std::uint8_t THCNetViaTvx232::pr_Xin() const {
  requireConnected();
  return m_r1;
}

bool THCNetViaTvx232::pr_X(int index) const {
  requireConnected();
  return bitOf(m_r1, index);
}

bool THCNetViaTvx232::pr_Old_X(int index) const {
  requireConnected();
  return bitOf(m_oldR1, index);
}

std::uint8_t THCNetViaTvx232::pr_R3() const {
  return connectedValue(m_r3);
}
std::uint8_t THCNetViaTvx232::pr_R4() const {
  return connectedValue(m_r4);
}
std::uint8_t THCNetViaTvx232::pr_R5() const {
  return connectedValue(m_r5);
}
std::uint8_t THCNetViaTvx232::pr_R6() const {
  return connectedValue(m_r6);
}
std::uint8_t THCNetViaTvx232::pr_R7() const {
  return connectedValue(m_r7);
}
std::uint8_t THCNetViaTvx232::pr_R8() const {
  return connectedValue(m_r8);
}
std::uint8_t THCNetViaTvx232::pr_R9() const {
  return connectedValue(m_r9);
}
std::uint8_t THCNetViaTvx232::pr_RE() const {
  return connectedValue(m_rE);
}

void THCNetViaTvx232::pw_R8(std::uint8_t value) {
  requireConnected();
  m_r8 = value;
  send(BuildRegisterWrite('8', value) + BuildRegisterQuery('8'));
}

void THCNetViaTvx232::pw_R9(std::uint8_t value) {
  requireConnected();
  m_r9 = value;
  send(BuildRegisterWrite('9', value) + BuildRegisterQuery('9'));
}

void THCNetViaTvx232::QueryYout() {
  requireConnected();
  send(BuildRegisterQuery('0'));
}

void THCNetViaTvx232::QueryXin() {
  requireConnected();
  send(BuildRegisterQuery('1'));
}

void THCNetViaTvx232::QueryHcnFlags() {
  requireConnected();
  send(BuildRegisterQuery('E'));
}

void THCNetViaTvx232::ResetRnsm() {
  requireConnected();
  pw_Yout(0);
  send(BuildRegisterWrite('F', 0x00));
  m_resetRequested = true;
}

void THCNetViaTvx232::SendTxtFileToRS232(const std::string& FileName, unsigned LineIntervalMs) {
  requireConnected();
  m_pcUart->SendTxtFile(FileName.c_str(), LineIntervalMs);
}

void THCNetViaTvx232::SendHcnPacket(const _SHCNTXDPACKET& TxdPacket) {
  requireConnected();
  if (TxdPacket.BytesOfDatas == 0) {
    throw EYGeneral("%s",
                    "The argument of .BytesOfDatas too small, when perform "
                    "THCNetViaTvx232::SendHcnPacket(...) !!!");
  }
  if (TxdPacket.BytesOfDatas > m_r7 || TxdPacket.BytesOfDatas > kHcnDatasSize) {
    throw EYGeneral("%s",
                    "The argument of .BytesOfDatas too large, when perform "
                    "THCNetViaTvx232::SendHcnPacket(...) !!!");
  }
  send(BuildPacketFrame(TxdPacket));
}

}  // namespace KwxCtrl
