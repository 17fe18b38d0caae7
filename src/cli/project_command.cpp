#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/program_home.h"
#include "app/studio.h"
#include "cli/commands.h"
#include "cli/field_setting_options.h"
#include "cli/project_studio.h"
#include "project/field_settings.h"
#include "project/named_field.h"
#include "project/project.h"
#include "project/project_fields.h"
#include "util/error_text.h"
#include "util/text_encoding.h"

namespace tvx::cli {

namespace {

// ---- A small JSON writer: one object per line pair, arrays on one line ----------------------

class JsonObjectWriter {
 public:
  explicit JsonObjectWriter(std::FILE* out) : m_out(out) { std::fputs("{", m_out); }
  ~JsonObjectWriter() { std::fputs("\n}\n", m_out); }

  void number(std::string_view key, long long value) {
    member(key);
    std::fprintf(m_out, "%lld", value);
  }
  void text(std::string_view key, const std::string& value) {
    member(key);
    writeString(value);
  }
  template <typename Strings>
  void texts(std::string_view key, const Strings& values) {
    member(key);
    writeTextArray(values);
  }
  template <typename Numbers>
  void numbers(std::string_view key, const Numbers& values) {
    member(key);
    std::fputs("[", m_out);
    const char* separator = "";
    for (const auto value : values) {
      std::fprintf(m_out, "%s%lld", separator, static_cast<long long>(value));
      separator = ", ";
    }
    std::fputs("]", m_out);
  }
  template <typename Rows>
  void textRows(std::string_view key, const Rows& rows) {
    member(key);
    std::fputs("[", m_out);
    const char* separator = "\n    ";
    for (const auto& row : rows) {
      std::fputs(separator, m_out);
      writeTextArray(row);
      separator = ",\n    ";
    }
    std::fputs("\n  ]", m_out);
  }

 private:
  void member(std::string_view key) {
    std::fputs(m_first ? "\n  " : ",\n  ", m_out);
    m_first = false;
    writeString(std::string(key));
    std::fputs(": ", m_out);
  }

  template <typename Strings>
  void writeTextArray(const Strings& values) {
    std::fputs("[", m_out);
    const char* separator = "";
    for (const auto& value : values) {
      std::fputs(separator, m_out);
      writeString(value);
      separator = ", ";
    }
    std::fputs("]", m_out);
  }

  void writeString(const std::string& bytes) {
    std::fputc('"', m_out);
    for (char c : TextAsUtf8(bytes)) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        std::fputc('\\', m_out);
        std::fputc(c, m_out);
      } else if (byte < 0x20) {
        std::fprintf(m_out, "\\u%04x", byte);
      } else {
        std::fputc(c, m_out);
      }
    }
    std::fputc('"', m_out);
  }

  std::FILE* m_out;
  bool m_first = true;
};

void printProject(const Project& p) {
  JsonObjectWriter json(stdout);
  json.number("Layout", p.Layout);
  json.number("LayoutVariant", p.LayoutVariant);
  json.number("DISPTYPE_HV", p.DISPTYPE_HV);
  for (const ProjectField& field : ProjectFields()) {
    if (field.isNumber()) {
      json.number(field.key, NumberOf(p, field));
    } else {
      json.text(field.key, TextOf(p, field));
    }
  }
  json.texts("UserBkGndImage", p.UserBkGndImage);
  json.texts("UserBkGndImage2", p.UserBkGndImage2);
  json.texts("FloorTable", p.FloorTable);
  json.texts("FloorBkgImage", p.FloorBkgImage);
  json.numbers("LiftMsgIdx", p.LiftMsgIdx);
  json.textRows("LiftStateImage", p.LiftStateImage);
  json.texts("MonthImages", p.MonthImages);
  json.texts("WeekImages", p.WeekImages);
  json.text("DateTimeLanguage", p.DateTimeLanguage);
}

// ---- The commands ---------------------------------------------------------------------------

struct ProjectOptions {
  std::string file;
  std::optional<std::string> home;
  std::optional<std::string> lang;
  bool force = false;
  std::vector<std::string> fields;  // names (get) or NAME=VALUE texts (set)
};

constexpr BilingualText kNotWritten{"專案 \"%s\" 未寫入", "the project \"%s\" was not written"};
constexpr BilingualText kNothingWritten{"專案 \"%s\" 未變更", "the project \"%s\" is unchanged"};

constexpr BilingualText kExists{
    "\"%s\" 已存在, 不會被覆寫 (用 --force 取代它)",
    "\"%s\" already exists; it is not overwritten (--force replaces it)"};

CLI::App* addProjectSubcommand(CLI::App& project, const char* name, const char* description,
                               ProjectOptions& options) {
  CLI::App* sub = project.add_subcommand(name, description);
  sub->add_option("FILE", options.file, "project file (.ql3)")->required();
  addHomeOption(*sub, options.home);
  addLanguageOption(*sub, options.lang);
  return sub;
}

// Starts the program headless on its home, as the window would.
std::optional<std::string> findHome(const ProjectOptions& options) {
  Result<std::string> home = FindProgramDir(options.home);
  if (!home) {
    reportFailure(home.error());
    return std::nullopt;
  }
  return std::move(home).value();
}

int runNew(const ProjectOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  std::error_code code;
  if (!options.force &&
      std::filesystem::exists(std::filesystem::symlink_status(options.file, code))) {
    return reportFailure(Error::Stated(options.file, kExists));
  }
  const std::optional<std::string> home = findHome(options);
  if (!home) {
    return kExitFailure;
  }
  Studio studio(*home, &ConsoleMessages());
  studio.StartUp();
  if (!studio.SaveProject(options.file)) {
    return reportFailure(Error::Stated(options.file, kNotWritten));
  }
  return kExitOk;
}

int runShow(const ProjectOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  const Result<std::unique_ptr<Studio>> studio =
      StudioWithProject(options.file, options.home, nullptr, options.lang);
  if (!studio) {
    return reportFailure(studio.error());
  }
  printProject((*studio)->project());
  return kExitOk;
}

int runGet(const ProjectOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  const Result<std::unique_ptr<Studio>> studio =
      StudioWithProject(options.file, options.home, nullptr, options.lang);
  if (!studio) {
    return reportFailure(studio.error());
  }
  for (const std::string& name : options.fields) {
    // The parser let only names of fields through.
    const std::string value = NamedFieldValue((*studio)->project(), *FindNamedField(name));
    std::printf("%s\n", value.c_str());
  }
  return kExitOk;
}

int runSet(const ProjectOptions& options) {
  SetReportLanguage(LanguageOption(options.lang));
  const std::vector<FieldSetting> settings = ParsedFieldSettings(options.fields);
  const Result<std::unique_ptr<Studio>> studio =
      StudioWithProject(options.file, options.home, nullptr, options.lang);
  if (!studio) {
    return reportFailure(studio.error());
  }
  Studio& loaded = **studio;
  const std::vector<Error> refusals =
      ApplyFieldSettings(loaded.project(), settings, loaded.settings(), ReportLanguage());
  if (!refusals.empty()) {
    for (const Error& refusal : refusals) {
      reportFailure(refusal);
    }
    return reportFailure(Error::Stated(options.file, kNothingWritten));
  }
  if (!loaded.SaveProject(options.file)) {
    return reportFailure(Error::Stated(options.file, kNotWritten));
  }
  return kExitOk;
}

}  // namespace

void registerProjectCommands(CLI::App& app, CommandRunner& runner) {
  CLI::App* project = app.add_subcommand("project", "Create and inspect project files (.ql3)");
  project->require_subcommand(1);

  auto newOptions = std::make_shared<ProjectOptions>();
  CLI::App* create = addProjectSubcommand(
      *project, "new", "Write the default project that start-up makes", *newOptions);
  create->add_flag("--force", newOptions->force, "replace the file when it exists");
  runner.bind(create, [newOptions] { return runNew(*newOptions); });

  auto showOptions = std::make_shared<ProjectOptions>();
  CLI::App* show = addProjectSubcommand(
      *project, "show", "Load a project file and print every field as JSON", *showOptions);
  runner.bind(show, [showOptions] { return runShow(*showOptions); });

  auto getOptions = std::make_shared<ProjectOptions>();
  CLI::App* get = addProjectSubcommand(
      *project, "get",
      "Load a project file and print the value of each named field, one a line (texts in UTF-8, "
      "numbers in decimal as \"project show\" prints them)",
      *getOptions);
  get->add_option("NAME", getOptions->fields,
                  "a key of \"project show\", a list entry NAME[i] or LiftStateImage[row][A-D]")
      ->required()
      ->check(FieldNameValidator());
  runner.bind(get, [getOptions] { return runGet(*getOptions); });

  auto setOptions = std::make_shared<ProjectOptions>();
  CLI::App* set = addProjectSubcommand(
      *project, "set",
      "Change named fields of a project file and save it as the window saves it; when any value "
      "is refused nothing is written",
      *setOptions);
  set->add_option("NAME=VALUE", setOptions->fields,
                  "the field's name as \"project get\" takes it, \"=\" and the value (texts "
                  "in UTF-8); the fields below")
      ->required()
      ->check(FieldSettingValidator());
  set->footer(
      "Fields and the values they take (lists take the index the file stores, not the "
      "text the window shows):\n" +
      NamedFieldHelp());
  runner.bind(set, [setOptions] { return runSet(*setOptions); });
}

}  // namespace tvx::cli
