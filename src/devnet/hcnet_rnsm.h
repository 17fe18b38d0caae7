#pragma once

#include "devnet/hcnet_topologic.h"

namespace KwxCtrl {

class TTvx4i4o;

// The bridge between the PC and the network, whatever the line: it owns the topology, routes
// every received packet to the component at the sender's address and reports the packets of
// free addresses through its OnUnhandled... events.
class THCNet_Rnsm : public THCNet_Topologic {
 public:
  // Class id 0xA0, segment 0x80, node 0x80, not connected.
  explicit THCNet_Rnsm(TComponent* AOwner);
  ~THCNet_Rnsm() override;

  // The bridge's own address is fixed: writing it does nothing.
  void pw_HcnSegId(std::uint8_t value) override;
  void pw_HcnNodeId(std::uint8_t value) override;

  bool pr_Connected() const { return m_connected; }
  virtual void Connect() = 0;
  virtual void Disconnect() = 0;

  // The module at that address; EYGeneral when the address is not in the topology or holds
  // another kind of component.
  TTvx4i4o* pr_Tvx4i4o(unsigned AHcnSegId, unsigned AHcnNodeId) const;
  // The template for declared modules that the program has not placed.
  TTvx4i4o* pr_DefHandler_Tvx4i4o() const { return m_defHandlerTvx4i4o; }
  void pw_DefHandler_Tvx4i4o(TTvx4i4o* value);

  // Routes a packet that came from the network.
  void FilteringReceivedHcnPacket(const _SHCNRXDPACKET& RxdPacket) override;

  THcnNotifyEvent& OnUnhandledPacketUnreachable = m_onPacketUnreachable;
  THcnNotifyEvent& OnUnhandledSuccessfulReset = m_onSuccessfulReset;
  THcnNotifyEvent& OnUnhandledGotHcnProtocolVersion = m_onGotHcnProtocolVersion;
  THcnNotifyEvent& OnUnhandledGotHcnClsId = m_onGotHcnClsId;
  THcnNotifyEvent& OnUnhandledGotHcnCustomerId = m_onGotHcnCustomerId;
  THcnRxdPacketEvent& OnUnhandledRxdHcnPacket = m_onUnfilteredRxdHcnPacket;

 protected:
  THCNet* CreateDefaultHcnComponentAndAddToHcnTopologic(_EHcnClsId AHcnClsId,
                                                        std::uint8_t AHcnSegId,
                                                        std::uint8_t AHcnNodeId,
                                                        THCNet_Topologic* ATopologic) override;
  void Notification(THCNet* gone) override;

  // A derived bridge disconnects in its own destructor, while its line still exists.
  bool m_connected = false;

 private:
  void RunConstructor();
  void RunDestructor();

  TTvx4i4o* m_defHandlerTvx4i4o = nullptr;
};

}  // namespace KwxCtrl
