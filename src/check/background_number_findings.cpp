#include "check/check_context.h"
#include "check/check_texts.h"
#include "check/slot_roles.h"
#include "project/choices.h"
#include "project/paths.h"
#include "project/project_keys.h"
#include "rom/rom_floor_readback.h"

// The background numbers of the floor code table: decimal, 0 to 127, and, when each floor
// shows its own background, naming a vertical background that holds a picture.
namespace tvx {

namespace {

using namespace check_text;

Finding numberFinding(int code, Severity severity, FindingKind kind) {
  Finding finding = FindingAt({project_key::kFloorBkgImage, FloorCodeName(code)},
                              BackgroundNumberRole(code), severity, kind);
  finding.fix = WordsOf(kFixBackgroundNumber);
  return finding;
}

}  // namespace

void CheckBackgroundNumbers(CheckContext& context) {
  const Project& project = context.project;
  // Only then does the indicator look the numbers up.
  const bool perFloor =
      project.AUTOSLIDESHOW == kSlideshowPerFloor && project.USE_BACKGROUNDBMP != 0;
  for (int code = 0; code < kFloorCodeCount; ++code) {
    const std::string text = Trimmed(project.FloorBkgImage[code]);
    if (text.empty()) {
      continue;
    }
    const std::optional<int> number = ParseBackgroundNumber(UpperCaseText(text));
    if (!number) {
      Finding finding =
          numberFinding(code, Severity::kWarning, FindingKind::kBackgroundNumberNotNumber);
      finding.problem = FormatWords(kNotANumber, context.quoted(text).c_str(),
                                    int{context.plan.floorCodes.tables.backgrounds[code]});
      context.add(std::move(finding));
    } else if (!BackgroundSlot(*number)) {
      Finding finding = numberFinding(code, perFloor ? Severity::kError : Severity::kWarning,
                                      FindingKind::kBackgroundNumberOutOfRange);
      finding.problem = FormatWords(kOutOfRange, *number, *number & 0xFF);
      context.add(std::move(finding));
    } else if (perFloor &&
               context.plan.find(kBackgroundBank, *BackgroundSlot(*number)) == nullptr) {
      Finding finding = numberFinding(code, Severity::kError, FindingKind::kBackgroundSlotEmpty);
      finding.slot = RomSlot{kBackgroundBank, *number};
      finding.problem = FormatWords(kBackgroundEmpty, *number);
      finding.fix = FormatWords(kFixBackgroundEmpty, *number);
      context.add(std::move(finding));
    }
  }
}

}  // namespace tvx
