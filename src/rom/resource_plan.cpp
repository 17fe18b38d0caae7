#include "rom/resource_plan.h"

#include <cstdio>

#include "project/catalogue.h"
#include "project/paths.h"
#include "project/picture_lookup.h"
#include "project/project_fields.h"
#include "project/project_keys.h"

namespace tvx {

namespace {

// The key of a style folder field of the project: FLS<n>_DIR or DIRS<n>_DIR of the selected slot.
ProjectEntry styleFolderEntry(std::array<std::string, kStyleSlotCount> Project::*folders,
                              int selectedSlot) {
  const int index = selectedSlot >= 1 && selectedSlot <= kStyleSlotCount ? selectedSlot - 1 : 0;
  for (const ProjectField& field : ProjectFields()) {
    const auto* text = std::get_if<TextSlot>(&field.member);
    if (text != nullptr && text->texts == folders && text->index == index) {
      return {std::string(field.section), std::string(field.key)};
    }
  }
  return {};
}

PlannedSlot libraryResource(int slot, SlotRole role, int librarySlot, ProjectEntry source = {}) {
  return {.bank = 0,
          .slot = slot,
          .value = LibraryReference(librarySlot),
          .role = role,
          .index = librarySlot,
          .source = std::move(source),
          .librarySlot = librarySlot};
}

PlannedSlot picture(int bank, int slot, std::string value, SlotRole role, int index,
                    ProjectEntry source, int column = 0) {
  return {.bank = bank,
          .slot = slot,
          .value = std::move(value),
          .role = role,
          .index = index,
          .column = column,
          .source = std::move(source)};
}

void planFixedResources(ResourcePlan& plan, const Project& project, const AppSettings& settings) {
  std::vector<PlannedSlot>& slots = plan.fixedResources;
  for (int slot : kLibrarySlotsCopied) {
    slots.push_back(libraryResource(slot, SlotRole::kLibraryResource, slot));
  }
  for (int slot : kLibraryClockSlots) {
    slots.push_back(libraryResource(slot, SlotRole::kLibraryResource, slot));
  }
  for (int month = 1; month <= 12; ++month) {
    slots.push_back(picture(0, kFirstMonthSlot + month - 1,
                            PictureFileOf(project, project.MonthImages[month]), SlotRole::kMonth,
                            month, {project_key::kDateTimeImage, project_key::MonthKey(month)}));
  }
  for (int day = 1; day <= 7; ++day) {
    slots.push_back(picture(0, kFirstWeekdaySlot + day - 1,
                            PictureFileOf(project, project.WeekImages[day]), SlotRole::kWeekday,
                            day, {project_key::kDateTimeImage, project_key::WeekKey(day)}));
  }
  if (project.USE_STANDBYLOGO != 0) {
    slots.push_back(picture(0, kStandbyLogoSlot, PictureFileOf(project, project.STANDBYLOGOBMP),
                            SlotRole::kStandbyLogo, 0, {kMainOptionSection, "STANDBYLOGOBMP"}));
  }
  slots.push_back(libraryResource(kProtocolResourceSlot, SlotRole::kProtocolResource,
                                  settings.protocolResource(), {"Option", "OEM"}));
  slots.push_back(libraryResource(kNoSignalSlot, SlotRole::kLibraryResource, kNoSignalSlot));
}

void planArrows(ResourcePlan& plan, const Project& project, const std::string& programDir) {
  const ProjectEntry source = styleFolderEntry(&Project::DIRS_DIR, project.DIR_STYLE);
  for (std::size_t i = 0; i < kArrowKinds.size(); ++i) {
    std::string path = ArrowPicturePath(project, programDir, kArrowKinds[i]);
    if (!plan.missingArrow && !FileExists(path)) {
      plan.missingArrow = path;
    }
    plan.arrows.push_back(picture(0, kFirstArrowSlot + static_cast<int>(i), std::move(path),
                                  SlotRole::kArrow, static_cast<int>(i), source));
  }
}

void planMessages(ResourcePlan& plan, const Project& project) {
  // Column of LiftStateImage for each group of ten slots, in the order they are written.
  constexpr std::array<std::pair<int, int>, 4> kGroups{{{kMessageSlotColumnA, 0},
                                                        {kMessageSlotColumnB, 1},
                                                        {kMessageSlotColumnC, 2},
                                                        {kMessageSlotColumnD, 3}}};
  for (const auto& [firstSlot, column] : kGroups) {
    for (int message = 0; message < kLiftStateRowCount; ++message) {
      plan.messages.push_back(picture(
          0, firstSlot + message, PictureFileOf(project, project.LiftStateImage[message][column]),
          SlotRole::kMessage, message,
          {project_key::kLiftStateImage, project_key::LiftStateKey(message, column)}, column));
    }
  }
}

void planFloorCharacters(ResourcePlan& plan, const Project& project,
                         const std::string& programDir) {
  const std::string folder = ComputeFloorStyleDir(project, programDir);
  const ProjectEntry source = styleFolderEntry(&Project::FLS_DIR, project.FL_STYLE);
  for (int code = 0; code < 256; ++code) {
    if (!plan.floorCodes.tables.charactersInUse[code]) {
      continue;
    }
    std::string path = FloorCharacterPicturePath(folder, code);
    const bool exists = FileExists(path);
    (exists ? plan.floorCharacters : plan.missingFloorCharacters)
        .push_back(picture(kFloorCharacterBank, code, std::move(path), SlotRole::kFloorCharacter,
                           code, source));
  }
}

// One background list: existing pictures take their slot and join the sequence, other cells
// are cleared.
void planBackgrounds(ResourcePlan& plan, const Project& project, bool vertical, std::size_t& used) {
  const auto& cells = vertical ? project.UserBkGndImage : project.UserBkGndImage2;
  const int firstSlot = vertical ? 0 : kFirstHorizontalBackgroundSlot;
  const char* section =
      vertical ? project_key::kVerticalBackgrounds : project_key::kHorizontalBackgrounds;
  const SlotRole role = vertical ? SlotRole::kVerticalBackground : SlotRole::kHorizontalBackground;
  std::vector<int>& cleared = vertical ? plan.clearedVerticalRows : plan.clearedHorizontalRows;
  for (int row = 0; row < kBackgroundSlotCount; ++row) {
    if (std::optional<std::string> path = FindProjectPicture(project, cells[row])) {
      plan.backgrounds.push_back(picture(kBackgroundBank, firstSlot + row, std::move(*path), role,
                                         row, {section, project_key::BackgroundKey(row)}));
      plan.backgroundSequence[used++] = static_cast<std::uint8_t>(row);
    } else if (!cells[row].empty()) {
      cleared.push_back(row);
    }
  }
}

}  // namespace

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

std::string FloorCharacterPicturePath(const std::string& floorStyleDir, int code) {
  char name[16];
  std::snprintf(name, sizeof name, "0x%02X.bmp", static_cast<unsigned>(code));
  return floorStyleDir + name;
}

ResourcePlan PlanResources(const Project& project, const ProgramState& state) {
  ResourcePlan plan;
  plan.floorCodes = PlanFloorCodeTable(project, state.ProgramDir);
  planFixedResources(plan, project, state.settings);
  planArrows(plan, project, state.ProgramDir);
  planMessages(plan, project);
  planFloorCharacters(plan, project, state.ProgramDir);
  plan.backgroundSequence.fill(kNoBackground);
  std::size_t used = 0;
  planBackgrounds(plan, project, true, used);
  planBackgrounds(plan, project, false, used);
  return plan;
}

std::vector<const PlannedSlot*> ResourcePlan::allSlots() const {
  std::vector<const PlannedSlot*> slots;
  for (const std::vector<PlannedSlot>* group : {&floorCodes.pictures, &fixedResources, &arrows,
                                                &messages, &floorCharacters, &backgrounds}) {
    for (const PlannedSlot& slot : *group) {
      slots.push_back(&slot);
    }
  }
  return slots;
}

const PlannedSlot* ResourcePlan::find(int bank, int slot) const {
  for (const PlannedSlot* planned : allSlots()) {
    if (planned->bank == bank && planned->slot == slot) {
      return planned;
    }
  }
  return nullptr;
}

}  // namespace tvx
