#include "devnet/hcnet_node.h"

#include <algorithm>

#include "devnet/hcnet_topologic.h"
#include "util/ey_general.h"

namespace KwxCtrl {

THCNet_Node::THCNet_Node(TComponent* AOwner) : THCNet(AOwner) {
  RunConstructor();
}

THCNet_Node::THCNet_Node(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
                         std::uint8_t AHcnNodeId)
    : THCNet(AOwner, AHcnClsId, AHcnSegId, AHcnNodeId) {
  RunConstructor();
}

THCNet_Node::THCNet_Node(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
                         std::uint8_t AHcnNodeId, const THCNet& Source)
    : THCNet(AOwner, AHcnClsId, AHcnSegId, AHcnNodeId, Source) {
  RunConstructor();
  if (const auto* node = dynamic_cast<const THCNet_Node*>(&Source)) {
    m_bindTo = node->m_bindTo;
    FreeNotification(m_bindTo);
    m_bindToSet = node->m_bindToSet;
    m_hcnSegIdSet = node->m_hcnSegIdSet;
    m_hcnNodeIdSet = node->m_hcnNodeIdSet;
  }
}

THCNet_Node::THCNet_Node(TComponent* AOwner, THCNet_Topologic* ATopologic) : THCNet(AOwner) {
  RunConstructor();
  bindAndJoin(ATopologic);
}

THCNet_Node::THCNet_Node(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
                         std::uint8_t AHcnNodeId, THCNet_Topologic* ATopologic)
    : THCNet(AOwner, AHcnClsId, AHcnSegId, AHcnNodeId) {
  RunConstructor();
  bindAndJoin(ATopologic);
}

THCNet_Node::~THCNet_Node() {
  RunDestructor();
}

void THCNet_Node::RunConstructor() {
  m_bindTo = nullptr;
  m_bindToSet = m_hcnSegIdSet = m_hcnNodeIdSet = false;
}

void THCNet_Node::RunDestructor() {}

void THCNet_Node::bindAndJoin(THCNet_Topologic* topologic) {
  m_bindTo = topologic;
  FreeNotification(topologic);
  if (topologic == nullptr) {
    return;
  }
  try {
    topologic->AddHcnComponentToHcnTopologic(this, THCNet_Topologic::kOriginConstructor);
  } catch (...) {
    reraiseUnlessDesigning();
  }
}

void THCNet_Node::pw_HcnSegId(std::uint8_t value) {
  if (value > kHcnMaxSegId) {
    throw YVclUtil::EYGeneral("%s", "Invalid value, the range must be 0x00~0x80 !!!");
  }
  m_hcnSegId = value;
  m_hcnSegIdSet = true;
}

void THCNet_Node::pw_HcnNodeId(std::uint8_t value) {
  if (value > kHcnMaxNodeId) {
    throw YVclUtil::EYGeneral("%s", "Invalid value, the range must be 0x00~0x7F !!!");
  }
  m_hcnNodeId = value;
  m_hcnNodeIdSet = true;
}

void THCNet_Node::pw_BindTo(THCNet_Topologic* value) {
  m_bindTo = value;
  FreeNotification(value);
  m_bindToSet = true;
}

void THCNet_Node::Loaded() {
  THCNet::Loaded();
  if (m_bindToSet && m_hcnSegIdSet && m_hcnNodeIdSet && m_bindTo != nullptr) {
    try {
      m_bindTo->AddHcnComponentToHcnTopologic(this, THCNet_Topologic::kOriginForm);
    } catch (...) {
      reraiseUnlessDesigning();
    }
  }
}

void THCNet_Node::Notification(THCNet* gone) {
  if (gone == m_bindTo) {
    m_bindTo = nullptr;
  }
  THCNet::Notification(gone);
}

void THCNet_Node::SendHcnPacket(const _SHCNTXDPACKET& TxdPacket) {
  if (m_bindTo != nullptr) {
    m_bindTo->SendHcnPacket(TxdPacket);
  }
}

void THCNet_Node::sendToSelf(std::initializer_list<std::uint8_t> datas) {
  _SHCNTXDPACKET packet;
  packet.HcnSegId = m_hcnSegId;
  packet.HcnNodeId = m_hcnNodeId;
  packet.BytesOfDatas = static_cast<std::uint8_t>(datas.size());
  std::copy(datas.begin(), datas.end(), packet.Datas);
  SendHcnPacket(packet);
}

void THCNet_Node::RequestToReset() {
  BeforeRunRequestToReset();
  sendToSelf({kHcnCmdRequestToReset});
}

void THCNet_Node::QueryHcnProtocolVersion() {
  sendToSelf({kHcnCmdQueryProtocolVersion});
}
void THCNet_Node::QueryHcnClsId() {
  sendToSelf({kHcnCmdQueryClsId});
}
void THCNet_Node::QueryHcnCustomerId() {
  sendToSelf({kHcnCmdQueryCustomerId});
}

}  // namespace KwxCtrl
