#pragma once

#include <string>

// One slot of the indicator's ROM as a build plans it: where its value comes from and what it
// is for.
namespace tvx {

// What a slot is for.
enum class SlotRole {
  kLibraryResource,   // a fixed resource of the picture library (index: its number)
  kProtocolResource,  // the controller protocol's library resource (index: its number)
  kMonth,             // index 1..12, January first
  kWeekday,           // index 1..7, Monday first
  kStandbyLogo,
  kArrow,                 // index 0..3: UP0, UP1, DN0, DN1
  kMessage,               // index: the lift-state row, column: A..D as 0..3
  kFloorCharacter,        // index: the character code
  kFloorPicture,          // bank 6, index: the floor code whose text names the picture
  kVerticalBackground,    // index: the row of the vertical list (0..127)
  kHorizontalBackground,  // index: the row of the horizontal list (0..127)
};

// The entry of the project (or of the settings file, for the protocol) a slot's value comes
// from; both empty for the fixed library resources.
struct ProjectEntry {
  std::string section;
  std::string key;
  bool operator==(const ProjectEntry&) const = default;
};

struct PlannedSlot {
  int bank = 0;
  int slot = 0;
  // A picture path (empty: the slot stays empty), or the library reference "@B0F" n.
  std::string value;
  SlotRole role = SlotRole::kLibraryResource;
  int index = 0;
  int column = 0;
  ProjectEntry source;
  // The library slot a reference names; -1 for pictures.
  int librarySlot = -1;

  bool isLibraryReference() const { return librarySlot >= 0; }
};

}  // namespace tvx
