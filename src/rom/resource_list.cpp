#include "rom/resource_list.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "project/catalogue.h"
#include "project/paths.h"
#include "rom/build_texts.h"
#include "util/ini_file.h"

namespace tvx {

namespace {

using YVclUtil::TYIniFile;

constexpr std::array<std::string_view, 4> kArrowKinds{"UP0", "UP1", "DN0", "DN1"};
constexpr std::array<int, 12> kLibrarySlotsCopied{47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58};
constexpr std::array<int, 4> kLibraryClockSlots{123, 124, 125, 126};
constexpr int kNoSignalSlot = 255;

void writeSlot(TYIniFile& list, int bank, int slot, const std::string& value) {
  list.WriteString(ResourceListSection(bank), ResourceListKey(slot), value);
}

std::string floorCharacterPath(const std::string& floorStyleDir, int code) {
  char name[16];
  std::snprintf(name, sizeof name, "0x%02X.bmp", static_cast<unsigned>(code));
  return floorStyleDir + name;
}

// Bank 0 up to the arrows: library resources, months, weekdays, the standby logo and the
// protocol resource.
void writeFixedResources(TYIniFile& list, const Project& project, const AppSettings& settings) {
  for (int slot : kLibrarySlotsCopied) {
    writeSlot(list, 0, slot, LibraryReference(slot));
  }
  for (int slot : kLibraryClockSlots) {
    writeSlot(list, 0, slot, LibraryReference(slot));
  }
  for (int month = 1; month <= 12; ++month) {
    writeSlot(list, 0, kFirstMonthSlot + month - 1, project.MonthImages[month]);
  }
  for (int day = 1; day <= 7; ++day) {
    writeSlot(list, 0, kFirstWeekdaySlot + day - 1, project.WeekImages[day]);
  }
  if (project.USE_STANDBYLOGO != 0) {
    writeSlot(list, 0, kStandbyLogoSlot, project.STANDBYLOGOBMP);
  }
  writeSlot(list, 0, kProtocolResourceSlot, LibraryReference(settings.protocolResource()));
  writeSlot(list, 0, kNoSignalSlot, LibraryReference(kNoSignalSlot));
}

// The four arrows; false (and the missing path logged) at the first missing picture.
bool writeArrows(TYIniFile& list, const Project& project, const std::string& programDir,
                 const BuildReporter& reporter) {
  for (std::size_t i = 0; i < kArrowKinds.size(); ++i) {
    const std::string path = ArrowPicturePath(project, programDir, kArrowKinds[i]);
    if (!FileExists(path)) {
      reporter.log(reporter.pick(build_text::kMissingFileHead) + path +
                   reporter.pick(build_text::kMissingFileTail));
      return false;
    }
    writeSlot(list, 0, kFirstArrowSlot + static_cast<int>(i), path);
  }
  return true;
}

void writeMessages(TYIniFile& list, const Project& project) {
  // Column of LiftStateImage for each group of ten slots, in the order they are written.
  constexpr std::array<std::pair<int, int>, 4> kGroups{{{kMessageSlotColumnA, 0},
                                                        {kMessageSlotColumnB, 1},
                                                        {kMessageSlotColumnC, 2},
                                                        {kMessageSlotColumnD, 3}}};
  for (const auto& [firstSlot, column] : kGroups) {
    for (int message = 0; message < kLiftStateRowCount; ++message) {
      writeSlot(list, 0, firstSlot + message, project.LiftStateImage[message][column]);
    }
  }
}

void writeFloorCharacters(TYIniFile& list, const Project& project, const std::string& programDir,
                          const FloorCodeTables& tables) {
  const std::string folder = ComputeFloorStyleDir(project, programDir);
  for (int code = 0; code < 256; ++code) {
    if (!tables.charactersInUse[code]) {
      continue;
    }
    const std::string path = floorCharacterPath(folder, code);
    if (FileExists(path)) {
      writeSlot(list, kFloorCharacterBank, code, path);
    }
  }
}

// One background list: existing pictures take their slot and join the sequence, other cells
// are cleared.
void collectBackgrounds(TYIniFile& list, std::array<std::string, kBackgroundSlotCount>& cells,
                        int firstSlot, BackgroundSequence& sequence, std::size_t& used) {
  for (int row = 0; row < kBackgroundSlotCount; ++row) {
    const std::string path = Trimmed(cells[row]);
    if (FileExists(path)) {
      writeSlot(list, kBackgroundBank, firstSlot + row, path);
      sequence[used++] = static_cast<std::uint8_t>(row);
    } else {
      cells[row].clear();
    }
  }
}

}  // namespace

std::string ResourceListSection(int bank) {
  return "BANK" + std::to_string(bank);
}

std::string ResourceListKey(int slot) {
  return "RESFN_" + std::to_string(slot);
}

std::string LibraryReference(int librarySlot) {
  return "@B0F" + std::to_string(librarySlot);
}

std::string ArrowPicturePath(const Project& project, const std::string& programDir,
                             std::string_view kind) {
  const bool valid = project.DIR_STYLE >= 1 && project.DIR_STYLE <= kStyleSlotCount;
  const std::size_t slot = valid ? static_cast<std::size_t>(project.DIR_STYLE - 1) : 0;
  return CatalogueFolderPath(programDir, CatalogueFolder::kArrowStyles) + project.DIRS_DIR[slot] +
         kPathSeparator + "DIR_" + std::string(kind) + "_104x128.bmp";
}

Result<ResourceListResult> WriteResourceList(const std::string& listPath,
                                             const std::string& glbPath, Project& project,
                                             const ProgramState& state,
                                             const BuildReporter& reporter) {
  ResourceListResult result;
  reporter.trace("**Create tempt880.glp**");
  const bool existed = FileExists(listPath);
  auto list = std::make_unique<TYIniFile>(listPath);
  if (existed) {
    list->EraseSection(std::string(kGlobalSection));
    for (int bank = 0; bank < kBankCount; ++bank) {
      list->EraseSection(ResourceListSection(bank));
    }
  }

  reporter.trace("+Do MakeFLCodeTableAndFLBkg()");
  result.tables = MakeFLCodeTableAndFLBkg(*list, project, state.ProgramDir, reporter);
  reporter.trace("+Do MakeFLCodeTableAndFLBkg()");

  writeFixedResources(*list, project, state.settings);
  reporter.trace("+Use user define DIR pattern");
  if (!writeArrows(*list, project, state.ProgramDir, reporter)) {
    list.reset();
    std::error_code ignored;
    std::filesystem::remove(listPath, ignored);
    return result;
  }
  writeMessages(*list, project);

  reporter.trace("+Use user define floor pattern");
  writeFloorCharacters(*list, project, state.ProgramDir, result.tables);

  result.backgroundSequence.fill(kNoBackground);
  std::size_t used = 0;
  reporter.trace("+Collect V-type Bkg image files");
  collectBackgrounds(*list, project.UserBkGndImage, 0, result.backgroundSequence, used);
  reporter.trace("+Collect H-type Bkg image files");
  collectBackgrounds(*list, project.UserBkGndImage2, kFirstHorizontalBackgroundSlot,
                     result.backgroundSequence, used);

  list->WriteString(std::string(kGlobalSection), std::string(kRomFileNameKey), glbPath);
  if (!list->UpdateFile()) {
    return ErrorBecause(*list->pr_LastSaveError(), reporter.lang(), listPath,
                        build_text::kCannotWrite);
  }
  result.written = true;
  return result;
}

}  // namespace tvx
