#include <cstdio>
#include <exception>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/console_text.h"
#include "util/error_text.h"

namespace tvx::cli {

namespace {

unsigned g_reportLanguage = 0;

}  // namespace

unsigned ReportLanguage() {
  return g_reportLanguage;
}

void SetReportLanguage(unsigned lang) {
  g_reportLanguage = lang;
}

unsigned LanguageOption(const std::optional<std::string>& lang, unsigned otherwise) {
  return lang ? (*lang == "en" ? 0 : 1) : otherwise;
}

int reportFailure(const std::string& message) {
  PrintLine(stderr, "tvx880: " + message);
  return kExitFailure;
}

int reportFailure(const Error& error, ExitStatus status) {
  reportFailure(ErrorText(error, g_reportLanguage));
  return status;
}

}  // namespace tvx::cli

int main(int argc, char** argv) {
  using namespace tvx::cli;
  CLI::App app{
      "tvx880: design, build and upload the screens of a TVX880 colour TFT floor indicator",
      "tvx880"};
  app.set_version_flag("--version", std::string("tvx880 ") + TVX_VERSION);
  app.require_subcommand(0, 1);

  ConsoleDiagnosticSink consoleSink;
  const YVclUtil::ScopedDiagnosticSink errorBoxes(consoleSink);
  CommandRunner runner;
  registerIniCommands(app, runner);
  registerImageCommands(app, runner);
  registerProjectCommands(app, runner);
  registerCheckCommands(app, runner);
  registerBuildCommands(app, runner);
  registerInspectCommands(app, runner);
  registerPortCommands(app, runner);
  registerUploadCommands(app, runner);
  registerNetCommands(app, runner);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? kExitOk : kExitUsage;
  }
  if (!runner.hasAction()) {
    std::fputs(app.help().c_str(), stderr);
    return kExitUsage;
  }
  int status = kExitOk;
  try {
    status = runner.run();
  } catch (const std::exception& error) {
    return reportFailure(error.what());
  }
  // What the command printed may have been cut short (a full disk under a redirection).
  if ((std::fflush(stdout) != 0 || std::ferror(stdout) != 0) && status == kExitOk) {
    return reportFailure(tvx::Error::Stated({}, kCannotWriteOutput));
  }
  return status;
}
