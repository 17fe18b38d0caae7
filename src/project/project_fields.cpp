#include "project/project_fields.h"

#include <algorithm>

#include "project/choices.h"

namespace tvx {

namespace {

// The rows below read as "key, member, values, default when the file lacks the key"; the
// defaults are the file's, which differ in places from those of a new project.

constexpr ProjectField integer(std::string_view key, int Project::*member, int minimum, int maximum,
                               int fileDefault, OddNumber odd = OddNumber::kKeepsCurrent) {
  return {.section = kMainOptionSection,
          .key = key,
          .kind = FieldKind::kInteger,
          .member = member,
          .range = {minimum, maximum},
          .fileDefault = fileDefault,
          .oddNumber = odd};
}

// A radio pair whose 1 is the named choice and whose 0 stands for anything else.
constexpr ProjectField eitherOr(std::string_view key, int Project::*member) {
  return integer(key, member, 0, 1, 0, OddNumber::kLoadsAsZero);
}

constexpr ProjectField choice(std::string_view key, int Project::*member,
                              std::span<const std::string_view> choices, int fileDefault) {
  return {.section = kMainOptionSection,
          .key = key,
          .kind = FieldKind::kChoice,
          .member = member,
          .range = {0, static_cast<std::int64_t>(choices.size()) - 1},
          .choices = choices,
          .fileDefault = fileDefault};
}

constexpr ProjectField bits(std::string_view key, int Project::*member, int bitCount) {
  return {.section = kMainOptionSection,
          .key = key,
          .kind = FieldKind::kBits,
          .member = member,
          .range = {0, (std::int64_t{1} << bitCount) - 1}};
}

constexpr ProjectField colour(std::string_view key, Colour Project::*member, Colour fileDefault) {
  return {.section = kMainOptionSection,
          .key = key,
          .kind = FieldKind::kColour,
          .member = member,
          .range = {0, 0xFFFFFF},
          .fileDefault = fileDefault};
}

constexpr ProjectField styleFolder(std::string_view key,
                                   std::array<std::string, kStyleSlotCount> Project::*folders,
                                   int slot, std::string_view fileDefault) {
  return {.section = kMainOptionSection,
          .key = key,
          .kind = FieldKind::kText,
          .member = TextSlot{folders, slot},
          .textDefault = fileDefault};
}

constexpr ProjectField picture(std::string_view key, std::string Project::*member) {
  return {.section = kMainOptionSection, .key = key, .kind = FieldKind::kPicture, .member = member};
}

constexpr ProjectField onlyInTurn(ProjectField field) {
  field.presence = FieldPresence::kWhenSlideshowInTurn;
  return field;
}

constexpr auto kFields = std::to_array<ProjectField>({
    colour("FL_COLOR", &Project::FL_COLOR, 0xFFFFFF),
    colour("BKG_COLOR", &Project::BKG_COLOR, 0x000000),
    colour("MSGBKG_COLOR", &Project::MSGBKG_COLOR, 0x464646),
    colour("CLOCK_COLOR", &Project::CLOCK_COLOR, 0xFFFFFF),
    integer("FL_STYLE", &Project::FL_STYLE, 1, kStyleSlotCount, 1),
    integer("DIR_STYLE", &Project::DIR_STYLE, 1, kStyleSlotCount, 1),
    styleFolder("FLS1_DIR", &Project::FLS_DIR, 0, "Style0"),
    styleFolder("FLS2_DIR", &Project::FLS_DIR, 1, "Style1"),
    styleFolder("FLS3_DIR", &Project::FLS_DIR, 2, "Style2"),
    styleFolder("FLS4_DIR", &Project::FLS_DIR, 3, "Style3"),
    styleFolder("FLS5_DIR", &Project::FLS_DIR, 4, "Style4"),
    styleFolder("DIRS1_DIR", &Project::DIRS_DIR, 0, "Style0"),
    styleFolder("DIRS2_DIR", &Project::DIRS_DIR, 1, "Style1"),
    styleFolder("DIRS3_DIR", &Project::DIRS_DIR, 2, "Style2"),
    styleFolder("DIRS4_DIR", &Project::DIRS_DIR, 3, "Style3"),
    styleFolder("DIRS5_DIR", &Project::DIRS_DIR, 4, "Style4"),
    integer("USE_DATETIME", &Project::USE_DATETIME, 0, 1, 1),
    choice("DATE_STYLE", &Project::DATE_STYLE, kDateStyleChoices, 0),
    bits("MSG_STYLE", &Project::MSG_STYLE, kLiftStateColumnCount),
    integer("USE_BACKGROUNDBMP", &Project::USE_BACKGROUNDBMP, 0, 1, 0),
    integer("AUTOSLIDESHOW", &Project::AUTOSLIDESHOW, kSlideshowPerFloor, kSlideshowFixedPicture0,
            kSlideshowInTurn),
    onlyInTurn(
        integer("SLIDESHOWTIMEGAP", &Project::SLIDESHOWTIMEGAP, 0, kSlideshowIntervalCount - 1, 5)),
    integer("USE_STANDBYLOGO", &Project::USE_STANDBYLOGO, 0, 1, 0),
    eitherOr("CAR_HALL", &Project::CAR_HALL),
    eitherOr("ARRIVALBLINK", &Project::ARRIVALBLINK),
    choice("HLAMP1", &Project::HLAMP1, kLampChoices, 0),
    choice("HLAMP2", &Project::HLAMP2, kLampChoices, 0),
    choice("HLAMP3", &Project::HLAMP3, kLampChoices, 0),
    picture("STANDBYLOGOBMP", &Project::STANDBYLOGOBMP),
    integer("STANDBYTIME", &Project::STANDBYTIME, 0, kStandbyTimeCount - 1, 0),
    integer("NODEADDR", &Project::NODEADDR, 0, kNodeAddressCount - 1, 0),
    choice("BACKLIGHTSAVE", &Project::BACKLIGHTSAVE, kBacklightChoices, 0),
    integer("LCDBLCTRLMODE", &Project::LCDBLCTRLMODE, 0, kBacklightControlModeCount - 1, 2),
    choice("PS_MODE", &Project::PS_MODE, kTriggerModeChoices, 3),
});

constexpr bool keysAreUnique() {
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    for (std::size_t k = i + 1; k < kFields.size(); ++k) {
      if (kFields[i].key == kFields[k].key) {
        return false;
      }
    }
  }
  return true;
}
static_assert(keysAreUnique(), "a key names one field");

// The text a field names in a project, const or not.
template <typename AnyProject>
auto& textIn(AnyProject& project, const ProjectField& field) {
  if (const auto* slot = std::get_if<TextSlot>(&field.member)) {
    return (project.*(slot->texts))[static_cast<std::size_t>(slot->index)];
  }
  return project.*std::get<std::string Project::*>(field.member);
}

}  // namespace

std::span<const ProjectField> ProjectFields() {
  return kFields;
}

const ProjectField* FindField(std::string_view key) {
  const auto found = std::ranges::find(kFields, key, &ProjectField::key);
  return found == kFields.end() ? nullptr : &*found;
}

const ProjectField* FindField(int Project::*member) {
  const auto found = std::ranges::find_if(kFields, [member](const ProjectField& field) {
    const auto* held = std::get_if<int Project::*>(&field.member);
    return held != nullptr && *held == member;
  });
  return found == kFields.end() ? nullptr : &*found;
}

std::int64_t NumberOf(const Project& project, const ProjectField& field) {
  if (const auto* colourMember = std::get_if<Colour Project::*>(&field.member)) {
    return project.*(*colourMember);
  }
  return project.*std::get<int Project::*>(field.member);
}

void SetNumber(Project& project, const ProjectField& field, std::int64_t value) {
  if (const auto* colourMember = std::get_if<Colour Project::*>(&field.member)) {
    project.*(*colourMember) = static_cast<Colour>(value);
    return;
  }
  project.*std::get<int Project::*>(field.member) = static_cast<int>(value);
}

const std::string& TextOf(const Project& project, const ProjectField& field) {
  return textIn(project, field);
}

std::string& TextOf(Project& project, const ProjectField& field) {
  return textIn(project, field);
}

bool IsStored(const ProjectField& field, const Project& project) {
  return field.presence == FieldPresence::kAlways || project.AUTOSLIDESHOW == kSlideshowInTurn;
}

}  // namespace tvx
