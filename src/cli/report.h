#pragma once

#include <optional>
#include <string>

#include "util/bilingual_text.h"
#include "util/result.h"

// How a command ends: its exit status and the failure it reports on stderr. Kept apart from
// the option parser so that code that only reports does not compile the parser.
namespace tvx::cli {

enum ExitStatus : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// The language of the command's own lines and of the program's messages on the command line
// (0 English, else Chinese): English until the command knows better (its --lang, or for a
// build the language of its log).
unsigned ReportLanguage();
void SetReportLanguage(unsigned lang);
// The LANG value of "--lang en|zh"; otherwise when the option was not given.
unsigned LanguageOption(const std::optional<std::string>& lang, unsigned otherwise = 0);

// Prints "tvx880: <message>" on stderr and answers kExitFailure.
int reportFailure(const std::string& message);

// Prints "tvx880: " and the error in the report language on stderr and answers status. Every
// command reports its failures here.
int reportFailure(const Error& error, ExitStatus status = kExitFailure);

// Failures more than one command reports.
inline constexpr BilingualText kProjectNotLoaded{"專案 \"%s\" 未載入",
                                                 "the project \"%s\" was not loaded"};
inline constexpr BilingualText kCannotWriteOutput{"無法寫入標準輸出",
                                                  "cannot write to standard output"};

}  // namespace tvx::cli
