#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "check/check_project.h"
#include "check/report_format.h"
#include "cli/commands.h"
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
  Result<std::unique_ptr<Studio>> studio = StudioWithProject(options.project, options.home);
  if (!studio) {
    return reportFailure(studio.error());
  }
  applyLanguage(**studio, options.lang);
  CheckOptions checkOptions;
  checkOptions.verbose = options.verbose;
  checkOptions.userTextToUtf8 = TextAsUtf8;
  const CheckReport report = CheckProject((*studio)->project(), (*studio)->state(), checkOptions);
  const std::string text = options.json ? RenderReportJson(report, TextAsUtf8)
                                        : RenderReportText(report, (*studio)->language());
  std::fputs(text.c_str(), stdout);
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
  check->add_option("--lang", options->lang, "language of the report (default: the settings)")
      ->check(CLI::IsMember({"en", "zh"}));
  check->add_flag("--json", options->json, "print the report as JSON");
  check->add_flag("--verbose", options->verbose,
                  "also list what the build handles by itself (notes)");
  runner.bind(check, [options] { return runCheck(*options); });
}

}  // namespace tvx::cli
