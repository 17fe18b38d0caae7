#pragma once

#include <string>
#include <string_view>

#include "check/check_report.h"
#include "util/bilingual_text.h"

// A check report for people and for programs.
namespace tvx {

// "error", "warning", "note" in both languages, as the reports head each finding.
BilingualText SeverityWords(Severity severity);

// One block per finding (severity, role, entry and slot, then the file, the problem and the
// fix, indented), then a summary line with the counts and the memory; in the language LANG
// picks (0 English, anything else Chinese). Texts from the user's files are left as they are.
std::string RenderReportText(const CheckReport& report, unsigned lang);

// The report as a JSON object with stable keys: "errors", "warnings", "notes", "memory" (used,
// capacity, fits, largest) and "findings" (severity, kind, section, key, bank, slot, file, and
// role, problem and fix each as {"en": ..., "zh": ...}). Texts that are not UTF-8 (a file name
// in Big5) go through toUtf8; without it their bytes that are not UTF-8 become U+FFFD.
std::string RenderReportJson(const CheckReport& report, const TextToUtf8& toUtf8 = {});

}  // namespace tvx
