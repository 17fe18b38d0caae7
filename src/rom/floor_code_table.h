#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/project.h"
#include "rom/build_report.h"
#include "rom/planned_slot.h"

namespace YVclUtil {
class TYIniFile;
}

// The floor code table as the indicator reads it: what to show for each of the controller's
// 256 floor codes, which floor characters are needed, and which background goes with a floor.
namespace tvx {

// Display code of a picture: the picture lies in bank 6 at the slot of the floor code.
inline constexpr std::uint16_t kCodeTablePictureMark = 0xFE00;
inline constexpr int kCodeTablePictureBank = 6;

struct FloorCodeTables {
  // Per controller code: 0 nothing, a character code, (first << 8) | second, or
  // kCodeTablePictureMark | code.
  std::array<std::uint16_t, kFloorCodeCount> displayCodes{};
  // Per character code: its floor picture goes into bank 1.
  std::array<bool, 256> charactersInUse{};
  // Per controller code: the background picture number.
  std::array<std::uint8_t, kFloorCodeCount> backgrounds{};
};

// A line the floor code table step logs.
struct FloorCodeWarning {
  enum class Kind {
    kPictureNotFound,   // a text of three or more characters without its picture: cancelled
    kBackgroundNumber,  // a background number that is no number: the one in force is used
  };
  Kind kind = Kind::kPictureNotFound;
  int code = 0;
  std::string entered;  // the text without surrounding blanks, case as entered
};

// The log line of a warning, the same in both languages.
std::string FloorCodeWarningLine(const FloorCodeWarning& warning);

// The floor code table step worked out without touching anything: its tables, the bank 6
// pictures, the warnings in the order they are logged and the floor codes whose display text
// is cleared.
struct FloorCodePlan {
  FloorCodeTables tables;
  std::vector<PlannedSlot> pictures;
  std::vector<FloorCodeWarning> warnings;
  std::vector<int> clearedCodes;
};

FloorCodePlan PlanFloorCodeTable(const Project& project, const std::string& programDir);

// Carries out the plan: writes its pictures into bank 6 of the open resource list, logs its
// warnings and clears the display texts it cancels in the project.
void ApplyFloorCodePlan(const FloorCodePlan& plan, YVclUtil::TYIniFile& list, Project& project,
                        const BuildReporter& reporter);

// Both in one: fills the three tables from the project's floor code table and writes the
// code-table pictures into bank 6 of the open resource list. A picture text whose file is
// missing in the floor style folder is cleared in the project and warned about; an unreadable
// background number is warned about and replaced by the number in force.
FloorCodeTables MakeFLCodeTableAndFLBkg(YVclUtil::TYIniFile& list, Project& project,
                                        const std::string& programDir,
                                        const BuildReporter& reporter);

// The picture file a text of three or more characters (upper-cased) names in the floor style
// folder: the file named with the text's bytes (Big5, as the indicator's tools name them), else
// the one named with the text in UTF-8 (how a Linux disk names a picture copied onto it);
// nothing when neither exists.
std::optional<std::string> FindFloorPicture(const std::string& floorStyleDir,
                                            const std::string& text);

// A background number: an optional sign and decimal digits that fit 32 bits, nothing else.
std::optional<int> ParseBackgroundNumber(std::string_view text);

// Upper-cases ASCII letters; the second byte of a Big5 character is left alone.
std::string UpperCaseText(std::string_view text);

// A byte that starts a two-byte Big5 character.
constexpr bool IsBig5LeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

}  // namespace tvx
