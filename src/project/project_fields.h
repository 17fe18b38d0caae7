#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "project/project.h"

// The plain fields of a project: one row per key of the project file's MainOption section,
// in the order a file receives them. Saving, loading and the command line's listing all walk
// this table; what a field needs beyond it (the layout in Mode, the lists, the rules that tie
// one field to another) is written out where it is used.
namespace tvx {

inline constexpr const char* kMainOptionSection = "MainOption";

// What a field holds.
enum class FieldKind {
  kInteger,  // a number within range
  kChoice,   // a zero-based index into choices
  kBits,     // a set of bits; range.maximum has every bit set
  kColour,   // 0x00BBGGRR
  kPicture,  // the path of a picture
  kText,     // a name typed by the user (a catalogue folder)
};

// What loading makes of a number outside the range: a list or a radio group keeps its current
// entry; a pair of radio buttons where 0 stands for "anything but 1" loads it as 0.
enum class OddNumber { kKeepsCurrent, kLoadsAsZero };

// Whether the file always holds the field, or only in one mode of another field.
enum class FieldPresence { kAlways, kWhenSlideshowInTurn };

struct FieldRange {
  std::int64_t minimum = 0;
  std::int64_t maximum = 0;
  constexpr bool contains(std::int64_t value) const { return value >= minimum && value <= maximum; }
};

// One entry of a fixed-size text array of the project, such as FLS_DIR[2].
struct TextSlot {
  std::array<std::string, kStyleSlotCount> Project::*texts;
  int index;
};

using FieldMember =
    std::variant<int Project::*, Colour Project::*, std::string Project::*, TextSlot>;

struct ProjectField {
  std::string_view section;
  std::string_view key;  // also the name a user gives the field
  FieldKind kind;
  FieldMember member;
  FieldRange range{};                           // numbers only
  std::span<const std::string_view> choices{};  // kChoice only
  std::int64_t fileDefault = 0;                 // a number the file lacks reads as this
  std::string_view textDefault{};  // a text the file lacks or leaves blank reads as this
  OddNumber oddNumber = OddNumber::kKeepsCurrent;
  FieldPresence presence = FieldPresence::kAlways;

  constexpr bool isNumber() const {
    return kind != FieldKind::kPicture && kind != FieldKind::kText;
  }
};

// Every plain field, in file order.
std::span<const ProjectField> ProjectFields();

// The field with that key, or the one held in that member; nullptr when the table has none.
const ProjectField* FindField(std::string_view key);
const ProjectField* FindField(int Project::*member);

// The value of a number field (a colour as its unsigned 32 bits), and setting it.
std::int64_t NumberOf(const Project& project, const ProjectField& field);
void SetNumber(Project& project, const ProjectField& field, std::int64_t value);

// The value of a text or picture field.
const std::string& TextOf(const Project& project, const ProjectField& field);
std::string& TextOf(Project& project, const ProjectField& field);

// Whether the file holds the field for this project.
bool IsStored(const ProjectField& field, const Project& project);

}  // namespace tvx
