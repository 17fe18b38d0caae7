#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "project/program_state.h"
#include "project/project.h"
#include "project/project_fields.h"
#include "util/result.h"

// The values of a project as scripts name them: the keys of "project show"'s listing, an entry
// of a list with its index in brackets ("FloorTable[5]") and a lift-state picture with its row
// and column ("LiftStateImage[0][A]", column 0-3 or A-D). Each name knows what it takes, so that
// a value is checked before it reaches the project and never loads back as something else.
namespace tvx {

enum class NamedFieldKind {
  kPlain,                 // a row of ProjectFields()
  kLayout,                // the screen arrangement, Mode's high nibble
  kLayoutVariant,         // "樣式 1" or "樣式 2" of a horizontal arrangement
  kScreen,                // DISPTYPE_HV, which follows the arrangement
  kDateTimeLanguage,      // also WeekImages[0]
  kVerticalBackground,    // UserBkGndImage[i]
  kHorizontalBackground,  // UserBkGndImage2[i]
  kFloorText,             // FloorTable[i]
  kFloorBackground,       // FloorBkgImage[i]
  kMessageInput,          // LiftMsgIdx[i]
  kLiftState,             // LiftStateImage[row][column]
  kMonthImage,            // MonthImages[i], made from the date language
  kWeekImage,             // WeekImages[i] for i >= 1, made from the date language
};

struct NamedField {
  NamedFieldKind kind = NamedFieldKind::kPlain;
  const ProjectField* field = nullptr;  // kPlain only
  int index = 0;                        // the list entry; the row of LiftStateImage
  int column = 0;                       // LiftStateImage only
};

// The field a name stands for; nothing when no field has that name or the index is outside
// its list.
std::optional<NamedField> FindNamedField(std::string_view name);

// The value as "project show" prints it: numbers in decimal, texts as UTF-8.
std::string NamedFieldValue(const Project& project, const NamedField& field);

// Stores value (UTF-8, as typed) in the field when the field takes it: a number within its
// range or list, a colour as a decimal 0x00BBGGRR or "#RRGGBB", a text that Big5 can hold
// (stored in Big5), a path as it is. Otherwise the project is unchanged and the error, worded
// in the language lang, names the field and the value and says what the field takes.
Result<void> SetNamedField(Project& project, const NamedField& field, std::string_view name,
                           std::string_view value, const AppSettings& settings, unsigned lang);

// Whether a project with other fields changed as well still keeps what was set (the interval
// of the slideshow is kept only in turn, the variant only by a horizontal arrangement); the
// error is SetNamedField's.
Result<void> CheckNamedFieldKept(const Project& project, const NamedField& field,
                                 std::string_view name, std::string_view value, unsigned lang);

// One line per name with the values it takes, in English, for the command line's help.
std::string NamedFieldHelp();

}  // namespace tvx
