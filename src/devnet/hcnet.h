#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "devnet/hcn_packet.h"
#include "util/component.h"

namespace KwxCtrl {

using tvx::platform::TComponent;

// Event closures of the device network components.
using THcnNotifyEvent =
    std::function<void(TComponent* Sender, std::uint8_t AHcnSegId, std::uint8_t AHcnNodeId)>;
using THcnRxdPacketEvent = std::function<void(TComponent* Sender, const THcnRxdPacket& RxdPacket)>;

// The common base of every device network component: its class id and address, the values
// that the answers of a node leave behind, and the dispatch of a received packet to events.
class THCNet : public TComponent {
 public:
  // Class id 0, segment 0x80, node 0.
  explicit THCNet(TComponent* AOwner);
  THCNet(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId, std::uint8_t AHcnNodeId);
  // Copies events and kept values of Source, whose class id must be AHcnClsId.
  THCNet(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId, std::uint8_t AHcnNodeId,
         const THCNet& Source);
  ~THCNet() override;

  _EHcnClsId pr_HcnClsId() const { return m_hcnClsId; }
  std::uint8_t pr_HcnSegId() const { return m_hcnSegId; }
  std::uint8_t pr_HcnNodeId() const { return m_hcnNodeId; }
  virtual void pw_HcnSegId(std::uint8_t value) = 0;
  virtual void pw_HcnNodeId(std::uint8_t value) = 0;

  // What the last replies and reports said.
  std::uint8_t pr_GotHcnProtocolVersion() const { return m_gotProtocolVersion; }
  std::uint8_t pr_GotHcnClsId() const { return m_gotClsId; }
  std::uint8_t pr_GotHcnCustomerId() const { return m_gotCustomerId; }
  std::array<std::uint8_t, 3> pr_PacketUnreachableReport() const { return m_unreachableReport; }

  // Handles a packet that came from the network for this component.
  virtual void FilteringReceivedHcnPacket(const _SHCNRXDPACKET& RxdPacket);

  virtual void SendHcnPacket(const _SHCNTXDPACKET& TxdPacket) = 0;

 protected:
  virtual void BeforeFireOnPacketUnreachableEvent(const _SHCNRXDPACKET& RxdPacket);
  virtual void BeforeFireOnSuccessfulResetEvent(const _SHCNRXDPACKET& RxdPacket);
  virtual void BeforeFireOnGotHcnProtocolVersionEvent(const _SHCNRXDPACKET& RxdPacket);
  virtual void BeforeFireOnGotHcnClsIdEvent(const _SHCNRXDPACKET& RxdPacket);
  virtual void BeforeFireOnGotHcnCustomerIdEvent(const _SHCNRXDPACKET& RxdPacket);
  virtual void BeforeFireOnUnfilteredRxdHcnPacketEvent(const _SHCNRXDPACKET& RxdPacket);

  // Links two components so that each hears of the other's destruction through
  // Notification: a node forgets a topology that is gone, a topology forgets a node.
  void FreeNotification(THCNet* other);
  virtual void Notification(THCNet* gone);

  void setClsIdAndAddress(_EHcnClsId clsId, std::uint8_t segId, std::uint8_t nodeId);
  // Raises what a topology raised, unless the component is being designed in a form designer.
  void reraiseUnlessDesigning() const;

  std::uint8_t m_hcnSegId = 0x80;
  std::uint8_t m_hcnNodeId = 0;

  THcnNotifyEvent m_onPacketUnreachable;
  THcnNotifyEvent m_onSuccessfulReset;
  THcnNotifyEvent m_onGotHcnProtocolVersion;
  THcnNotifyEvent m_onGotHcnClsId;
  THcnNotifyEvent m_onGotHcnCustomerId;
  THcnRxdPacketEvent m_onUnfilteredRxdHcnPacket;

 private:
  void RunConstructor();
  void RunDestructor();
  bool fire(const THcnNotifyEvent& event, const _SHCNRXDPACKET& RxdPacket);

  _EHcnClsId m_hcnClsId = hci_None;
  std::uint8_t m_gotProtocolVersion = 0;
  std::uint8_t m_gotClsId = 0;
  std::uint8_t m_gotCustomerId = 0;
  std::array<std::uint8_t, 3> m_unreachableReport = {};
  std::vector<THCNet*> m_freeNotifies;
};

}  // namespace KwxCtrl
