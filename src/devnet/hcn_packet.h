#pragma once

#include <cstdint>

namespace KwxCtrl {

// Class ids of the components on a device network.
enum _EHcnClsId : std::uint32_t {
  hci_None = 0x00,     // an empty topology entry
  hci_Tvx4i4o = 0x80,  // the 4-input/4-output module
  hci_Rnsm = 0xA0,     // the bridge between the PC and the network
  hci_Last = 0xA8,
};

inline constexpr std::uint8_t kHcnMaxSegId = 0x80;
inline constexpr std::uint8_t kHcnMaxNodeId = 0x7F;
inline constexpr int kHcnSegmentCount = kHcnMaxSegId + 1;
inline constexpr int kHcnNodeCount = kHcnMaxNodeId + 1;
inline constexpr int kHcnDatasSize = 17;
inline constexpr int kHcnPacketHeadSize = 3;  // segment, node, byte count

// A packet to a node. Only the first 3 + BytesOfDatas bytes travel on the line.
struct _SHCNTXDPACKET {
  std::uint8_t HcnSegId = 0;
  std::uint8_t HcnNodeId = 0;
  std::uint8_t BytesOfDatas = 0;           // used bytes of Datas, 1 to 17
  std::uint8_t Datas[kHcnDatasSize] = {};  // Datas[0] is the command code
};

// A packet from a node: the same layout, the address being the sender's.
struct _SHCNRXDPACKET {
  std::uint8_t HcnSegId = 0;
  std::uint8_t HcnNodeId = 0;
  std::uint8_t BytesOfDatas = 0;
  std::uint8_t Datas[kHcnDatasSize] = {};
};
using THcnRxdPacket = _SHCNRXDPACKET;

static_assert(sizeof(_SHCNTXDPACKET) == 20 && sizeof(_SHCNRXDPACKET) == 20);

// Command codes; the reply to a request is the request code + 0x10.
inline constexpr std::uint8_t kHcnCmdQueryProtocolVersion = 0x03;
inline constexpr std::uint8_t kHcnCmdQueryClsId = 0x04;
inline constexpr std::uint8_t kHcnCmdQueryCustomerId = 0x05;
inline constexpr std::uint8_t kHcnCmdRequestToReset = 0x0F;
inline constexpr std::uint8_t kHcnReplyProtocolVersion = 0x13;
inline constexpr std::uint8_t kHcnReplyClsId = 0x14;
inline constexpr std::uint8_t kHcnReplyCustomerId = 0x15;
inline constexpr std::uint8_t kHcnReplyResetDone = 0x1F;
inline constexpr std::uint8_t kHcnReportPacketUnreachable = 0x21;
inline constexpr std::uint8_t kTvx4i4oCmdSetOutputs = 0x84;
inline constexpr std::uint8_t kTvx4i4oReportInputsChanged = 0x81;

// Texts shared by several components.
inline constexpr const char kHcnAddressNotInTopologic[] =
    "\nThe address of node is not belong to the topologic of VODed !!!\n";

inline bool IsHcnAddressInRange(unsigned segId, unsigned nodeId) {
  return segId <= kHcnMaxSegId && nodeId <= kHcnMaxNodeId;
}

}  // namespace KwxCtrl
