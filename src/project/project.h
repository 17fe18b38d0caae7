#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tvx {

inline constexpr int kFloorCodeCount = 256;
inline constexpr int kBackgroundSlotCount = 128;
inline constexpr int kLiftStateRowCount = 10;
inline constexpr int kLiftStateColumnCount = 4;
inline constexpr int kStyleSlotCount = 5;
inline constexpr int kMonthImageCount = 13;  // entry 0 is the month language folder
inline constexpr int kWeekImageCount = 8;    // entry 0 is DateTimeLanguage

// Screen arrangements: the high nibble of Layout.
inline constexpr int kLayoutArrangement1 = 0x40;  // "佈置 1", horizontal
inline constexpr int kLayoutArrangement2 = 0x10;  // "佈置 2", vertical
inline constexpr int kLayoutArrangement3 = 0x80;  // "佈置 3", horizontal
inline constexpr int kLayoutArrangement4 = 0x20;  // "佈置 4", vertical

// Colours are 0x00BBGGRR, red in the least significant byte.
using Colour = std::uint32_t;

// Rows of the lift-state table, in the order of the indicator's message slots.
enum class LiftStateRow : int {
  kFire = 0,
  kEarthquake,
  kAlarm,
  kPowerFailure,
  kOverload,
  kMaintenance,
  kFullLoad,
  kVip,
  kParking,
  kIndependentService,
};

using PathTable = std::array<std::array<std::string, kLiftStateColumnCount>, kLiftStateRowCount>;

// A key of one of the project file's own sections that this version does not read (written by
// a newer tool or by hand), kept as the file held it so that a save writes it back.
struct UnknownKey {
  std::string section;
  std::string key;
  std::string value;  // the file's bytes
  bool operator==(const UnknownKey&) const = default;
};

// The one open design. Fields keep the names of the project file's keys; settings chosen from
// lists hold the list index that the file stores. Values that the running program owns
// (language, protocol, title, window state) live in ProgramState.
struct Project {
  // Display and layout.
  int DISPTYPE_HV = 1;  // 1 = vertical 240 x 320, 0 = horizontal 320 x 240
  int Layout = kLayoutArrangement2;
  int LayoutVariant = 0;  // "樣式 1" = 0, "樣式 2" = 1

  // Colours.
  Colour FL_COLOR = 0xFFFFFF;
  Colour BKG_COLOR = 0x000000;
  Colour MSGBKG_COLOR = 0x464646;
  Colour CLOCK_COLOR = 0xFFFFFF;

  // Floor digit and arrow styles: selected slot 1..5, and the catalogue folder of each slot
  // (FLS_DIR[n - 1] is the file's FLS<n>_DIR, DIRS_DIR[n - 1] its DIRS<n>_DIR).
  int FL_STYLE = 1;
  int DIR_STYLE = 1;
  std::array<std::string, kStyleSlotCount> FLS_DIR{"Style0", "Style1", "Style2", "Style3",
                                                   "Style4"};
  std::array<std::string, kStyleSlotCount> DIRS_DIR{"Style0", "Style1", "Style2", "Style3",
                                                    "Style4"};

  // Date and time.
  int USE_DATETIME = 0;
  int DATE_STYLE = 0;
  std::string DateTimeLanguage = "EN";
  std::array<std::string, kMonthImageCount> MonthImages;  // [0] language used, [1..12] Jan..Dec
  std::array<std::string, kWeekImageCount> WeekImages;    // [0] DateTimeLanguage, [1..7] Mon..Sun

  // Lift-state messages: rows of LiftStateRow, columns A..D.
  PathTable LiftStateImage;
  int MSG_STYLE = 3;                                 // bit 0 = column A .. bit 3 = column D
  std::array<int, kLiftStateRowCount> LiftMsgIdx{};  // index into kLiftMsgInputChoices

  // Backgrounds.
  int USE_BACKGROUNDBMP = 0;
  std::array<std::string, kBackgroundSlotCount> UserBkGndImage;   // vertical
  std::array<std::string, kBackgroundSlotCount> UserBkGndImage2;  // horizontal
  int AUTOSLIDESHOW = 1;     // 1 in turn, 0 per floor, 2 always picture 0
  int SLIDESHOWTIMEGAP = 0;  // seconds between pictures minus 1

  // Standby logo.
  int USE_STANDBYLOGO = 0;
  std::string STANDBYLOGOBMP;
  int STANDBYTIME = 2;  // switch time in seconds minus 1

  // Controller and indicator settings.
  int NODEADDR = 0;
  int CAR_HALL = 1;  // 1 landing indicator, 0 car indicator
  int ARRIVALBLINK = 0;
  int HLAMP1 = 0;
  int HLAMP2 = 0;
  int HLAMP3 = 0;
  int BACKLIGHTSAVE = 0;
  int LCDBLCTRLMODE = 2;
  int PS_MODE = 3;

  // Floor code table: display text and background slot number per controller floor code.
  std::array<std::string, kFloorCodeCount> FloorTable;
  std::array<std::string, kFloorCodeCount> FloorBkgImage;

  // Keys of the own sections this version does not know, in file order; a save writes each
  // after the known keys of its section.
  std::vector<UnknownKey> UnknownKeys;

  // Not saved.
  std::string ProjectPath;    // file last loaded or saved; empty after start-up and new project
  std::string FloorStyleDir;  // catalogue folder of the selected floor style, with separator

  bool operator==(const Project&) const = default;
};

// Whether two projects hold the same design: everything but the fields that are not saved.
bool SameDesign(const Project& a, const Project& b);

// "0x" and the code in two upper-case hexadecimal digits: the key of a floor code in every file.
std::string FloorCodeName(int code);

// Chooses a screen arrangement the way its radio button does: the vertical ones also reset the
// variant, the horizontal ones keep it. A code that is no arrangement changes nothing and
// answers false.
bool SelectLayout(Project& project, int layoutCode);

// Whether the code is one of the four arrangements.
bool IsArrangement(int layoutCode);

}  // namespace tvx
