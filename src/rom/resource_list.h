#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "project/program_state.h"
#include "project/project.h"
#include "rom/build_report.h"
#include "rom/floor_code_table.h"
#include "rom/rom_layout.h"
#include "util/result.h"

// The resource list "tempt880.glp": the hand-over from the build to the GLB assembler. An INI
// file with sections "BANK0" .. "BANK7" whose keys "RESFN_0" .. "RESFN_255" name where each
// slot's picture comes from (a picture file, or "@B0F" n for resource n of the picture library),
// and "GLOBAL" / "ROMFILENAME", the GLB file to write.
namespace tvx {

// The build's temporary files, kept under these names in the build's private folder.
inline constexpr std::string_view kResourceListFileName = "tempt880.glp";
inline constexpr std::string_view kGlbTempFileName = "Temp.glb";
inline constexpr std::string_view kConvertedPictureFileName = "TempBmp.bmp";
inline constexpr std::string_view kLibraryResourceFileName = "KWX_TEMPBMP.BMP";

inline constexpr std::string_view kGlobalSection = "GLOBAL";
inline constexpr std::string_view kRomFileNameKey = "ROMFILENAME";
inline constexpr std::string_view kDefaultRomFileName = "KWX.GLB";

// "BANK" + bank, "RESFN_" + slot, "@B0F" + library slot.
std::string ResourceListSection(int bank);
std::string ResourceListKey(int slot);
std::string LibraryReference(int librarySlot);

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
inline constexpr int kFloorCharacterBank = 1;
inline constexpr int kBackgroundBank = 7;
inline constexpr int kFirstHorizontalBackgroundSlot = 128;

struct ResourceListResult {
  // False when a direction arrow picture is missing: that was logged and no list was left.
  bool written = false;
  FloorCodeTables tables;
  BackgroundSequence backgroundSequence{};
};

// Writes the resource list at listPath for the project, naming glbPath as the GLB to write.
// A list already at listPath is emptied first. Background cells whose file is missing and
// code-table texts whose picture is missing are cleared in the project. A list that cannot be
// written ends the build with an error naming it.
Result<ResourceListResult> WriteResourceList(const std::string& listPath,
                                             const std::string& glbPath, Project& project,
                                             const ProgramState& state,
                                             const BuildReporter& reporter);

// The direction arrow picture of the project's arrow style: kind is "UP0", "UP1", "DN0", "DN1".
std::string ArrowPicturePath(const Project& project, const std::string& programDir,
                             std::string_view kind);

}  // namespace tvx
