#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/program_state.h"
#include "project/project.h"
#include "rom/floor_code_table.h"
#include "rom/planned_slot.h"
#include "rom/rom_layout.h"

// Which picture or library resource goes into which slot of the indicator's ROM, worked out
// from the project before anything is written: the resource list is written from it, and
// everything that looks at a build beforehand reads the same slots.
namespace tvx {

// Row indexes of the collected backgrounds (vertical list first, then horizontal), 255 where
// unused.
inline constexpr std::uint8_t kNoBackground = 255;
using BackgroundSequence = std::array<std::uint8_t, 256>;

// Bank 0 slots the build fills.
inline constexpr int kFirstWeekdaySlot = 21;  // 21..27, Monday first
inline constexpr int kFirstMonthSlot = 31;    // 31..42, January first
inline constexpr int kStandbyLogoSlot = 97;
inline constexpr int kFirstArrowSlot = 128;  // UP0, UP1, DN0, DN1
inline constexpr int kMessageSlotColumnC = 176;
inline constexpr int kMessageSlotColumnA = 196;
inline constexpr int kMessageSlotColumnD = 216;
inline constexpr int kMessageSlotColumnB = 236;
inline constexpr int kNoSignalSlot = 255;
inline constexpr int kFloorCharacterBank = 1;
inline constexpr int kBackgroundBank = 7;
inline constexpr int kFirstHorizontalBackgroundSlot = 128;

// The library resources copied into bank 0 under their own numbers, the protocol's aside.
inline constexpr std::array<int, 12> kLibrarySlotsCopied{47, 48, 49, 50, 51, 52,
                                                         53, 54, 55, 56, 57, 58};
inline constexpr std::array<int, 4> kLibraryClockSlots{123, 124, 125, 126};

// The arrow pictures of a style, in slot order.
inline constexpr std::array<std::string_view, 4> kArrowKinds{"UP0", "UP1", "DN0", "DN1"};

struct ResourcePlan {
  FloorCodePlan floorCodes;
  // Bank 0 up to the arrows: library resources, months, weekdays, the standby logo (when it is
  // enabled), the protocol resource and the no-signal resource, in the order they are written.
  std::vector<PlannedSlot> fixedResources;
  // The four arrows, missing pictures included.
  std::vector<PlannedSlot> arrows;
  // The first arrow whose picture is missing: the build stops there.
  std::optional<std::string> missingArrow;
  // Messages by column group (A, B, C, D), rows 0..9 within each; empty entries included.
  std::vector<PlannedSlot> messages;
  // Bank 1: the characters in use whose picture exists, in ascending code.
  std::vector<PlannedSlot> floorCharacters;
  // Characters in use whose picture is missing (left out without a word), with the path
  // looked for.
  std::vector<PlannedSlot> missingFloorCharacters;
  // Bank 7: the background pictures that exist, vertical list first.
  std::vector<PlannedSlot> backgrounds;
  BackgroundSequence backgroundSequence{};
  // Rows of each list whose cell names no picture and is cleared.
  std::vector<int> clearedVerticalRows;
  std::vector<int> clearedHorizontalRows;

  // Every planned slot, in the order the resource list receives them (all four arrows, and the
  // empty entries of the messages, included).
  std::vector<const PlannedSlot*> allSlots() const;
  // The slot planned for bank and number, or nullptr.
  const PlannedSlot* find(int bank, int slot) const;
};

ResourcePlan PlanResources(const Project& project, const ProgramState& state);

// "@B0F" + library slot.
std::string LibraryReference(int librarySlot);

// The direction arrow picture of the project's arrow style: kind is "UP0", "UP1", "DN0", "DN1".
std::string ArrowPicturePath(const Project& project, const std::string& programDir,
                             std::string_view kind);

// The picture of a floor character in a floor style folder (ending in a separator): "0x42.bmp".
std::string FloorCharacterPicturePath(const std::string& floorStyleDir, int code);

// Whether a bank's pictures go through the error-diffusion converter (the backgrounds) rather
// than the truncating one.
constexpr bool IsErrorDiffusionBank(int bank) {
  return bank == kBackgroundBank;
}

}  // namespace tvx
