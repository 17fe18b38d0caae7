#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "project/program_state.h"
#include "project/project.h"
#include "rom/build_clock.h"
#include "rom/floor_code_table.h"
#include "rom/resource_list.h"
#include "rom/rom_layout.h"

// The configuration block: the last 4096 bytes of the ROM image, where the indicator finds the
// floor code table and every setting of the project. Numbers are little-endian; bytes not
// listed are reserved and 0.
namespace tvx {

using ConfigBlock = std::array<std::uint8_t, kConfigBlockSize>;

namespace config_offset {
inline constexpr std::size_t kSignature = 0;   // "KWXDPLCD88"
inline constexpr std::size_t kHeaderCrc = 10;  // CRC of the image's first 16 KiB
inline constexpr std::size_t kProtocolCrc = 11;
inline constexpr std::size_t kProtocolCrcComplement = 12;  // 255 - CRC
inline constexpr std::size_t kProtocolSize = 13;           // 24 bits
inline constexpr std::size_t kBackgroundTable = 16;        // 256 bytes
inline constexpr std::size_t kDisplayCodeTable = 272;      // 256 x u16
inline constexpr std::size_t kNodeAddress = 800;
inline constexpr std::size_t kDirectionStyle = 802;  // DIR_STYLE - 1
inline constexpr std::size_t kFloorStyle = 803;      // FL_STYLE
inline constexpr std::size_t kBackgroundColour = 804;
inline constexpr std::size_t kFloorColour = 808;
inline constexpr std::size_t kMessageBackgroundColour = 812;
inline constexpr std::size_t kUseBackgroundPictures = 816;
inline constexpr std::size_t kBackgroundMode = 817;
inline constexpr std::size_t kSlideShowInterval = 818;  // u16
inline constexpr std::size_t kDateStyle = 820;
inline constexpr std::size_t kArrivalBlink = 822;
inline constexpr std::size_t kMessageStyle = 823;
inline constexpr std::size_t kDateTimeDisplay = 824;
inline constexpr std::size_t kBuildDate = 826;  // year - 2000, month, day
inline constexpr std::size_t kBuildTime = 829;  // hour, minute, second
inline constexpr std::size_t kHallLamps = 848;  // 3 bytes
inline constexpr std::size_t kStandbyLogo = 852;
inline constexpr std::size_t kStandbyTime = 853;
inline constexpr std::size_t kBacklightSaving = 854;  // u16
inline constexpr std::size_t kArrangement = 856;
inline constexpr std::size_t kFixedTwo = 858;
inline constexpr std::size_t kClockColour = 859;
inline constexpr std::size_t kBacklightControlMode = 861;
inline constexpr std::size_t kTriggerMode = 863;
inline constexpr std::size_t kBackgroundSequence = 864;  // 256 bytes
inline constexpr std::size_t kMessageCodeTable = 1120;   // 16 bytes
}  // namespace config_offset

inline constexpr std::string_view kConfigSignature = "KWXDPLCD88";
inline constexpr std::size_t kMessageCodeTableSize = 16;
inline constexpr int kFirstMessageSlot = 176;

// Background mode byte: 1 slide show, 2 fixed picture 0, 0 per floor.
inline constexpr std::uint8_t kBackgroundModeSlideShow = 1;
inline constexpr std::uint8_t kBackgroundModeFixed = 2;
inline constexpr std::uint8_t kBackgroundModePerFloor = 0;

struct ConfigBlockInputs {
  const AppSettings& settings;
  const FloorCodeTables& tables;
  const BackgroundSequence& backgroundSequence;
  const ResourceChecks& checks;
  BuildTime time;
};

// Fills every field but the header CRC (byte 10), which the ROM image writes. In the vertical
// arrangements the project's LayoutVariant is set to 0 first.
ConfigBlock MakeConfigBlock(Project& project, const ConfigBlockInputs& inputs);

// A project colour 0x00BBGGRR as the indicator's 5-6-5 value, by truncation.
std::uint16_t ColourToRgb565(Colour colour);

}  // namespace tvx
