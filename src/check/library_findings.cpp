#include "check/check_context.h"
#include "check/check_texts.h"
#include "check/slot_roles.h"
#include "rom/picture_library.h"

// The library resources the build copies: the library is there and holds each of them.
namespace tvx {

namespace {

using namespace check_text;

BilingualText lookupProblem(LibraryLookup status) {
  switch (status) {
    case LibraryLookup::kPastEnd:
      return kLibraryPastEnd;
    case LibraryLookup::kOutOfRange:
      return kLibraryOutOfRange;
    case LibraryLookup::kFound:
    case LibraryLookup::kNoLibrary:
    case LibraryLookup::kEmptySlot:
      break;
  }
  return kLibrarySlotEmpty;
}

}  // namespace

void CheckLibrary(CheckContext& context) {
  const ProgramState& state = context.state;
  std::vector<const PlannedSlot*> references;
  for (const PlannedSlot* slot : context.plan.allSlots()) {
    if (slot->isLibraryReference()) {
      references.push_back(slot);
    }
  }
  if (!state.LibraryLoaded || state.LibraryImage.empty()) {
    Finding finding;
    finding.kind = FindingKind::kLibraryMissing;
    finding.role = WordsOf(kRolePictureLibrary);
    finding.file = state.libraryPath();
    finding.problem = FormatWords(kNoLibrary, static_cast<int>(references.size()));
    finding.fix = FormatWords(kFixLibrary, state.ProgramDir.c_str());
    context.add(std::move(finding));
    return;
  }
  for (const PlannedSlot* reference : references) {
    const LibraryResource found =
        FindLibraryResource(state.LibraryImage, 0, reference->librarySlot);
    if (found.status == LibraryLookup::kFound) {
      context.sizes.push_back({{reference->bank, reference->slot},
                               {},
                               SlotRoleWords(*reference, state),
                               found.bytes.size()});
      continue;
    }
    Finding finding =
        FindingFor(*reference, state, Severity::kError, FindingKind::kLibraryResourceMissing);
    finding.problem = FormatWords(lookupProblem(found.status), reference->librarySlot);
    finding.fix = FormatWords(kFixLibraryResource, reference->librarySlot);
    context.add(std::move(finding));
  }
}

}  // namespace tvx
