#pragma once

#include <array>
#include <string>
#include <utility>

#include "project/project.h"

// Section and key names of the project file for its lists, shared by the file itself and by
// everything that names an entry of it to the user.
namespace tvx::project_key {

inline constexpr const char* kHead = "Head";
inline constexpr const char* kMode = "Mode";
inline constexpr const char* kVerticalBackgrounds = "UserBkGndImage";
inline constexpr const char* kHorizontalBackgrounds = "UserBkGndImage2";
inline constexpr const char* kFloorTable = "FloorTable";
inline constexpr const char* kFloorBkgImage = "FloorBkgImage";
inline constexpr const char* kLiftStateImage = "LiftStateImage";
inline constexpr const char* kDateTimeImage = "DateTimeImage";
// Only the protocols that raise messages from inputs have it.
inline constexpr const char* kLiftMsgIdx = "LiftMsgIdx";

// The Head section as this version writes it, and the keys of Mode.
inline constexpr std::array<std::pair<const char*, const char*>, 4> kHeadEntries{{
    {"Signature", "KWX"},
    {"Version", "1.0"},
    {"Model", "TVX880 RevA"},
    {"Model Description", "Color TFT-LCD Indicator"},
}};
inline constexpr std::array<const char*, 3> kModeKeys{"Layout", "DISPTYPE_HV", "Protocol"};

inline constexpr const char* kLiftStatePrefix = "LiftState_";
// Older files spell the lift-state keys this way.
inline constexpr const char* kOldLiftStatePrefix = "LeftState_";
inline constexpr std::array<char, kLiftStateColumnCount> kColumnLetters{'A', 'B', 'C', 'D'};

inline std::string SlotKey(const char* prefix, int slot) {
  return prefix + std::to_string(slot);
}
// "UserBkGnd_Image" + slot, in both background lists.
inline std::string BackgroundKey(int slot) {
  return SlotKey("UserBkGnd_Image", slot);
}
// prefix + row + "_" + column letter: "LiftState_0_A".
inline std::string LiftStateKey(const char* prefix, int row, int column) {
  return prefix + std::to_string(row) + "_" + kColumnLetters[column];
}
inline std::string LiftStateKey(int row, int column) {
  return LiftStateKey(kLiftStatePrefix, row, column);
}
// "MSG" + row: the input that raises the message of a lift-state row.
inline std::string MessageInputKey(int row) {
  return SlotKey("MSG", row);
}
// "Month_" + month (1..12, 0 the language), "Week_" + day (1..7 Monday..Sunday, 0 the language).
inline std::string MonthKey(int month) {
  return SlotKey("Month_", month);
}
inline std::string WeekKey(int day) {
  return SlotKey("Week_", day);
}

}  // namespace tvx::project_key
