#include "check/check_project.h"

#include "check/check_context.h"
#include "rom/resource_plan.h"

namespace tvx {

std::string_view FindingKindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::kPictureMissing:
      return "picture-missing";
    case FindingKind::kPictureUnreadable:
      return "picture-unreadable";
    case FindingKind::kPictureRefused:
      return "picture-refused";
    case FindingKind::kPicturePrepared:
      return "picture-prepared";
    case FindingKind::kPictureWrongSize:
      return "picture-wrong-size";
    case FindingKind::kPictureTooLarge:
      return "picture-too-large";
    case FindingKind::kTransparencyDropped:
      return "transparency-dropped";
    case FindingKind::kPictureNotChosen:
      return "picture-not-chosen";
    case FindingKind::kFloorCharacterMissing:
      return "floor-character-missing";
    case FindingKind::kFloorTextTwoBytes:
      return "floor-text-two-bytes";
    case FindingKind::kFloorTextNotBig5:
      return "floor-text-not-big5";
    case FindingKind::kFloorPictureMissing:
      return "floor-picture-missing";
    case FindingKind::kFloorTextAdjusted:
      return "floor-text-adjusted";
    case FindingKind::kUnusedCharacterMissing:
      return "unused-character-missing";
    case FindingKind::kBackgroundNumberNotNumber:
      return "background-number-not-number";
    case FindingKind::kBackgroundNumberOutOfRange:
      return "background-number-out-of-range";
    case FindingKind::kBackgroundSlotEmpty:
      return "background-slot-empty";
    case FindingKind::kLibraryMissing:
      return "library-missing";
    case FindingKind::kLibraryResourceMissing:
      return "library-resource-missing";
    case FindingKind::kOutOfMemory:
      return "out-of-memory";
    case FindingKind::kMemoryUse:
      return "memory-use";
  }
  return "unknown";
}

std::string_view SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      return "note";
  }
  return "unknown";
}

int CheckReport::count(Severity severity) const {
  int n = 0;
  for (const Finding& finding : findings) {
    n += finding.severity == severity ? 1 : 0;
  }
  return n;
}

CheckReport CheckProject(const Project& project, const ProgramState& state,
                         const CheckOptions& options) {
  const ResourcePlan plan = PlanResources(project, state);
  CheckContext context{project, state, plan, options, {}, {}};
  CheckLibrary(context);
  CheckPictures(context);
  CheckFloorTexts(context);
  CheckBackgroundNumbers(context);
  CheckReport report;
  report.memory = CheckMemory(context);
  report.findings = std::move(context.findings);
  return report;
}

}  // namespace tvx
