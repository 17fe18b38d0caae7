#include "devnet/bridge_line.h"

#include "util/hex.h"

namespace KwxCtrl {
namespace {

using YVclUtil::HexCase;
using YVclUtil::HexDigitValue;

bool isLineEnd(char c) {
  return c == '\r' || c == '\n';
}

bool isAnsweringRegister(char c) {
  return c == '0' || c == '1' || (c >= '3' && c <= '9') || c == 'E' || c == 'F';
}

BridgeLine parseRegisterAnswer(const char* data, std::size_t size) {
  BridgeLine line;
  // "*Rc=hh" and then nothing but the line end; the digits of an answer come in either case.
  if (size < 6 || data[1] != 'R' || !isAnsweringRegister(data[2]) || data[3] != '=') {
    return line;
  }
  const int high = HexDigitValue(data[4]);
  const int low = HexDigitValue(data[5]);
  if (high < 0 || low < 0) {
    return line;
  }
  for (std::size_t i = 6; i < size; ++i) {
    if (!isLineEnd(data[i])) {
      return line;
    }
  }
  line.Kind = BridgeLineKind::RegisterAnswer;
  line.Register = data[2];
  line.Value = static_cast<std::uint8_t>(high << 4 | low);
  return line;
}

BridgeLine parsePacketFrame(const char* data, std::size_t size) {
  constexpr std::size_t kMaxBytes = kHcnPacketHeadSize + kHcnDatasSize;
  std::uint8_t bytes[kMaxBytes];
  std::size_t count = 0;
  std::size_t at = 1;
  // Decode pairs until a character that is no digit stands where a pair would begin; frames
  // carry upper-case digits only.
  while (at < size && HexDigitValue(data[at], HexCase::kUpperOnly) >= 0) {
    if (at + 1 >= size || count == kMaxBytes) {
      return {};
    }
    const int high = HexDigitValue(data[at], HexCase::kUpperOnly);
    const int low = HexDigitValue(data[at + 1], HexCase::kUpperOnly);
    if (low < 0) {
      return {};  // an odd number of digits
    }
    bytes[count++] = static_cast<std::uint8_t>(high << 4 | low);
    at += 2;
  }
  if (at >= size || !isLineEnd(data[at]) || count < 4 || count != bytes[2] + 3U) {
    return {};
  }
  BridgeLine line;
  line.Kind = BridgeLineKind::PacketFrame;
  line.Packet.HcnSegId = bytes[0];
  line.Packet.HcnNodeId = bytes[1];
  line.Packet.BytesOfDatas = bytes[2];
  for (std::size_t i = 3; i < count; ++i) {
    line.Packet.Datas[i - 3] = bytes[i];
  }
  return line;
}

}  // namespace

BridgeLine ParseBridgeLine(const char* data, std::size_t size) {
  if (data == nullptr || size == 0) {
    return {};
  }
  switch (data[0]) {
    case '*':
      return parseRegisterAnswer(data, size);
    case '@':
      return parsePacketFrame(data, size);
    default:
      return {};
  }
}

std::uint16_t BridgeReplyMaskBit(char registerChar) {
  const int number = HexDigitValue(registerChar, HexCase::kUpperOnly);
  return number < 0 ? 0 : static_cast<std::uint16_t>(1U << number);
}

std::string BuildPacketFrame(const _SHCNTXDPACKET& packet) {
  const std::uint8_t head[kHcnPacketHeadSize] = {packet.HcnSegId, packet.HcnNodeId,
                                                 packet.BytesOfDatas};
  const int datas = packet.BytesOfDatas <= kHcnDatasSize ? packet.BytesOfDatas : kHcnDatasSize;
  std::string frame = ">";
  char hex[2];
  for (std::uint8_t byte : head) {
    YVclUtil::BinToHexAscii(byte, hex);
    frame.append(hex, 2);
  }
  for (int i = 0; i < datas; ++i) {
    YVclUtil::BinToHexAscii(packet.Datas[i], hex);
    frame.append(hex, 2);
  }
  frame += "\r\n";
  return frame;
}

std::string BuildRegisterWrite(char registerChar, std::uint8_t value) {
  char hex[2];
  YVclUtil::BinToHexAscii(value, hex);
  return std::string(" +R") + registerChar + '=' + std::string(hex, 2) + "\r\n";
}

std::string BuildRegisterQuery(char registerChar) {
  return std::string(" ?R") + registerChar + "\r\n";
}

}  // namespace KwxCtrl
