#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/build_driver.h"
#include "app/program_home.h"
#include "app/studio.h"
#include "check/report_format.h"
#include "cli/commands.h"
#include "cli/console_host.h"
#include "cli/console_text.h"
#include "cli/field_setting_options.h"
#include "cli/project_studio.h"
#include "cli/rom_image_destination.h"
#include "cli/upload_cli.h"
#include "project/field_settings.h"
#include "rom/build_report.h"
#include "util/error_text.h"

namespace tvx::cli {

namespace {

constexpr BilingualText kNoPortGiven{"未指定通訊埠 (--port): 不上傳",
                                     "No port given (--port): the image is not uploaded"};
constexpr BilingualText kNoImageWritten{"未寫入 ROM 映像檔", "no ROM image was written"};
constexpr BilingualText kRefusedByCheck{
    "建置前檢查在 \"%s\" 發現問題 (見上), 未儲存專案也未寫入 ROM 映像檔; 用 --lenient 仍然建置",
    "the pre-flight check found problems in \"%s\" (above); nothing was saved or written "
    "(--lenient builds anyway)"};

constexpr BilingualText kNothingBuilt{"\"%s\" 未建置, 也未變更",
                                      "\"%s\" was neither built nor changed"};

struct BuildOptions {
  std::string project;
  std::optional<std::string> home;
  std::optional<std::string> out;
  std::optional<std::string> lang;
  std::optional<std::string> port;
  bool lenient = false;
  std::vector<std::string> settings;  // --set NAME=VALUE
};

// The transfer after the build: the port given, language and memory size of the settings.
ConsoleUploadOptions uploadOptions(const BuildOptions& options, const AppSettings& settings) {
  ConsoleUploadOptions upload;
  upload.port = options.port.value_or("");
  upload.lang = settings.LANG;
  upload.mem = settings.MEM;
  return upload;
}

// Messages to stderr; the save question is answered with the project's own path, so the
// project is saved where it was loaded from.
class CommandLineHost : public ConsoleHost {
 public:
  explicit CommandLineHost(std::string projectPath) : m_projectPath(std::move(projectPath)) {}
  std::optional<std::string> chooseSaveFile(const FileDialogRequest&) override {
    return m_projectPath;
  }

 private:
  std::string m_projectPath;
};

// The build's upload step on the command line: the upload command's transfer (log lines,
// progress bar, Ctrl-C) through the given port, or a line saying that none was given.
class CommandLineBuildHost : public BuildHost {
 public:
  CommandLineBuildHost(Studio& studio, const BuildOptions& options)
      : m_studio(studio), m_options(options) {}

  void startUpload(const std::string& romImagePath) override {
    if (!m_options.port) {
      const BuildReporter reporter(m_studio.language());
      m_studio.log().add(reporter.pick(kNoPortGiven));
      return;
    }
    m_uploadStatus = runUpload(ConsoleUploadKind::AfterBuild, romImagePath,
                               uploadOptions(m_options, m_studio.settings()));
  }

  // The findings go out with the log, in its language; only --lenient builds on.
  bool buildDespite(const CheckReport& report) override {
    Print(stdout, RenderReportText(report, m_studio.language()));
    return m_options.lenient;
  }

  // As the console shows the log lines.
  std::string quotedText(std::string_view text) const override { return ConsoleText(text); }

  int uploadStatus() const { return m_uploadStatus; }

 private:
  Studio& m_studio;
  const BuildOptions& m_options;
  int m_uploadStatus = kExitOk;
};

// Prints each log line of log as it is added.
std::function<void()> logEcho(const BuildLog& log) {
  auto printed = std::make_shared<std::size_t>(0);
  return [&log, printed] {
    const std::vector<std::string>& lines = log.lines();
    if (lines.size() < *printed) {
      *printed = 0;
    }
    for (; *printed < lines.size(); ++*printed) {
      PrintLine(stdout, lines[*printed]);
    }
  };
}

BilingualText outcomeReason(BuildOutcome outcome) {
  switch (outcome) {
    case BuildOutcome::kNoFloorCodes:
      return {"樓層代碼表是空的", "the floor code table is empty"};
    case BuildOutcome::kCheckRefused:
      return {"建置前檢查發現問題", "the pre-flight check found problems"};
    case BuildOutcome::kNotSaved:
      return {"專案無法儲存", "the project could not be saved"};
    case BuildOutcome::kMissingArrow:
      return {"缺少方向箭頭圖", "a direction arrow picture is missing"};
    case BuildOutcome::kOutOfMemory:
      return {"圖片超過指示器的記憶體", "the pictures do not fit the indicator's memory"};
    default:
      return {"建置失敗", "the build failed"};
  }
}

int runBuild(const BuildOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  if (options.port) {
    if (Result<void> checked = CheckConsoleUploadOptions(uploadOptions(options, {})); !checked) {
      return reportFailure(checked.error(), kExitUsage);
    }
  }
  if (options.out) {
    if (Result<void> free = CheckRomImageDestination(*options.out, options.project); !free) {
      return reportFailure(free.error());
    }
  }
  CommandLineHost host(options.project);
  Result<std::unique_ptr<Studio>> loaded =
      StudioWithProject(options.project, options.home, &host, options.lang);
  if (!loaded) {
    return reportFailure(loaded.error());
  }
  Studio& studio = **loaded;
  // From here every line is in the log's language.
  SetReportLanguage(studio.language());
  const std::vector<FieldSetting> settings = ParsedFieldSettings(options.settings);
  if (const std::vector<Error> refusals =
          ApplyFieldSettings(studio.project(), settings, studio.settings(), studio.language());
      !refusals.empty()) {
    for (const Error& refusal : refusals) {
      reportFailure(refusal);
    }
    return reportFailure(Error::Stated(options.project, kNothingBuilt));
  }

  CommandLineBuildHost buildHost(studio, options);
  BuildOutcome outcome = BuildOutcome::kFailed;
  {
    const ScopedLogListener echo(studio.log(), logEcho(studio.log()));
    BuildDriver driver(studio, buildHost);
    driver.setRomImagePath(options.out);
    if (!settings.empty()) {
      driver.setUnsavedChanges(FieldSettingsText(settings));
    }
    outcome = driver.BuildAndUpload().outcome;
  }
  if (outcome == BuildOutcome::kCheckRefused) {
    return reportFailure(Error::Stated(options.project, kRefusedByCheck));
  }
  if (outcome != BuildOutcome::kBuilt) {
    const std::string reason(outcomeReason(outcome).forLanguage(ReportLanguage()));
    return reportFailure(Error::Invalid({}, reason).withAction(kNoImageWritten));
  }
  // A failed upload after the build has been reported; the command failed.
  return buildHost.uploadStatus();
}

}  // namespace

void registerBuildCommands(CLI::App& app, CommandRunner& runner) {
  auto build = std::make_shared<BuildOptions>();
  CLI::App* buildCommand = app.add_subcommand(
      "build",
      "Check a project, then build it into the indicator's ROM image (.BIN) and print the build "
      "log; the project is saved first (not with --set). Anything the check finds stops the build "
      "(see --lenient). Exit status 0 only when the image was written");
  buildCommand->add_option("PROJECT", build->project, "project file (.ql3)")->required();
  addHomeOption(*buildCommand, build->home);
  buildCommand->add_option("--out", build->out,
                           "where the image goes (default: the project's path with \".BIN\"); "
                           "an existing file there must be a ROM image, and never the project");
  addLanguageOption(*buildCommand, build->lang,
                    "language of the log and the messages (default: the settings)");
  buildCommand->add_option("--port", build->port,
                           "upload the image through this port (\"COM 3\" or a device path)");
  buildCommand->add_flag("--lenient", build->lenient,
                         "build even when the pre-flight check finds problems (their slots stay "
                         "empty or wrong); the findings are printed");
  buildCommand
      ->add_option("--set", build->settings,
                   "build with this field changed (repeatable; the names and values of "
                   "\"project set\"); the project file is left as it is")
      ->check(FieldSettingValidator());
  runner.bind(buildCommand, [build] { return runBuild(*build); });
}

}  // namespace tvx::cli
