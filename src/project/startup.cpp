#include "project/startup.h"

#include <chrono>
#include <ctime>
#include <filesystem>

#include "project/app_settings.h"
#include "project/catalogue.h"
#include "project/paths.h"
#include "util/bilingual_text.h"
#include "util/file_bytes.h"

namespace tvx {

namespace {

constexpr const char* kStartUpErrorCaption = "Error";
constexpr BilingualText kLibraryNotFound{"找不到 T880_PCGLB.GLB 檔!!\n\n",
                                         "T880_PCGLB.GLB file not found!!\n\n"};
constexpr BilingualText kLibraryNotRead{"錯誤: 無法讀取檔案 \"%s\"\n\n",
                                        "Err: Can not read file \"%s\"\n\n"};

std::string modificationDate(const std::filesystem::path& path) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(path, error);
  if (error) {
    return "000000";
  }
  const auto systemTime = std::chrono::file_clock::to_sys(written);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(systemTime);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) {
    return "000000";
  }
  char date[16];
  std::strftime(date, sizeof date, "%y%m%d", &local);
  return date;
}

}  // namespace

std::string ComposeTitleBase(const AppSettings& settings, const std::string& libraryDate) {
  std::string title(kDesignCaption);
  title += settings.memory64() ? " - (64M) < " : " < ";
  title += settings.OemProtocol;
  title += " > (Lib.";
  title += libraryDate;
  title += ") ";
  return title;
}

std::string ComposeTitle(const std::string& titleBase, const std::string& projectPath) {
  if (projectPath.empty()) {
    return titleBase + std::string(kNoProjectName);
  }
  return titleBase + " -- " + projectPath;
}

bool LoadLibraryImage(const std::string& path, ProgramState& state) {
  Result<std::vector<std::uint8_t>> image = ReadFileBytes(path);
  if (!image) {
    return false;
  }
  state.LibraryImage = std::move(image).value();
  state.LibraryLoaded = true;
  state.LibraryDate = modificationDate(path);
  return true;
}

void StartUp(ProgramState& state, Project& project, Host& host) {
  project = Project{};
  state.window = WindowState{};
  ReadAppSettings(state.settingsPath(), state, project);
  project.FloorStyleDir = ComputeFloorStyleDir(project, state.ProgramDir);
  ResetStyleFolders(project);
  ComputeDateTimeImages(project, state.ProgramDir);

  const std::string library = state.libraryPath();
  if (!FileExists(library)) {
    host.showMessage(kStartUpErrorCaption,
                     std::string(kLibraryNotFound.forLanguage(host.plainMessageLanguage())));
  } else if (!LoadLibraryImage(library, state)) {
    host.showMessage(kStartUpErrorCaption,
                     FillIn(kLibraryNotRead.forLanguage(host.plainMessageLanguage()), {library}));
  }
  if (!state.LibraryLoaded) {
    state.LibraryImage.clear();
    state.LibraryDate = "000000";
    state.TitleBase.clear();
    state.Title = std::string(kDesignCaption);
    return;
  }
  state.TitleBase = ComposeTitleBase(state.settings, state.LibraryDate);
  state.Title = ComposeTitle(state.TitleBase, "");
}

void NewProject(ProgramState& state, Project& project) {
  project.SLIDESHOWTIMEGAP = 0;
  project.USE_BACKGROUNDBMP = 0;
  project.MSG_STYLE = 3;
  project.USE_STANDBYLOGO = 0;
  project.FL_STYLE = 1;
  project.DIR_STYLE = 1;
  project.DATE_STYLE = 0;
  project.USE_DATETIME = 0;
  project.AUTOSLIDESHOW = 1;
  project.UserBkGndImage.fill("");
  project.UserBkGndImage2.fill("");
  project.FloorTable.fill("");
  project.FloorBkgImage.fill("");
  project.UnknownKeys.clear();
  state.window.BackgroundPreviewShown = false;
  state.window.FloorBackgroundPreviewShown = false;
  state.window.CurrentPage = 1;
  project.CAR_HALL = 1;
  project.HLAMP1 = 0;
  project.HLAMP2 = 0;
  project.HLAMP3 = 0;
  project.BKG_COLOR = 0x000000;
  project.FL_COLOR = 0xFFFFFF;
  project.ProjectPath.clear();
  state.Title = ComposeTitle(state.TitleBase, "");
  ReadAppSettings(state.settingsPath(), state, project);
  ResetStyleFolders(project);
  ComputeDateTimeImages(project, state.ProgramDir);
  project.FloorStyleDir = ComputeFloorStyleDir(project, state.ProgramDir);
}

void ShutDown(ProgramState& state) {
  state.LibraryImage.clear();
  state.LibraryImage.shrink_to_fit();
  state.LibraryLoaded = false;
}

}  // namespace tvx
