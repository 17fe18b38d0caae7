#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "devnet/hcnet_rnsm.h"
#include "util/notify_event.h"

namespace tvx {
class LoopTimer;
}

namespace KwxCtrl {

class TPcUart;

// The bridge module on an RS-232 line (38400 baud, 8N1, CTS handshake). Connect checks the
// topology file, opens the port and asks the bridge for its registers; once all of them have
// answered (within 2 s) the bridge is connected: its own outputs and inputs (registers R0 and
// R1) can be used, and packets travel between the program's modules and the network.
//
// Everything runs on the UI thread: the operations, the events, and the received lines that
// the serial port delivers there. A command-line program installs a tvx::LocalEventLoop as
// the UI loop and runs it.
class THCNetViaTvx232 : public THCNet_Rnsm {
 public:
  explicit THCNetViaTvx232(TComponent* AOwner);
  ~THCNetViaTvx232() override;

  // Raises when OnConnectOK, OnConnectFail or OnUartTxdFail has no handler, when the
  // topology check fails or the port cannot be opened. The outcome comes later, as
  // OnConnectOK or OnConnectFail.
  void Connect() override;
  // Closes the port. A connection attempt still running ends with OnConnectFail.
  void Disconnect() override;
  bool pr_Connecting() const { return m_connecting; }

  // "COM n" of the port map; the device path, when set, is used instead ("/dev/ttyUSB0").
  int pr_UartPortNumber() const { return m_uartPortNumber; }
  void pw_UartPortNumber(int value);
  const std::string& pr_UartDevicePath() const { return m_uartDevicePath; }
  void pw_UartDevicePath(const std::string& value);
  // Why the port did not open or the last send failed (the serial port's message).
  const std::string& pr_LastUartErrMsg() const;

  // The bridge's registers. All of these need the connected state.
  std::uint8_t pr_Yout() const;
  void pw_Yout(std::uint8_t value);
  bool pr_Y(int index) const;
  void pw_Y(int index, bool value);
  std::uint8_t pr_Xin() const;
  bool pr_X(int index) const;
  bool pr_Old_X(int index) const;
  std::uint8_t pr_R3() const;
  std::uint8_t pr_R4() const;
  std::uint8_t pr_R5() const;
  std::uint8_t pr_R6() const;
  std::uint8_t pr_R7() const;  // the largest BytesOfDatas the bridge takes
  std::uint8_t pr_R8() const;
  void pw_R8(std::uint8_t value);
  std::uint8_t pr_R9() const;
  void pw_R9(std::uint8_t value);
  std::uint8_t pr_RE() const;  // network flags
  void QueryYout();
  void QueryXin();
  void QueryHcnFlags();
  // Clears the bridge's outputs and resets it; OnResetRnsm_OK follows when it is back.
  void ResetRnsm();
  // Sends a text file line by line in the background (the serial port's SendTxtFile).
  void SendTxtFileToRS232(const std::string& FileName, unsigned LineIntervalMs);

  // Sends a packet to the node it names, as a ">" frame.
  void SendHcnPacket(const _SHCNTXDPACKET& TxdPacket) override;

  // The serial port of the bridge (for its settings and messages; Connect sets it up).
  TPcUart* pr_PcUart() const { return m_pcUart.get(); }

  tvx::platform::TNotifyEvent OnConnectOK;
  tvx::platform::TNotifyEvent OnConnectFail;
  tvx::platform::TNotifyEvent OnUartTxdFail;
  tvx::platform::TNotifyEvent OnReplyYout;
  tvx::platform::TNotifyEvent OnReplyXin;
  tvx::platform::TNotifyEvent OnReplyHcnFlags;
  tvx::platform::TNotifyEvent OnResetRnsm_OK;   // after a ResetRnsm of this program
  tvx::platform::TNotifyEvent OnResetRnsm_WDT;  // a reset nobody asked for; outputs restored

 private:
  void RunConstructor();
  void RunDestructor();
  void OnPcUartRxdDatas(TComponent* Sender, int Bytes, char* Datas);
  void OnTimeoutTimerReach();
  void handleRegisterAnswer(char registerChar, std::uint8_t value);
  void requireConnected() const;
  std::uint8_t connectedValue(std::uint8_t value) const {
    requireConnected();
    return value;
  }
  void requireHandler(const tvx::platform::TNotifyEvent& handler, const char* name) const;
  // Sends text; a failure calls OnUartTxdFail. True when all of it went out.
  bool send(const std::string& text);
  void fire(const tvx::platform::TNotifyEvent& event);

  std::unique_ptr<TPcUart> m_pcUart;
  std::unique_ptr<tvx::LoopTimer> m_timer;
  int m_uartPortNumber = 1;
  std::string m_uartDevicePath;
  bool m_connecting = false;
  std::uint16_t m_replyMask = 0;
  bool m_resetRequested = false;
  std::uint8_t m_r0 = 0, m_r1 = 0, m_oldR1 = 0, m_r3 = 0, m_r4 = 0, m_r5 = 0, m_r6 = 0, m_r7 = 0,
               m_r8 = 0, m_r9 = 0, m_rE = 0;
};

}  // namespace KwxCtrl
