#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "check/check_project.h"
#include "check/report_format.h"
#include "cli/commands.h"
#include "cli/console_text.h"
#include "cli/project_studio.h"
#include "util/text_encoding.h"

namespace tvx::cli {

namespace {

struct CheckCommandOptions {
  std::string project;
  std::optional<std::string> home;
  std::optional<std::string> lang;
  bool json = false;
  bool verbose = false;
};

int runCheck(const CheckCommandOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  Result<std::unique_ptr<Studio>> studio =
      StudioWithProject(options.project, options.home, nullptr, options.lang);
  if (!studio) {
    return reportFailure(studio.error());
  }
  SetReportLanguage((*studio)->language());
  CheckOptions checkOptions;
  checkOptions.verbose = options.verbose;
  // JSON is UTF-8 whatever the console; the text report quotes the files' texts as the console
  // shows them.
  checkOptions.userTextToUtf8 = options.json ? TextToUtf8(TextAsUtf8) : TextToUtf8(ConsoleText);
  const CheckReport report = CheckProject((*studio)->project(), (*studio)->state(), checkOptions);
  const std::string text = options.json ? RenderReportJson(report, TextAsUtf8)
                                        : RenderReportText(report, (*studio)->language());
  Print(stdout, text);
  return report.errors() + report.warnings() > 0 ? kExitFailure : kExitOk;
}

}  // namespace

void registerCheckCommands(CLI::App& app, CommandRunner& runner) {
  auto options = std::make_shared<CheckCommandOptions>();
  CLI::App* check = app.add_subcommand(
      "check",
      "Check a project before building it: every picture, floor text, background number, the "
      "picture library and the memory. Writes nothing; exit status 1 when anything was found");
  check->add_option("PROJECT", options->project, "project file (.ql3)")->required();
  addHomeOption(*check, options->home);
  addLanguageOption(*check, options->lang,
                    "language of the report and the messages (default: the settings)");
  check->add_flag("--json", options->json, "print the report as JSON");
  check->add_flag("--verbose", options->verbose,
                  "also list what the build handles by itself (notes)");
  runner.bind(check, [options] { return runCheck(*options); });
}

}  // namespace tvx::cli
