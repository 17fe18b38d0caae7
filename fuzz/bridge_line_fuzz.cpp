// Received bridge lines: whatever arrives must be classified without reading outside the line,
// and every accepted frame must survive the way back through the frame builder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "devnet/bridge_line.h"

using namespace KwxCtrl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the line, so that reading past it is caught.
  char* line = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
  std::memcpy(line, data, size);
  const BridgeLine parsed = ParseBridgeLine(line, size);
  std::free(line);

  if (parsed.Kind == BridgeLineKind::RegisterAnswer) {
    if (BridgeReplyMaskBit(parsed.Register) == 0 || parsed.Register == '2') {
      std::abort();
    }
  }
  if (parsed.Kind == BridgeLineKind::PacketFrame) {
    const _SHCNRXDPACKET& packet = parsed.Packet;
    if (packet.BytesOfDatas < 1 || packet.BytesOfDatas > kHcnDatasSize) {
      std::abort();
    }
    _SHCNTXDPACKET echo;
    echo.HcnSegId = packet.HcnSegId;
    echo.HcnNodeId = packet.HcnNodeId;
    echo.BytesOfDatas = packet.BytesOfDatas;
    std::memcpy(echo.Datas, packet.Datas, sizeof echo.Datas);
    std::string frame = BuildPacketFrame(echo);
    frame[0] = '@';
    const BridgeLine again = ParseBridgeLine(frame.data(), frame.size());
    if (again.Kind != BridgeLineKind::PacketFrame ||
        std::memcmp(&again.Packet, &packet, sizeof packet) != 0) {
      std::abort();
    }
  }
  return 0;
}
