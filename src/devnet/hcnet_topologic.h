#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "devnet/hcnet.h"

namespace KwxCtrl {

// Which component stands at which address of the network (segments 0x00..0x80, nodes
// 0x00..0x7F), and the check of that table against a topology file.
class THCNet_Topologic : public THCNet {
 public:
  // Where an entry came from (bits 0..2 of its flags) and the mark of the file check.
  static constexpr std::uint32_t kOriginForm = 1;         // read from a form, then Loaded
  static constexpr std::uint32_t kOriginConstructor = 2;  // made in code with a topology
  static constexpr std::uint32_t kOriginDefault = 4;      // made from the template by the check
  static constexpr std::uint32_t kOriginMask = 7;
  static constexpr std::uint32_t kDeclaredByFile = 0x80000000U;

  THCNet_Topologic(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
                   std::uint8_t AHcnNodeId);
  ~THCNet_Topologic() override;

  const std::string& pr_FileName() const { return m_fileName; }
  void pw_FileName(const std::string& value) { m_fileName = value; }

  // Puts the component at its own address; raises EYGeneral for an address out of range or
  // taken by another component.
  void AddHcnComponentToHcnTopologic(THCNet* AHcnComponent, std::uint32_t AOrigin);
  // 0 / none where the segment has no table; EYGeneral for an address out of range.
  std::uint32_t pr_TopologicClsId(unsigned AHcnSegId, unsigned AHcnNodeId) const;
  THCNet* pr_TopologicHcnComponent(unsigned AHcnSegId, unsigned AHcnNodeId) const;
  std::uint32_t pr_TopologicFlags(unsigned AHcnSegId, unsigned AHcnNodeId) const;

  // Loads FileName, creates the declared modules that are missing and raises EYGeneral on
  // the first disagreement between the file and the components that exist.
  void LoadAndChkTopologicIniAndAssignDefaultHcnComponentToHcnTopologic();
  // Empties the table, destroying the components that the check created.
  void FreeHcnTopologic();

 protected:
  struct Entry {
    std::uint32_t ClsId = hci_None;
    THCNet* Component = nullptr;
    std::uint32_t Flags = 0;
  };
  using NodeTable = std::array<Entry, kHcnNodeCount>;

  // A new component of that class at that address, added to ATopologic; none when this
  // topology cannot make one.
  virtual THCNet* CreateDefaultHcnComponentAndAddToHcnTopologic(_EHcnClsId AHcnClsId,
                                                                std::uint8_t AHcnSegId,
                                                                std::uint8_t AHcnNodeId,
                                                                THCNet_Topologic* ATopologic) = 0;
  void Notification(THCNet* gone) override;

  // The entry at a valid address, or null when its segment has no table.
  Entry* findEntry(unsigned segId, unsigned nodeId) const;

 private:
  void RunConstructor();
  void RunDestructor();
  NodeTable& nodeTableOf(unsigned segId);
  const Entry* checkedEntry(unsigned segId, unsigned nodeId) const;

  std::array<std::unique_ptr<NodeTable>, kHcnSegmentCount> m_segments;
  std::string m_fileName;
};

}  // namespace KwxCtrl
