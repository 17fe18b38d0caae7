#pragma once

#include <array>
#include <string_view>

// The lift controller protocols the indicator speaks, as named by the settings key Option/OEM.
namespace tvx {

struct ProtocolInfo {
  std::string_view name;
  int resource32;          // library resource of the protocol in a 32 Mb image
  int resource64;          // the same in a 64 Mb image
  bool dateTimeSupported;  // the protocol carries the time
  bool liftMsgIdxUsed;     // lift-state messages are raised by controller inputs
};

inline constexpr std::array<ProtocolInfo, 9> kProtocols{{
    {"STEP", 98, 129, true, false},
    {"XMHK", 99, 130, false, false},
    {"KWXRS", 100, 128, true, false},
    {"KWXPS", 117, 134, true, true},
    {"TDBIN", 118, 135, true, true},
    {"YIHER", 107, 133, true, false},
    {"CCI", 108, 132, false, false},
    {"XMHK64", 111, 131, false, false},
    {"FRONTIER", 136, 137, true, false},
}};

// Resources used when no protocol matched.
inline constexpr int kDefaultProtocolResource32 = 98;
inline constexpr int kDefaultProtocolResource64 = 129;

// The protocol of that exact (case-sensitive) name, or null.
inline const ProtocolInfo* FindProtocol(std::string_view name) {
  for (const ProtocolInfo& protocol : kProtocols) {
    if (protocol.name == name) {
      return &protocol;
    }
  }
  return nullptr;
}

}  // namespace tvx
