#include "app/build_summary.h"

#include <map>
#include <optional>

#include "check/slot_roles.h"
#include "project/paths.h"
#include "util/printf_format.h"

namespace tvx {

namespace {

using YVclUtil::FormatPrintf;

constexpr BilingualText kSummaryAllStored{"摘要: 已存入 %d 個資源, 沒有留空的欄位",
                                          "Summary: %d resources stored, no slot left empty"};
constexpr BilingualText kSummaryWithEmpty{"摘要: 已存入 %d 個資源, %d 個欄位留空 (%s)",
                                          "Summary: %d resources stored, %d slots left empty (%s)"};
constexpr BilingualText kReasonCount{"%s: %d", "%s: %d"};
constexpr BilingualText kReasonSeparator{", ", ", "};

constexpr BilingualText kReasonMissing{"檔案不存在", "file missing"};
constexpr BilingualText kReasonUnreadable{"檔案無法讀取", "file unreadable"};
constexpr BilingualText kReasonRefused{"轉換程式不接受", "refused by its converter"};
constexpr BilingualText kReasonNotChosen{"未選圖檔", "no picture chosen"};
constexpr BilingualText kReasonNoCharacter{"樓層樣式沒有該字元的圖",
                                           "no picture in the floor style"};
constexpr BilingualText kReasonLibrary{"圖庫沒有該資源", "not in the picture library"};
constexpr BilingualText kReasonMemory{"記憶體不足", "out of memory"};

// The short reason of the check's error about a slot.
std::optional<BilingualText> reasonOfKind(FindingKind kind) {
  switch (kind) {
    case FindingKind::kPictureMissing:
    case FindingKind::kFloorPictureMissing:
      return kReasonMissing;
    case FindingKind::kPictureUnreadable:
      return kReasonUnreadable;
    case FindingKind::kPictureRefused:
      return kReasonRefused;
    case FindingKind::kPictureNotChosen:
      return kReasonNotChosen;
    case FindingKind::kFloorCharacterMissing:
    case FindingKind::kUnusedCharacterMissing:
      return kReasonNoCharacter;
    case FindingKind::kLibraryMissing:
    case FindingKind::kLibraryResourceMissing:
      return kReasonLibrary;
    case FindingKind::kOutOfMemory:
      return kReasonMemory;
    // The build stores a prepared picture; its note and a transparency warning are about how,
    // never a reason for an empty slot.
    case FindingKind::kPicturePrepared:
    case FindingKind::kTransparencyDropped:
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

// Nothing for a slot that names no picture and that the indicator does not use either (a
// message column its style leaves out, the logo switched off).
std::optional<BilingualText> reasonFor(const PlannedSlot& slot, const CheckReport& report) {
  for (const Finding& finding : report.findings) {
    if (finding.slot == RomSlot{slot.bank, slot.slot}) {
      if (const std::optional<BilingualText> reason = reasonOfKind(finding.kind)) {
        return reason;
      }
    }
  }
  if (IsBlank(slot.value)) {
    return std::nullopt;
  }
  return slot.isLibraryReference() ? kReasonLibrary : kReasonRefused;
}

std::string reasonCounts(const std::vector<EmptySlot>& empty, unsigned lang) {
  // In order of first appearance, each reason once with its count.
  std::vector<std::string> order;
  std::map<std::string, int> counts;
  for (const EmptySlot& slot : empty) {
    const std::string& reason = slot.reason.forLanguage(lang);
    if (counts[reason]++ == 0) {
      order.push_back(reason);
    }
  }
  std::string text;
  for (const std::string& reason : order) {
    if (!text.empty()) {
      text += kReasonSeparator.forLanguage(lang);
    }
    text += FormatPrintf(std::string(kReasonCount.forLanguage(lang)).c_str(), reason.c_str(),
                         counts[reason]);
  }
  return text;
}

}  // namespace

BuildSummary SummariseBuild(const ResourcePlan& plan, const ResourceChecks& stored,
                            const CheckReport& report, const ProgramState& state) {
  BuildSummary summary;
  for (const ResourceCheck& check : stored) {
    summary.stored += check.size > 0 ? 1 : 0;
  }
  std::vector<const PlannedSlot*> slots = plan.allSlots();
  for (const PlannedSlot& missing : plan.missingFloorCharacters) {
    slots.push_back(&missing);
  }
  for (const PlannedSlot* slot : slots) {
    if (stored[static_cast<std::size_t>(ResourceIndex(slot->bank, slot->slot))].size > 0) {
      continue;
    }
    if (const std::optional<BilingualText> reason = reasonFor(*slot, report)) {
      summary.empty.push_back(
          {RomSlot{slot->bank, slot->slot}, SlotRoleWords(*slot, state), WordsOf(*reason)});
    }
  }
  return summary;
}

std::string BuildSummaryLine(const BuildSummary& summary, unsigned lang) {
  if (summary.empty.empty()) {
    return FormatPrintf(std::string(kSummaryAllStored.forLanguage(lang)).c_str(), summary.stored);
  }
  return FormatPrintf(std::string(kSummaryWithEmpty.forLanguage(lang)).c_str(), summary.stored,
                      static_cast<int>(summary.empty.size()),
                      reasonCounts(summary.empty, lang).c_str());
}

}  // namespace tvx
