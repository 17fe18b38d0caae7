#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "project/program_state.h"
#include "project/project.h"
#include "rom/build_report.h"
#include "rom/floor_code_table.h"
#include "rom/resource_plan.h"
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
// A picture in a form its converter refuses, written as a plain 24-bit BMP for it.
inline constexpr std::string_view kPreparedPictureFileName = "TempPrepared.bmp";

inline constexpr std::string_view kGlobalSection = "GLOBAL";
inline constexpr std::string_view kRomFileNameKey = "ROMFILENAME";
inline constexpr std::string_view kDefaultRomFileName = "KWX.GLB";

// "BANK" + bank, "RESFN_" + slot.
std::string ResourceListSection(int bank);
std::string ResourceListKey(int slot);

struct ResourceListResult {
  // False when a direction arrow picture is missing: that was logged and no list was left.
  bool written = false;
  FloorCodeTables tables;
  BackgroundSequence backgroundSequence{};
};

// Writes the resource list at listPath for the project as PlanResources plans it, naming glbPath
// as the GLB to write.
// A list already at listPath is emptied first. Background cells whose file is missing and
// code-table texts whose picture is missing are cleared in the project. A list that cannot be
// written ends the build with an error naming it.
Result<ResourceListResult> WriteResourceList(const std::string& listPath,
                                             const std::string& glbPath, Project& project,
                                             const ProgramState& state,
                                             const BuildReporter& reporter);
}  // namespace tvx
