#include "devnet/tvx4i4o.h"

namespace KwxCtrl {
namespace {

bool bitOf(std::uint8_t byte, int index) {
  return index >= 0 && index <= 3 && ((byte >> index) & 1U) != 0;
}

}  // namespace

TTvx4i4o::TTvx4i4o(TComponent* AOwner) : TTvx4i4o(AOwner, 0x80, 0x00) {}

TTvx4i4o::TTvx4i4o(TComponent* AOwner, std::uint8_t AHcnSegId, std::uint8_t AHcnNodeId)
    : THCNet_Node(AOwner, hci_Tvx4i4o, AHcnSegId, AHcnNodeId) {
  RunConstructor();
}

TTvx4i4o::TTvx4i4o(TComponent* AOwner, THCNet_Topologic* ATopologic)
    : TTvx4i4o(AOwner, 0x80, 0x00, ATopologic) {}

TTvx4i4o::TTvx4i4o(TComponent* AOwner, std::uint8_t AHcnSegId, std::uint8_t AHcnNodeId,
                   THCNet_Topologic* ATopologic)
    : THCNet_Node(AOwner, hci_Tvx4i4o, AHcnSegId, AHcnNodeId, ATopologic) {
  RunConstructor();
}

TTvx4i4o::TTvx4i4o(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
                   std::uint8_t AHcnNodeId, const THCNet& Source)
    : THCNet_Node(AOwner, AHcnClsId, AHcnSegId, AHcnNodeId, Source) {
  RunConstructor();
  if (const auto* module = dynamic_cast<const TTvx4i4o*>(&Source)) {
    OnInputChanged = module->OnInputChanged;
    m_yout = module->m_yout;
    m_xin = module->m_xin;
    m_oldXin = module->m_oldXin;
  }
}

TTvx4i4o::~TTvx4i4o() {
  RunDestructor();
}

void TTvx4i4o::RunConstructor() {
  m_yout = m_xin = m_oldXin = 0;
}

void TTvx4i4o::RunDestructor() {}

void TTvx4i4o::pw_Yout(std::uint8_t value) {
  m_yout = value;
  sendToSelf({kTvx4i4oCmdSetOutputs, value});
}

bool TTvx4i4o::pr_BitOfY(int index) const {
  return bitOf(m_yout, index);
}

void TTvx4i4o::pw_BitOfY(int index, bool value) {
  if (index < 0 || index > 3) {
    return;
  }
  const auto mask = static_cast<std::uint8_t>(1U << index);
  pw_Yout(value ? static_cast<std::uint8_t>(m_yout | mask)
                : static_cast<std::uint8_t>(m_yout & ~mask));
}

bool TTvx4i4o::pr_BitOfX(int index) const {
  return bitOf(m_xin, index);
}

bool TTvx4i4o::pr_Old_BitOfX(int index) const {
  return bitOf(m_oldXin, index);
}

void TTvx4i4o::FilteringReceivedHcnPacket(const _SHCNRXDPACKET& RxdPacket) {
  if (RxdPacket.Datas[0] != kTvx4i4oReportInputsChanged) {
    THCNet_Node::FilteringReceivedHcnPacket(RxdPacket);
    return;
  }
  m_oldXin = m_xin;
  m_xin = RxdPacket.Datas[1];
  if (OnInputChanged) {
    OnInputChanged(this, m_hcnSegId, m_hcnNodeId);
  }
}

// The module clears its outputs when it resets.
void TTvx4i4o::BeforeRunRequestToReset() {
  m_yout = 0;
}

// A module that reset by itself (power, watchdog) gets its outputs back.
void TTvx4i4o::BeforeFireOnSuccessfulResetEvent(const _SHCNRXDPACKET& /*RxdPacket*/) {
  if (m_yout != 0) {
    pw_Yout(m_yout);
  }
}

}  // namespace KwxCtrl
