#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/words.h"
#include "rom/planned_slot.h"

// What the pre-flight check of a project found: one finding per thing that would go wrong on
// the indicator, and the memory the ROM image would take.
namespace tvx {

enum class Severity {
  kError,    // the slot would stay empty, or the build would stop
  kWarning,  // the slot would be filled, but not as meant
  kNote,     // the build handles it by itself (reported only when asked for)
};

// What went wrong, as a stable name for machines (FindingKindName).
enum class FindingKind {
  kPictureMissing,          // the file named does not exist
  kPictureUnreadable,       // it exists but cannot be read
  kPictureRefused,          // its converter refuses it
  kPicturePrepared,         // the build turns it into a form its converter takes
  kPictureWrongSize,        // not the size its slot is made for
  kPictureTooLarge,         // larger than the screen
  kTransparencyDropped,     // its alpha channel is lost in the conversion
  kPictureNotChosen,        // a slot in use without a picture
  kFloorCharacterMissing,   // a character of a floor text has no picture in the floor style
  kFloorTextTwoBytes,       // a Big5 character, which the indicator shows as two characters
  kFloorTextNotBig5,        // bytes the indicator's character set cannot hold
  kFloorPictureMissing,     // a text of three or more characters without its picture
  kFloorTextAdjusted,       // a leading zero dropped, small letters made capitals
  kUnusedCharacterMissing,  // a character always taken along has no picture
  kBackgroundNumberNotNumber,
  kBackgroundNumberOutOfRange,
  kBackgroundSlotEmpty,  // a floor's background number names an empty slot
  kLibraryMissing,
  kLibraryResourceMissing,
  kOutOfMemory,
  kMemoryUse,
};

// "picture-missing", "floor-character-missing", ...
std::string_view FindingKindName(FindingKind kind);
// "error", "warning", "note"
std::string_view SeverityName(Severity severity);

struct RomSlot {
  int bank = 0;
  int slot = 0;
  bool operator==(const RomSlot&) const = default;
};

struct Finding {
  Severity severity = Severity::kError;
  FindingKind kind = FindingKind::kPictureMissing;
  // Where the technician changes it: the project's section and key ("LiftStateImage",
  // "LiftState_0_A"), the settings file's for the protocol, empty for the library and memory.
  ProjectEntry entry;
  std::optional<RomSlot> slot;
  Words role;        // "fire message, first Chinese picture"
  std::string file;  // the file concerned, when there is one
  Words problem;
  Words fix;
};

// One picture or library resource as the memory counts it.
struct ResourceSize {
  RomSlot slot;
  std::string file;  // the picture, or empty for a library resource
  Words role;
  std::uint64_t bytes = 0;
};

struct MemoryEstimate {
  // The ROM image's use (GLB and configuration block) and the indicator's memory, in bytes.
  // Exact for every picture its converter takes and every library resource; pictures that would
  // leave their slot empty count nothing, as in the build.
  std::uint64_t used = 0;
  std::uint64_t capacity = 0;
  // The largest resources, largest first (at most kLargestCount).
  std::vector<ResourceSize> largest;

  static constexpr std::size_t kLargestCount = 5;
  bool fits() const { return used <= capacity; }
};

struct CheckReport {
  std::vector<Finding> findings;
  MemoryEstimate memory;

  int count(Severity severity) const;
  int errors() const { return count(Severity::kError); }
  int warnings() const { return count(Severity::kWarning); }
  int notes() const { return count(Severity::kNote); }
};

}  // namespace tvx
