#pragma once

#include "devnet/hcnet_node.h"

namespace KwxCtrl {

// The 4-input/4-output module: four outputs written as one byte (Yout), four inputs that
// the module reports whenever they change.
class TTvx4i4o : public THCNet_Node {
 public:
  // Segment 0x80, node 0.
  explicit TTvx4i4o(TComponent* AOwner);
  TTvx4i4o(TComponent* AOwner, std::uint8_t AHcnSegId, std::uint8_t AHcnNodeId);
  // Bound to ATopologic and added to it (origin 2).
  TTvx4i4o(TComponent* AOwner, THCNet_Topologic* ATopologic);
  TTvx4i4o(TComponent* AOwner, std::uint8_t AHcnSegId, std::uint8_t AHcnNodeId,
           THCNet_Topologic* ATopologic);
  // A copy of Source (events, BindTo, outputs and inputs) at another address; Source must
  // have the class id AHcnClsId.
  TTvx4i4o(TComponent* AOwner, _EHcnClsId AHcnClsId, std::uint8_t AHcnSegId,
           std::uint8_t AHcnNodeId, const THCNet& Source);
  ~TTvx4i4o() override;

  std::uint8_t pr_Yout() const { return m_yout; }
  // Stores the outputs and sends them to the module.
  void pw_Yout(std::uint8_t value);
  bool pr_BitOfY(int index) const;
  void pw_BitOfY(int index, bool value);
  std::uint8_t pr_Xin() const { return m_xin; }
  std::uint8_t pr_Old_Xin() const { return m_oldXin; }
  bool pr_BitOfX(int index) const;
  bool pr_Old_BitOfX(int index) const;

  void FilteringReceivedHcnPacket(const _SHCNRXDPACKET& RxdPacket) override;

  THcnNotifyEvent OnInputChanged;

 protected:
  void BeforeRunRequestToReset() override;
  void BeforeFireOnSuccessfulResetEvent(const _SHCNRXDPACKET& RxdPacket) override;

 private:
  void RunConstructor();
  void RunDestructor();

  std::uint8_t m_yout = 0;
  std::uint8_t m_xin = 0;
  std::uint8_t m_oldXin = 0;
};

}  // namespace KwxCtrl
