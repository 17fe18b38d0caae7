#pragma once

#include <vector>

#include "devnet/hcnet_rnsm.h"

namespace tvx::test {

// A bridge without a line: it keeps every packet that its nodes send.
class RecordingBridge : public KwxCtrl::THCNet_Rnsm {
 public:
  using THCNet_Rnsm::CreateDefaultHcnComponentAndAddToHcnTopologic;
  using THCNet_Rnsm::THCNet_Rnsm;

  void Connect() override { m_connected = true; }
  void Disconnect() override { m_connected = false; }
  void SendHcnPacket(const KwxCtrl::_SHCNTXDPACKET& TxdPacket) override {
    sent.push_back(TxdPacket);
  }

  std::vector<KwxCtrl::_SHCNTXDPACKET> sent;
};

inline KwxCtrl::_SHCNRXDPACKET MakeRxdPacket(std::uint8_t segId, std::uint8_t nodeId,
                                             std::initializer_list<std::uint8_t> datas) {
  KwxCtrl::_SHCNRXDPACKET packet;
  packet.HcnSegId = segId;
  packet.HcnNodeId = nodeId;
  packet.BytesOfDatas = static_cast<std::uint8_t>(datas.size());
  std::uint8_t* out = packet.Datas;
  for (std::uint8_t byte : datas) {
    *out++ = byte;
  }
  return packet;
}

}  // namespace tvx::test
