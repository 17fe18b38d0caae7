#include "rom/resource_list.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "project/paths.h"
#include "rom/build_texts.h"
#include "util/ini_file.h"

namespace tvx {

namespace {

using YVclUtil::TYIniFile;

void writeSlots(TYIniFile& list, const std::vector<PlannedSlot>& slots) {
  for (const PlannedSlot& slot : slots) {
    list.WriteString(ResourceListSection(slot.bank), ResourceListKey(slot.slot), slot.value);
  }
}

void clearCells(std::array<std::string, kBackgroundSlotCount>& cells,
                const std::vector<int>& rows) {
  for (int row : rows) {
    cells[row].clear();
  }
}

}  // namespace

std::string ResourceListSection(int bank) {
  return "BANK" + std::to_string(bank);
}

std::string ResourceListKey(int slot) {
  return "RESFN_" + std::to_string(slot);
}

Result<ResourceListResult> WriteResourceList(const std::string& listPath,
                                             const std::string& glbPath, Project& project,
                                             const ProgramState& state,
                                             const BuildReporter& reporter) {
  const ResourcePlan plan = PlanResources(project, state);
  ResourceListResult result;
  result.tables = plan.floorCodes.tables;
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
  ApplyFloorCodePlan(plan.floorCodes, *list, project, reporter);
  reporter.trace("+Do MakeFLCodeTableAndFLBkg()");

  writeSlots(*list, plan.fixedResources);
  reporter.trace("+Use user define DIR pattern");
  if (plan.missingArrow) {
    reporter.log(reporter.pick(build_text::kMissingFileHead) + *plan.missingArrow +
                 reporter.pick(build_text::kMissingFileTail));
    list.reset();
    std::error_code ignored;
    std::filesystem::remove(listPath, ignored);
    return result;
  }
  writeSlots(*list, plan.arrows);
  writeSlots(*list, plan.messages);

  reporter.trace("+Use user define floor pattern");
  writeSlots(*list, plan.floorCharacters);

  reporter.trace("+Collect V-type Bkg image files");
  reporter.trace("+Collect H-type Bkg image files");
  writeSlots(*list, plan.backgrounds);
  clearCells(project.UserBkGndImage, plan.clearedVerticalRows);
  clearCells(project.UserBkGndImage2, plan.clearedHorizontalRows);
  result.backgroundSequence = plan.backgroundSequence;

  list->WriteString(std::string(kGlobalSection), std::string(kRomFileNameKey), glbPath);
  if (!list->UpdateFile()) {
    return ErrorBecause(*list->pr_LastSaveError(), reporter.lang(), listPath,
                        build_text::kCannotWrite);
  }
  result.written = true;
  return result;
}

}  // namespace tvx
