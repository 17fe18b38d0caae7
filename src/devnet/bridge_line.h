#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "devnet/hcn_packet.h"

namespace KwxCtrl {

// The text protocol of the RS-232 bridge. The PC sends commands that start with one space
// and end with CR LF; the bridge answers register queries with "*Rc=hh" lines and carries
// network packets as "@" frames (from the network) and ">" frames (to the network).

// What the bridge sends right after the port opens: a blank line, then a query of every
// register the connection needs (R3..R9, R0, R1).
inline constexpr const char kBridgeConnectBurst[] =
    " \n ?R3\r\n ?R4\r\n ?R5\r\n ?R6\r\n ?R7\r\n ?R8\r\n ?R9\r\n ?R0\r\n ?R1\r\n";
// The reply mask once R0, R1 and R3..R9 have answered, and nothing else.
inline constexpr std::uint16_t kBridgeConnectedReplyMask = 0x03FB;

enum class BridgeLineKind { Ignored, RegisterAnswer, PacketFrame };

struct BridgeLine {
  BridgeLineKind Kind = BridgeLineKind::Ignored;
  char Register = 0;        // RegisterAnswer: '0', '1', '3'..'9', 'E' or 'F'
  std::uint8_t Value = 0;   // RegisterAnswer: the register's value
  _SHCNRXDPACKET Packet{};  // PacketFrame: the decoded packet
};

// Classifies one received line (with its line end). Malformed lines are Ignored.
BridgeLine ParseBridgeLine(const char* data, std::size_t size);

// The bit of a register in the reply mask collected while connecting (1 << register number).
std::uint16_t BridgeReplyMaskBit(char registerChar);

// ">" followed by the first 3 + BytesOfDatas bytes of the packet in upper-case hexadecimal,
// then CR LF. BytesOfDatas must be 1..17.
std::string BuildPacketFrame(const _SHCNTXDPACKET& packet);
// " +Rc=hh\r\n"
std::string BuildRegisterWrite(char registerChar, std::uint8_t value);
// " ?Rc\r\n"
std::string BuildRegisterQuery(char registerChar);

}  // namespace KwxCtrl
