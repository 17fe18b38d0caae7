#include "check/check_context.h"
#include "check/check_texts.h"
#include "check/picture_intake.h"
#include "check/slot_roles.h"
#include "project/paths.h"
#include "project/picture_lookup.h"
#include "project/project_fields.h"
#include "project/project_keys.h"
#include "util/error_text.h"

// The pictures the plan names: each exists, can be read, is taken by its bank's converter and
// has the size of its slot.
namespace tvx {

namespace {

using namespace check_text;

Words fixFor(const PictureShape& shape, bool headerForm) {
  const Words fix = shape.exact ? FormatWords(kFixExact, shape.width, shape.height)
                                : FormatWords(kFixAtMost, shape.width, shape.height);
  return headerForm ? JoinWords(fix, {}, WordsOf(kFixMagick)) : fix;
}

bool dateShown(const CheckContext& context) {
  return context.project.USE_DATETIME != 0 && context.state.settings.DateTimeSupported;
}

// A slot in use that names no picture.
void checkNotChosen(CheckContext& context, const PlannedSlot& slot) {
  BilingualText problem;
  BilingualText fix;
  if (slot.role == SlotRole::kMessage && (context.project.MSG_STYLE >> slot.column & 1) != 0) {
    problem = kMessageNotChosen;
    fix = kFixMessageNotChosen;
  } else if ((slot.role == SlotRole::kMonth || slot.role == SlotRole::kWeekday) &&
             dateShown(context)) {
    problem = kDateNotChosen;
    fix = kFixDateNotChosen;
  } else if (slot.role == SlotRole::kStandbyLogo) {
    problem = kLogoNotChosen;
    fix = kFixLogoNotChosen;
  } else {
    return;
  }
  Finding finding =
      FindingFor(slot, context.state, Severity::kError, FindingKind::kPictureNotChosen);
  finding.problem = WordsOf(problem);
  finding.fix = WordsOf(fix);
  context.add(std::move(finding));
}

void checkSize(CheckContext& context, const PlannedSlot& slot, const IntakeVerdict& verdict) {
  const PictureShape shape = ShapeOf(slot, context.project);
  const auto width = static_cast<long long>(verdict.width);
  const auto height = static_cast<long long>(verdict.height);
  if (shape.exact && (width != shape.width || height != shape.height)) {
    Finding finding =
        FindingFor(slot, context.state, Severity::kWarning, FindingKind::kPictureWrongSize);
    finding.problem = FormatWords(kWrongSize, width, height, shape.width, shape.height);
    finding.fix = FormatWords(kFixResize, shape.width, shape.height);
    context.add(std::move(finding));
  } else if (!shape.exact && (width > shape.width || height > shape.height)) {
    Finding finding =
        FindingFor(slot, context.state, Severity::kWarning, FindingKind::kPictureTooLarge);
    finding.problem = FormatWords(kTooLarge, width, height, shape.width, shape.height);
    finding.fix = FormatWords(kFixShrink, shape.width, shape.height);
    context.add(std::move(finding));
  }
}

void checkPicture(CheckContext& context, const PlannedSlot& slot) {
  const ProgramState& state = context.state;
  if (IsBlank(slot.value)) {
    checkNotChosen(context, slot);
    return;
  }
  if (!FileExists(slot.value)) {
    // Not a picture, so the assembler takes the value for a library reference and stops.
    Finding finding = FindingFor(slot, state, Severity::kError, FindingKind::kPictureMissing);
    finding.problem = WordsOf(kFileMissingStops);
    finding.fix = WordsOf(kFixMissing);
    context.add(std::move(finding));
    return;
  }
  const Result<BmpProbe> probe = ProbeBmpFile(slot.value);
  if (!probe) {
    Finding finding = FindingFor(slot, state, Severity::kError, FindingKind::kPictureUnreadable);
    finding.problem = FormatWordsWith(
        kUnreadable, Words{ErrorReason(probe.error(), 1), ErrorReason(probe.error(), 0)});
    finding.fix = WordsOf(kFixUnreadable);
    context.add(std::move(finding));
    return;
  }
  const PictureConverter converter = ConverterOfBank(slot.bank);
  const IntakeVerdict verdict = WhatTheBuildMakesOf(slot.value, *probe, converter);
  if (verdict.intake == Intake::kRefused) {
    const RefusalWords refusal = ExplainRefusal(*probe, verdict);
    const bool stops = converter == PictureConverter::kErrorDiffusion;
    Finding finding = FindingFor(slot, state, Severity::kError, FindingKind::kPictureRefused);
    finding.problem =
        JoinWords(refusal.reason, kSemicolon, WordsOf(stops ? kBuildStops : kSlotStaysEmpty));
    finding.fix = fixFor(ShapeOf(slot, context.project), refusal.headerForm);
    context.add(std::move(finding));
    return;
  }
  if (verdict.intake == Intake::kPrepared) {
    Finding finding = FindingFor(slot, state, Severity::kNote, FindingKind::kPicturePrepared);
    finding.problem = JoinWords(PreparedFrom(*probe, verdict), kSemicolon, WordsOf(kPrepared));
    context.add(std::move(finding));
  }
  checkSize(context, slot, verdict);
  if (verdict.translucent) {
    Finding finding =
        FindingFor(slot, state, Severity::kWarning, FindingKind::kTransparencyDropped);
    // A converter that takes the picture ignores its alpha; a prepared one is put over black.
    finding.problem =
        WordsOf(verdict.intake == Intake::kPrepared ? kTransparencyOverBlack : kTransparency);
    finding.fix = WordsOf(kFixFlatten);
    context.add(std::move(finding));
  }
  context.sizes.push_back(
      {{slot.bank, slot.slot}, slot.value, SlotRoleWords(slot, state), verdict.storedSize});
}

// Background cells that name a file that is not there: the build clears them.
void checkClearedBackgrounds(CheckContext& context, bool vertical) {
  const std::vector<int>& rows =
      vertical ? context.plan.clearedVerticalRows : context.plan.clearedHorizontalRows;
  const auto& cells = vertical ? context.project.UserBkGndImage : context.project.UserBkGndImage2;
  for (int row : rows) {
    if (IsBlank(cells[row])) {
      continue;
    }
    PlannedSlot slot;
    slot.bank = kBackgroundBank;
    slot.slot = (vertical ? 0 : kFirstHorizontalBackgroundSlot) + row;
    slot.value = Trimmed(cells[row]);
    slot.role = vertical ? SlotRole::kVerticalBackground : SlotRole::kHorizontalBackground;
    slot.index = row;
    slot.source = {
        vertical ? project_key::kVerticalBackgrounds : project_key::kHorizontalBackgrounds,
        project_key::BackgroundKey(row)};
    Finding finding =
        FindingFor(slot, context.state, Severity::kError, FindingKind::kPictureMissing);
    finding.problem = WordsOf(kFileMissingLeftOut);
    finding.fix = WordsOf(kFixMissing);
    context.add(std::move(finding));
  }
}

// A logo whose picture was not found on load is switched off; its text is kept for the
// technician to put the picture back or choose another.
void checkSwitchedOffLogo(CheckContext& context) {
  const Project& project = context.project;
  if (project.USE_STANDBYLOGO != 0 || IsBlank(project.STANDBYLOGOBMP) ||
      FindProjectPicture(project, project.STANDBYLOGOBMP)) {
    return;
  }
  PlannedSlot slot;
  slot.slot = kStandbyLogoSlot;
  slot.value = project.STANDBYLOGOBMP;
  slot.role = SlotRole::kStandbyLogo;
  slot.source = {kMainOptionSection, "STANDBYLOGOBMP"};
  Finding finding =
      FindingFor(slot, context.state, Severity::kWarning, FindingKind::kPictureMissing);
  finding.problem = WordsOf(kFileMissingLogoOff);
  finding.fix = WordsOf(kFixMissing);
  context.add(std::move(finding));
}

}  // namespace

void CheckPictures(CheckContext& context) {
  for (const PlannedSlot* slot : context.plan.allSlots()) {
    if (!slot->isLibraryReference()) {
      checkPicture(context, *slot);
    }
  }
  checkClearedBackgrounds(context, true);
  checkClearedBackgrounds(context, false);
  checkSwitchedOffLogo(context);
}

}  // namespace tvx
