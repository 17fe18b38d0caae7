#pragma once

#include <string>

#include "check/check_report.h"
#include "project/program_state.h"
#include "project/project.h"
#include "rom/planned_slot.h"

// What a slot is for and what it holds, in the technician's words and numbers.
namespace tvx {

// "fire message, first Chinese picture", "vertical background 3", ...
Words SlotRoleWords(const PlannedSlot& slot, const ProgramState& state);
Words FloorTextRole(int code);
Words BackgroundNumberRole(int code);

// A character as the words name it: "\"B\" (0x42)" for a printable one, "0xA4" otherwise.
std::string CharacterName(int code);

// 240 × 320 for the vertical orientation, 320 × 240 for the horizontal one.
struct ScreenSize {
  int width = 0;
  int height = 0;
};
ScreenSize ScreenOf(const Project& project);

// The size a slot's picture is made for: exactly that, or at most that (logo and floor
// pictures, up to the screen).
struct PictureShape {
  int width = 0;
  int height = 0;
  bool exact = true;
};
PictureShape ShapeOf(const PlannedSlot& slot, const Project& project);

// A finding about a project entry, with its role.
Finding FindingAt(ProjectEntry entry, Words role, Severity severity, FindingKind kind);

// The finding of a slot with its entry, slot, role and file filled in.
Finding FindingFor(const PlannedSlot& slot, const ProgramState& state, Severity severity,
                   FindingKind kind);

}  // namespace tvx
