#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "util/diagnostic_sink.h"
#include "util/error_text.h"
#include "util/ey_general.h"
#include "util/ini_file.h"

namespace tvx::cli {
namespace {

using YVclUtil::TYIniAccess;
using YVclUtil::TYIniFile;

constexpr BilingualText kEmptyName{"區段與鍵名不可為空",
                                   "the section and the key must not be empty"};
constexpr BilingualText kLongName{"區段名稱與鍵名最長 256 位元組",
                                  "section names and keys are at most 256 bytes long"};

// The store reports its failures as error boxes; on the command line they become the one
// message of a failed command.
class StoreReports {
 public:
  StoreReports() : m_guard(m_sink) {}

  // The store's trace of why it failed when there is one ("cannot open "a.ini": No such file or
  // directory"), else its first box as one line ("Can not open file "a.ini"").
  std::string reason() const {
    static const std::string kTracePrefix = "TYIniFile: ";
    for (const std::string& line : m_sink.debugLines()) {
      if (line.rfind(kTracePrefix, 0) == 0) {
        return line.substr(kTracePrefix.size());
      }
    }
    const auto boxes = m_sink.boxes();
    if (boxes.empty()) {
      return "unknown failure";
    }
    std::string line;
    for (const char c : boxes.front().text) {
      if (c == '\n') {
        continue;
      }
      if (c == ' ' && (line.empty() || line.back() == ' ')) {
        continue;
      }
      line += c;
    }
    while (!line.empty() && line.back() == ' ') {
      line.pop_back();
    }
    if (line.rfind("Err: ", 0) == 0) {
      line.erase(0, 5);
    }
    return line;
  }

 private:
  YVclUtil::RecordingDiagnosticSink m_sink;
  YVclUtil::ScopedDiagnosticSink m_guard;
};

// Opens file with the store; null after reporting when it cannot be read.
std::unique_ptr<TYIniFile> openStore(const std::string& file, TYIniAccess access,
                                     const StoreReports& reports) {
  try {
    return std::make_unique<TYIniFile>(file, nullptr, access);
  } catch (const YVclUtil::EYGeneral&) {
    reportFailure(Error::Invalid({}, reports.reason()));
    return nullptr;
  }
}

int dumpIni(const std::string& file) {
  StoreReports reports;
  const auto ini = openStore(file, TYIniAccess::ReadOnly, reports);
  if (!ini) {
    return kExitFailure;
  }
  const std::string text = ini->ToText();
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    return reportFailure(Error::Stated({}, kCannotWriteOutput));
  }
  return kExitOk;
}

int getIni(const std::string& file, const std::string& section, const std::string& key,
           const std::string& defaultValue) {
  StoreReports reports;
  const auto ini = openStore(file, TYIniAccess::ReadOnly, reports);
  if (!ini) {
    return kExitFailure;
  }
  const std::string value = ini->ReadString(section, key, defaultValue) + "\n";
  if (std::fwrite(value.data(), 1, value.size(), stdout) != value.size() ||
      std::fflush(stdout) != 0) {
    return reportFailure(Error::Stated({}, kCannotWriteOutput));
  }
  return kExitOk;
}

int setIni(const std::string& file, const std::string& section, const std::string& key,
           const std::string& value) {
  if (section.empty() || key.empty()) {
    return reportFailure(Error::Stated({}, kEmptyName));
  }
  if (section.size() > 256 || key.size() > 256) {
    return reportFailure(Error::Stated({}, kLongName));
  }
  StoreReports reports;
  const auto ini = openStore(file, TYIniAccess::ReadWrite, reports);
  if (!ini) {
    return kExitFailure;
  }
  ini->WriteString(section, key, value);
  if (!ini->UpdateFile()) {
    return reportFailure(
        ErrorBecause(*ini->pr_LastSaveError(), ReportLanguage(), {}, {"未儲存", "not saved"}));
  }
  return kExitOk;
}

}  // namespace

void registerIniCommands(CLI::App& app, CommandRunner& runner) {
  CLI::App* ini = app.add_subcommand("ini", "Read and change INI files as the settings store does");
  ini->require_subcommand(1);

  CLI::App* dump = ini->add_subcommand(
      "dump", "Print FILE exactly as the settings store would write it back (CR LF line ends)");
  auto dumpFile = std::make_shared<std::string>();
  dump->add_option("FILE", *dumpFile, "INI file to read (never created or changed)")->required();
  auto dumpLang = std::make_shared<std::optional<std::string>>();
  addLanguageOption(*dump, *dumpLang);
  runner.bind(dump, [=] {
    SetReportLanguage(LanguageOption(*dumpLang));
    return dumpIni(*dumpFile);
  });

  CLI::App* get = ini->add_subcommand("get", "Print the value of KEY in SECTION and a newline");
  auto getArgs = std::make_shared<std::array<std::string, 4>>();
  get->add_option("FILE", (*getArgs)[0], "INI file to read (never created or changed)")->required();
  get->add_option("SECTION", (*getArgs)[1], "Section name (case-sensitive)")->required();
  get->add_option("KEY", (*getArgs)[2], "Key (case-sensitive)")->required();
  get->add_option("--default", (*getArgs)[3],
                  "Text printed when the section, the key or its value is absent");
  auto getLang = std::make_shared<std::optional<std::string>>();
  addLanguageOption(*get, *getLang);
  runner.bind(get, [=] {
    SetReportLanguage(LanguageOption(*getLang));
    return getIni((*getArgs)[0], (*getArgs)[1], (*getArgs)[2], (*getArgs)[3]);
  });

  CLI::App* set = ini->add_subcommand(
      "set", "Store VALUE under KEY in SECTION and save FILE (created when missing)");
  auto setArgs = std::make_shared<std::array<std::string, 4>>();
  set->add_option("FILE", (*setArgs)[0], "INI file to change")->required();
  set->add_option("SECTION", (*setArgs)[1], "Section name (case-sensitive)")->required();
  set->add_option("KEY", (*setArgs)[2], "Key (case-sensitive)")->required();
  set->add_option("VALUE", (*setArgs)[3], "Value; an empty one leaves the key without value")
      ->required();
  auto setLang = std::make_shared<std::optional<std::string>>();
  addLanguageOption(*set, *setLang);
  runner.bind(set, [=] {
    SetReportLanguage(LanguageOption(*setLang));
    return setIni((*setArgs)[0], (*setArgs)[1], (*setArgs)[2], (*setArgs)[3]);
  });
}

}  // namespace tvx::cli
