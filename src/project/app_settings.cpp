#include "project/app_settings.h"

#include <exception>
#include <memory>

#include "project/catalogue.h"
#include "project/choices.h"
#include "project/paths.h"
#include "util/ini_file.h"

namespace tvx {

namespace {

constexpr const char* kOptionSection = "Option";
constexpr const char* kFloorTableSection = "FloorTable";
constexpr const char* kLiftMsgSection = "LiftMsg";
constexpr const char* kLiftMsgIdxSection = "LiftMsgIdx";

void readCaptions(YVclUtil::TYIniFile& ini, unsigned lang, WindowState& window) {
  const std::string section = "LANG" + std::to_string(lang);
  window.captions.clear();
  for (std::string_view control : kCaptionControls) {
    const std::string key = std::string(control) + ".Caption";
    CaptionEntry entry{std::string(control), std::nullopt};
    if (ini.ValueExists(section, key)) {
      entry.text = ini.ReadString(section, key, "");
    }
    window.captions.push_back(std::move(entry));
  }
}

void readFloorTexts(YVclUtil::TYIniFile& ini, Project& project) {
  for (int code = 0; code < kFloorCodeCount; ++code) {
    project.FloorTable[code] = ini.ReadString(kFloorTableSection, FloorCodeName(code), "");
  }
}

// A settings picture without a drive or root is a name inside the default lift-state folder.
std::string settingsPicturePath(const std::string& value, const std::string& programDir) {
  if (IsAbsolutePath(value) || value.find(':') != std::string::npos) {
    return value;
  }
  return CatalogueFolderPath(programDir, CatalogueFolder::kLiftState) + value;
}

void readLiftStatePictures(YVclUtil::TYIniFile& ini, const std::string& programDir,
                           Project& project) {
  SetDefaultLiftStateImages(project, programDir);
  if (ini.ReadUnsigned(kLiftMsgSection, "Used", 0) != 1) {
    return;
  }
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      const std::string key = "LiftMsg_" + std::to_string(row) + "_" + std::to_string(column);
      const std::string value = ini.ReadString(kLiftMsgSection, key, "");
      if (IsBlank(value)) {
        continue;
      }
      const std::string path = settingsPicturePath(value, programDir);
      if (FileExists(path)) {
        project.LiftStateImage[row][column] = path;
      }
    }
  }
}

void readMessageInputs(YVclUtil::TYIniFile& ini, Project& project) {
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    const auto index = ini.ReadUnsigned(kLiftMsgIdxSection, "MSG" + std::to_string(row), 0);
    if (index < kLiftMsgInputChoices.size()) {
      project.LiftMsgIdx[row] = static_cast<int>(index);
    }
  }
}

}  // namespace

void ApplyProtocol(const std::string& oem, ProgramState& state) {
  const ProtocolInfo* protocol = FindProtocol(oem);
  if (protocol == nullptr) {
    return;
  }
  AppSettings& settings = state.settings;
  settings.OemProtocol = std::string(protocol->name);
  settings.ProtocolResource32 = protocol->resource32;
  settings.ProtocolResource64 = protocol->resource64;
  settings.DateTimeSupported = protocol->dateTimeSupported;
  settings.LiftMsgIdxUsed = protocol->liftMsgIdxUsed;
  state.window.panels = PanelsForProtocol(*protocol);
}

bool ReadAppSettings(const std::string& path, ProgramState& state, Project& project) {
  std::unique_ptr<YVclUtil::TYIniFile> store;
  if (FileExists(path)) {
    try {
      // Read-only: the settings may lie in an installed, read-only home.
      store = std::make_unique<YVclUtil::TYIniFile>(path, nullptr, YVclUtil::TYIniAccess::ReadOnly);
    } catch (const std::exception&) {
      // The store has already shown why it could not read the file.
    }
  }
  if (!store) {
    state.settings.LANG = 1;
    return false;
  }
  YVclUtil::TYIniFile& ini = *store;
  AppSettings& settings = state.settings;
  settings.LANG = ini.ReadUnsigned(kOptionSection, "LANG", 1);
  settings.MEM = ini.ReadUnsigned(kOptionSection, "MEM", 0);
  ApplyProtocol(ini.ReadString(kOptionSection, "OEM", ""), state);
  readCaptions(ini, settings.LANG, state.window);
  readFloorTexts(ini, project);
  readLiftStatePictures(ini, state.ProgramDir, project);
  if (settings.LiftMsgIdxUsed) {
    readMessageInputs(ini, project);
  }
  return true;
}

}  // namespace tvx
