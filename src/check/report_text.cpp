#include "check/check_texts.h"
#include "check/report_format.h"
#include "rom/resource_list.h"

namespace tvx {

namespace {

// "[LiftStateImage LiftState_0_A, BANK0-196]", the parts there are.
std::string whereOf(const Finding& finding) {
  std::string where = finding.entry.section;
  if (!finding.entry.key.empty()) {
    where += (where.empty() ? "" : " ") + finding.entry.key;
  }
  if (finding.slot) {
    where += (where.empty() ? "" : ", ") + ResourceListSection(finding.slot->bank) + "-" +
             std::to_string(finding.slot->slot);
  }
  return where.empty() ? where : " [" + where + "]";
}

}  // namespace

BilingualText SeverityWords(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return check_text::kError;
    case Severity::kWarning:
      return check_text::kWarning;
    case Severity::kNote:
      break;
  }
  return check_text::kNote;
}

std::string RenderReportText(const CheckReport& report, unsigned lang) {
  const bool english = lang == 0;
  std::string text;
  for (const Finding& finding : report.findings) {
    text += std::string(SeverityWords(finding.severity).pick(english)) + ": " +
            finding.role.forLanguage(lang) + whereOf(finding) + "\n";
    if (!finding.file.empty()) {
      text += "    " + finding.file + "\n";
    }
    text += "    " + finding.problem.forLanguage(lang) + "\n";
    if (!finding.fix.empty()) {
      text += "    " + std::string(check_text::kFixHead.pick(english)) +
              finding.fix.forLanguage(lang) + "\n";
    }
  }
  text += FormatWords(check_text::kSummary, report.errors(), report.warnings(), report.notes())
              .forLanguage(lang) +
          "\n";
  text += FormatWords(check_text::kMemoryLine, static_cast<unsigned long long>(report.memory.used),
                      static_cast<unsigned long long>(report.memory.capacity))
              .forLanguage(lang) +
          "\n";
  return text;
}

}  // namespace tvx
