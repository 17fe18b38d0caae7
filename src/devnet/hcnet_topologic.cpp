#include "devnet/hcnet_topologic.h"

#include <new>

#include "util/ey_general.h"

namespace KwxCtrl {

using YVclUtil::EYGeneral;

THCNet_Topologic::THCNet_Topologic(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
                                   std::uint8_t AHcnNodeId)
    : THCNet(AOwner, AHcnClsId, AHcnSegId, AHcnNodeId) {
  RunConstructor();
}

THCNet_Topologic::~THCNet_Topologic() {
  RunDestructor();
}

void THCNet_Topologic::RunConstructor() {
  m_fileName.clear();
}

void THCNet_Topologic::RunDestructor() {
  FreeHcnTopologic();
}

THCNet_Topologic::NodeTable& THCNet_Topologic::nodeTableOf(unsigned segId) {
  auto& slot = m_segments[segId];
  if (!slot) {
    try {
      slot = std::make_unique<NodeTable>();
    } catch (const std::bad_alloc&) {
      throw EYGeneral("%s", "\nErr: Can not allocate memory !!!\n");
    }
  }
  return *slot;
}

THCNet_Topologic::Entry* THCNet_Topologic::findEntry(unsigned segId, unsigned nodeId) const {
  if (!IsHcnAddressInRange(segId, nodeId) || !m_segments[segId]) {
    return nullptr;
  }
  return &(*m_segments[segId])[nodeId];
}

const THCNet_Topologic::Entry* THCNet_Topologic::checkedEntry(unsigned segId,
                                                              unsigned nodeId) const {
  if (!IsHcnAddressInRange(segId, nodeId)) {
    throw EYGeneral("%s", kHcnAddressNotInTopologic);
  }
  return findEntry(segId, nodeId);
}

void THCNet_Topologic::AddHcnComponentToHcnTopologic(THCNet* AHcnComponent, std::uint32_t AOrigin) {
  const unsigned segId = AHcnComponent->pr_HcnSegId();
  const unsigned nodeId = AHcnComponent->pr_HcnNodeId();
  if (!IsHcnAddressInRange(segId, nodeId)) {
    throw EYGeneral("%s", kHcnAddressNotInTopologic);
  }
  Entry& entry = nodeTableOf(segId)[nodeId];
  if (entry.Component != nullptr && entry.Component != AHcnComponent) {
    throw EYGeneral("\nErr: Duplicated VODed Address !!!\nHcnSegId  = 0x%02X\nHcnNodeId = 0x%02X\n",
                    segId, nodeId);
  }
  entry.ClsId = AHcnComponent->pr_HcnClsId();
  entry.Component = AHcnComponent;
  entry.Flags = (entry.Flags & ~kOriginMask) | (AOrigin & kOriginMask);
  // The entry goes when the component does.
  FreeNotification(AHcnComponent);
}

std::uint32_t THCNet_Topologic::pr_TopologicClsId(unsigned AHcnSegId, unsigned AHcnNodeId) const {
  const Entry* entry = checkedEntry(AHcnSegId, AHcnNodeId);
  return entry != nullptr ? entry->ClsId : hci_None;
}

THCNet* THCNet_Topologic::pr_TopologicHcnComponent(unsigned AHcnSegId, unsigned AHcnNodeId) const {
  const Entry* entry = checkedEntry(AHcnSegId, AHcnNodeId);
  return entry != nullptr ? entry->Component : nullptr;
}

std::uint32_t THCNet_Topologic::pr_TopologicFlags(unsigned AHcnSegId, unsigned AHcnNodeId) const {
  const Entry* entry = checkedEntry(AHcnSegId, AHcnNodeId);
  return entry != nullptr ? entry->Flags : 0;
}

void THCNet_Topologic::FreeHcnTopologic() {
  for (auto& slot : m_segments) {
    if (!slot) {
      continue;
    }
    for (Entry& entry : *slot) {
      if ((entry.Flags & kOriginMask) == kOriginDefault && entry.Component != nullptr) {
        THCNet* created = entry.Component;
        entry = Entry{};
        delete created;
      }
    }
    slot.reset();
  }
}

void THCNet_Topologic::Notification(THCNet* gone) {
  for (auto& slot : m_segments) {
    if (!slot) {
      continue;
    }
    for (Entry& entry : *slot) {
      if (entry.Component == gone) {
        entry = Entry{};
      }
    }
  }
  THCNet::Notification(gone);
}

}  // namespace KwxCtrl
