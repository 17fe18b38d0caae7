#include "devnet/hcnet.h"

#include <algorithm>
#include <exception>

#include "util/ey_general.h"

namespace KwxCtrl {

THCNet::THCNet(TComponent* AOwner) : TComponent(AOwner) {
  RunConstructor();
}

THCNet::THCNet(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
               std::uint8_t AHcnNodeId)
    : TComponent(AOwner) {
  RunConstructor();
  setClsIdAndAddress(AHcnClsId, AHcnSegId, AHcnNodeId);
}

THCNet::THCNet(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
               std::uint8_t AHcnNodeId, const THCNet& Source)
    : TComponent(AOwner) {
  RunConstructor();
  if (Source.m_hcnClsId != AHcnClsId) {
    throw YVclUtil::EYGeneral("%s", "\nErr: VODed 元件的類別不同,故無法進行拷貝式的建構 !!!\n");
  }
  m_onPacketUnreachable = Source.m_onPacketUnreachable;
  m_onSuccessfulReset = Source.m_onSuccessfulReset;
  m_onGotHcnProtocolVersion = Source.m_onGotHcnProtocolVersion;
  m_onGotHcnClsId = Source.m_onGotHcnClsId;
  m_onGotHcnCustomerId = Source.m_onGotHcnCustomerId;
  m_onUnfilteredRxdHcnPacket = Source.m_onUnfilteredRxdHcnPacket;
  m_gotProtocolVersion = Source.m_gotProtocolVersion;
  m_gotClsId = Source.m_gotClsId;
  m_gotCustomerId = Source.m_gotCustomerId;
  m_unreachableReport = Source.m_unreachableReport;
  setClsIdAndAddress(AHcnClsId, AHcnSegId, AHcnNodeId);
}

THCNet::~THCNet() {
  RunDestructor();
}

void THCNet::RunConstructor() {
  setClsIdAndAddress(hci_None, 0x80, 0x00);
}

void THCNet::RunDestructor() {
  // Tell every linked component that this one is gone, and unlink from it first so that
  // it does not call back here.
  const std::vector<THCNet*> linked = std::move(m_freeNotifies);
  m_freeNotifies.clear();
  for (THCNet* other : linked) {
    auto& list = other->m_freeNotifies;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    other->Notification(this);
  }
}

void THCNet::setClsIdAndAddress(_EHcnClsId clsId, std::uint8_t segId, std::uint8_t nodeId) {
  m_hcnClsId = clsId;
  m_hcnSegId = segId;
  m_hcnNodeId = nodeId;
}

void THCNet::reraiseUnlessDesigning() const {
  if ((pr_ComponentState() & csDesigning) == 0) {
    std::rethrow_exception(std::current_exception());
  }
}

void THCNet::FreeNotification(THCNet* other) {
  if (other == nullptr || other == this) {
    return;
  }
  if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), other) == m_freeNotifies.end()) {
    m_freeNotifies.push_back(other);
    other->m_freeNotifies.push_back(this);
  }
}

void THCNet::Notification(THCNet* /*gone*/) {}

bool THCNet::fire(const THcnNotifyEvent& event, const _SHCNRXDPACKET& RxdPacket) {
  if (!event) {
    return false;
  }
  // The sender's address: the component's own for a node, the free address that the
  // packet came from when the bridge reports it as unhandled.
  event(this, RxdPacket.HcnSegId, RxdPacket.HcnNodeId);
  return true;
}

void THCNet::FilteringReceivedHcnPacket(const _SHCNRXDPACKET& RxdPacket) {
  switch (RxdPacket.Datas[0]) {
    case kHcnReplyProtocolVersion:
      BeforeFireOnGotHcnProtocolVersionEvent(RxdPacket);
      m_gotProtocolVersion = RxdPacket.Datas[1];
      if (fire(m_onGotHcnProtocolVersion, RxdPacket)) {
        return;
      }
      break;
    case kHcnReplyClsId:
      BeforeFireOnGotHcnClsIdEvent(RxdPacket);
      m_gotClsId = RxdPacket.Datas[1];
      if (fire(m_onGotHcnClsId, RxdPacket)) {
        return;
      }
      break;
    case kHcnReplyCustomerId:
      BeforeFireOnGotHcnCustomerIdEvent(RxdPacket);
      m_gotCustomerId = RxdPacket.Datas[1];
      if (fire(m_onGotHcnCustomerId, RxdPacket)) {
        return;
      }
      break;
    case kHcnReplyResetDone:
      BeforeFireOnSuccessfulResetEvent(RxdPacket);
      if (fire(m_onSuccessfulReset, RxdPacket)) {
        return;
      }
      break;
    case kHcnReportPacketUnreachable:
      BeforeFireOnPacketUnreachableEvent(RxdPacket);
      std::copy_n(RxdPacket.Datas + 1, m_unreachableReport.size(), m_unreachableReport.begin());
      if (fire(m_onPacketUnreachable, RxdPacket)) {
        return;
      }
      break;
    default:
      break;
  }
  BeforeFireOnUnfilteredRxdHcnPacketEvent(RxdPacket);
  if (m_onUnfilteredRxdHcnPacket) {
    m_onUnfilteredRxdHcnPacket(this, RxdPacket);
  }
}

void THCNet::BeforeFireOnPacketUnreachableEvent(const _SHCNRXDPACKET& /*RxdPacket*/) {}
void THCNet::BeforeFireOnSuccessfulResetEvent(const _SHCNRXDPACKET& /*RxdPacket*/) {}
void THCNet::BeforeFireOnGotHcnProtocolVersionEvent(const _SHCNRXDPACKET& /*RxdPacket*/) {}
void THCNet::BeforeFireOnGotHcnClsIdEvent(const _SHCNRXDPACKET& /*RxdPacket*/) {}
void THCNet::BeforeFireOnGotHcnCustomerIdEvent(const _SHCNRXDPACKET& /*RxdPacket*/) {}
void THCNet::BeforeFireOnUnfilteredRxdHcnPacketEvent(const _SHCNRXDPACKET& /*RxdPacket*/) {}

}  // namespace KwxCtrl
