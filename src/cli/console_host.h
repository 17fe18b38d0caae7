#pragma once

#include <string>

#include "cli/console_text.h"
#include "cli/report.h"
#include "project/host.h"
#include "util/diagnostic_sink.h"

// The program's messages and error boxes on the command line: printed to stderr as the console
// shows them, in the report language.
namespace tvx::cli {

class ConsoleHost : public StderrHost {
 public:
  ConsoleHost() : StderrHost([](const std::string& line) { PrintLine(stderr, line); }) {}
  unsigned plainMessageLanguage() const override { return ReportLanguage(); }
};

// The lowest layers' error boxes and traces, as the default sink writes them.
class ConsoleDiagnosticSink : public YVclUtil::DiagnosticSink {
 public:
  void showErrorBox(const std::string& caption, const std::string& text) override {
    PrintLine(stderr, caption + ": " + text);
  }
  void debugString(const std::string& text) override { PrintLine(stderr, "debug: " + text); }
};

}  // namespace tvx::cli
