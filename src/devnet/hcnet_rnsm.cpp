#include "devnet/hcnet_rnsm.h"

#include "devnet/tvx4i4o.h"
#include "util/ey_general.h"

namespace KwxCtrl {

THCNet_Rnsm::THCNet_Rnsm(TComponent* AOwner) : THCNet_Topologic(AOwner, hci_Rnsm, 0x80, 0x80) {
  RunConstructor();
}

THCNet_Rnsm::~THCNet_Rnsm() {
  RunDestructor();
}

void THCNet_Rnsm::RunConstructor() {
  m_connected = false;
  m_defHandlerTvx4i4o = nullptr;
}

void THCNet_Rnsm::RunDestructor() {}

void THCNet_Rnsm::pw_HcnSegId(std::uint8_t /*value*/) {}

void THCNet_Rnsm::pw_HcnNodeId(std::uint8_t /*value*/) {}

TTvx4i4o* THCNet_Rnsm::pr_Tvx4i4o(unsigned AHcnSegId, unsigned AHcnNodeId) const {
  const Entry* entry = findEntry(AHcnSegId, AHcnNodeId);
  if (entry == nullptr) {
    throw YVclUtil::EYGeneral("%s", kHcnAddressNotInTopologic);
  }
  auto* module = dynamic_cast<TTvx4i4o*>(entry->Component);
  if (entry->ClsId != hci_Tvx4i4o || module == nullptr) {
    throw YVclUtil::EYGeneral("%s", "\nThe address of node is not a TTvx4i4o component !!!\n");
  }
  return module;
}

void THCNet_Rnsm::pw_DefHandler_Tvx4i4o(TTvx4i4o* value) {
  m_defHandlerTvx4i4o = value;
  FreeNotification(value);
}

THCNet* THCNet_Rnsm::CreateDefaultHcnComponentAndAddToHcnTopologic(_EHcnClsId AHcnClsId,
                                                                   std::uint8_t AHcnSegId,
                                                                   std::uint8_t AHcnNodeId,
                                                                   THCNet_Topologic* ATopologic) {
  if (AHcnClsId != hci_Tvx4i4o || m_defHandlerTvx4i4o == nullptr || ATopologic == nullptr) {
    return nullptr;
  }
  auto* module = new TTvx4i4o(this, AHcnClsId, AHcnSegId, AHcnNodeId, *m_defHandlerTvx4i4o);
  try {
    module->pw_BindTo(ATopologic);
    ATopologic->AddHcnComponentToHcnTopologic(module, kOriginDefault);
  } catch (...) {
    delete module;
    throw;
  }
  return module;
}

void THCNet_Rnsm::Notification(THCNet* gone) {
  if (gone == m_defHandlerTvx4i4o) {
    m_defHandlerTvx4i4o = nullptr;
  }
  THCNet_Topologic::Notification(gone);
}

void THCNet_Rnsm::FilteringReceivedHcnPacket(const _SHCNRXDPACKET& RxdPacket) {
  if (!IsHcnAddressInRange(RxdPacket.HcnSegId, RxdPacket.HcnNodeId)) {
    return;
  }
  const Entry* entry = findEntry(RxdPacket.HcnSegId, RxdPacket.HcnNodeId);
  if (entry != nullptr && entry->Component != nullptr) {
    entry->Component->FilteringReceivedHcnPacket(RxdPacket);
  } else {
    THCNet_Topologic::FilteringReceivedHcnPacket(RxdPacket);
  }
}

}  // namespace KwxCtrl
