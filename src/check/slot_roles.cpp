#include "check/slot_roles.h"

#include <cstdio>

#include "check/check_texts.h"
#include "project/choices.h"

namespace tvx {

namespace {

std::string codeName(int code) {
  return FloorCodeName(code);
}

Words messageRole(int row, int column) {
  // The lamp list names the messages in their slot order after its "not used" entry.
  const Words name{std::string(kLampChoices[static_cast<std::size_t>(row) + 1]),
                   check_text::kMessagesInEnglish[row]};
  return FormatWordsWith(check_text::kRoleMessage, name,
                         WordsOf(check_text::kMessageColumns[column]));
}

Words protocolRole(const AppSettings& settings) {
  const Words name = settings.OemProtocol.empty()
                         ? WordsOf(check_text::kNoProtocol)
                         : Words{settings.OemProtocol, settings.OemProtocol};
  const char* memory = settings.memory64() ? "64Mb" : "32Mb";
  return FormatWordsWith(check_text::kRoleProtocol, name, Words{memory, memory});
}

}  // namespace

std::string CharacterName(int code) {
  char name[16];
  if (code > 0x20 && code < 0x7F) {
    std::snprintf(name, sizeof name, "\"%c\" (0x%02X)", code, static_cast<unsigned>(code));
  } else {
    std::snprintf(name, sizeof name, "0x%02X", static_cast<unsigned>(code));
  }
  return name;
}

Words SlotRoleWords(const PlannedSlot& slot, const ProgramState& state) {
  using namespace check_text;
  switch (slot.role) {
    case SlotRole::kLibraryResource:
      return FormatWords(kRoleLibrary, slot.index);
    case SlotRole::kProtocolResource:
      return protocolRole(state.settings);
    case SlotRole::kMonth:
      return FormatWordsWith(kRoleMonth, WordsOf(kMonths[slot.index - 1]));
    case SlotRole::kWeekday:
      return FormatWordsWith(kRoleWeekday, WordsOf(kWeekdays[slot.index - 1]));
    case SlotRole::kStandbyLogo:
      return WordsOf(kRoleStandbyLogo);
    case SlotRole::kArrow:
      return FormatWordsWith(kRoleArrow, WordsOf(kArrows[slot.index]));
    case SlotRole::kMessage:
      return messageRole(slot.index, slot.column);
    case SlotRole::kFloorCharacter:
      return FormatWords(kRoleFloorCharacter, CharacterName(slot.index).c_str());
    case SlotRole::kFloorPicture:
      return FormatWords(kRoleFloorPicture, codeName(slot.index).c_str());
    case SlotRole::kVerticalBackground:
      return FormatWords(kRoleVerticalBackground, slot.index);
    case SlotRole::kHorizontalBackground:
      return FormatWords(kRoleHorizontalBackground, slot.index);
  }
  return {};
}

Words FloorTextRole(int code) {
  return FormatWords(check_text::kRoleFloorText, codeName(code).c_str());
}

Words BackgroundNumberRole(int code) {
  return FormatWords(check_text::kRoleBackgroundNumber, codeName(code).c_str());
}

ScreenSize ScreenOf(const Project& project) {
  return project.DISPTYPE_HV == 1 ? ScreenSize{240, 320} : ScreenSize{320, 240};
}

PictureShape ShapeOf(const PlannedSlot& slot, const Project& project) {
  switch (slot.role) {
    case SlotRole::kMonth:
    case SlotRole::kWeekday:
      return {80, 40, true};
    case SlotRole::kArrow:
      return {104, 128, true};
    case SlotRole::kMessage:
      return {240, 48, true};
    case SlotRole::kVerticalBackground:
      return {240, 320, true};
    case SlotRole::kHorizontalBackground:
      return {320, 240, true};
    case SlotRole::kStandbyLogo:
    case SlotRole::kFloorCharacter:
    case SlotRole::kFloorPicture:
    case SlotRole::kLibraryResource:
    case SlotRole::kProtocolResource:
      break;
  }
  const ScreenSize screen = ScreenOf(project);
  return {screen.width, screen.height, false};
}

Finding FindingAt(ProjectEntry entry, Words role, Severity severity, FindingKind kind) {
  Finding finding;
  finding.severity = severity;
  finding.kind = kind;
  finding.entry = std::move(entry);
  finding.role = std::move(role);
  return finding;
}

Finding FindingFor(const PlannedSlot& slot, const ProgramState& state, Severity severity,
                   FindingKind kind) {
  Finding finding = FindingAt(slot.source, SlotRoleWords(slot, state), severity, kind);
  finding.slot = RomSlot{slot.bank, slot.slot};
  finding.file = slot.isLibraryReference() ? state.libraryPath() : slot.value;
  return finding;
}

}  // namespace tvx
