#pragma once

#include "devnet/hcnet.h"

namespace KwxCtrl {

class THCNet_Topologic;

// A component with an address on the network. Its packets travel through the topology it is
// bound to (the bridge); the packets that the bridge routes to its address arrive at
// FilteringReceivedHcnPacket.
class THCNet_Node : public THCNet {
 public:
  explicit THCNet_Node(TComponent* AOwner);
  THCNet_Node(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
              std::uint8_t AHcnNodeId);
  THCNet_Node(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
              std::uint8_t AHcnNodeId, const THCNet& Source);
  // Bound to ATopologic and added to it at its own address (origin 2).
  THCNet_Node(TComponent* AOwner, THCNet_Topologic* ATopologic);
  THCNet_Node(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
              std::uint8_t AHcnNodeId, THCNet_Topologic* ATopologic);
  ~THCNet_Node() override;

  // 0x00..0x80; anything above raises EYGeneral.
  void pw_HcnSegId(std::uint8_t value) override;
  // 0x00..0x7F; anything above raises EYGeneral.
  void pw_HcnNodeId(std::uint8_t value) override;
  THCNet_Topologic* pr_BindTo() const { return m_bindTo; }
  virtual void pw_BindTo(THCNet_Topologic* value);

  // After a loader has set BindTo, HcnSegId and HcnNodeId, the node joins the topology.
  void Loaded() override;

  // Hands the packet to BindTo; without BindTo nothing is sent.
  void SendHcnPacket(const _SHCNTXDPACKET& TxdPacket) override;

  void RequestToReset();
  void QueryHcnProtocolVersion();
  void QueryHcnClsId();
  void QueryHcnCustomerId();

  THcnNotifyEvent& OnPacketUnreachable = m_onPacketUnreachable;
  THcnNotifyEvent& OnSuccessfulReset = m_onSuccessfulReset;
  THcnNotifyEvent& OnGotHcnProtocolVersion = m_onGotHcnProtocolVersion;
  THcnNotifyEvent& OnGotHcnClsId = m_onGotHcnClsId;
  THcnNotifyEvent& OnGotHcnCustomerId = m_onGotHcnCustomerId;
  THcnRxdPacketEvent& OnUnfilteredRxdHcnPacket = m_onUnfilteredRxdHcnPacket;

 protected:
  virtual void BeforeRunRequestToReset() = 0;
  void Notification(THCNet* gone) override;
  // Sends a packet of the given data bytes to this node's own address.
  void sendToSelf(std::initializer_list<std::uint8_t> datas);

 private:
  void RunConstructor();
  void RunDestructor();
  void bindAndJoin(THCNet_Topologic* topologic);

  THCNet_Topologic* m_bindTo = nullptr;
  bool m_bindToSet = false;
  bool m_hcnSegIdSet = false;
  bool m_hcnNodeIdSet = false;
};

}  // namespace KwxCtrl
