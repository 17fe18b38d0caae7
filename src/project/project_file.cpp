#include "project/project_file.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>

#include "project/catalogue.h"
#include "project/choices.h"
#include "project/paths.h"
#include "project/startup.h"
#include "util/ini_file.h"

namespace tvx {

namespace {

using YVclUtil::TYIniFile;

constexpr const char* kHead = "Head";
constexpr const char* kMode = "Mode";
constexpr const char* kMainOption = "MainOption";
constexpr const char* kVerticalBackgrounds = "UserBkGndImage";
constexpr const char* kHorizontalBackgrounds = "UserBkGndImage2";
constexpr const char* kFloorTable = "FloorTable";
constexpr const char* kFloorBkgImage = "FloorBkgImage";
constexpr const char* kLiftMsgIdx = "LiftMsgIdx";
constexpr const char* kLiftStateImage = "LiftStateImage";
constexpr const char* kDateTimeImage = "DateTimeImage";

constexpr std::array<char, kLiftStateColumnCount> kColumnLetters{'A', 'B', 'C', 'D'};
constexpr std::chrono::milliseconds kPauseAfterSave{300};

std::string slotKey(const char* prefix, int slot) {
  return prefix + std::to_string(slot);
}
std::string backgroundKey(int slot) {
  return slotKey("UserBkGnd_Image", slot);
}
std::string messageInputKey(int row) {
  return slotKey("MSG", row);
}
std::string floorStyleKey(int slot) {
  return "FLS" + std::to_string(slot + 1) + "_DIR";
}
std::string arrowStyleKey(int slot) {
  return "DIRS" + std::to_string(slot + 1) + "_DIR";
}
std::string liftStateKey(const char* prefix, int row, int column) {
  return prefix + std::to_string(row) + "_" + kColumnLetters[column];
}
std::string defaultStyleFolder(int slot) {
  return "Style" + std::to_string(slot);
}

std::unique_ptr<TYIniFile> openStore(const std::string& path) {
  try {
    return std::make_unique<TYIniFile>(path);
  } catch (const std::exception&) {
    // The store has shown its own reason; the caller reports the operation's failure.
    return nullptr;
  }
}

void report(Host& host, const std::string& format, const std::string& path) {
  std::string text = format;
  text.replace(text.find("%s"), 2, path);
  host.showMessage(kProjectMessageCaption, text);
}

// ---- Saving ---------------------------------------------------------------------------------

void writeHead(TYIniFile& ini) {
  ini.WriteString(kHead, "Signature", "KWX");
  ini.WriteString(kHead, "Version", "1.0");
  ini.WriteString(kHead, "Model", "TVX880 RevA");
  ini.WriteString(kHead, "Model Description", "Color TFT-LCD Indicator");
}

void writeMode(TYIniFile& ini, const Project& project) {
  ini.WriteInteger(kMode, "Layout", project.Layout | project.LayoutVariant);
  ini.WriteInteger(kMode, "DISPTYPE_HV", project.DISPTYPE_HV);
  ini.WriteInteger(kMode, "Protocol", 0);
}

void writeColour(TYIniFile& ini, const char* key, Colour colour) {
  ini.WriteInteger(kMainOption, key, static_cast<int>(colour));
}

void writeMainOption(TYIniFile& ini, const Project& project) {
  writeColour(ini, "FL_COLOR", project.FL_COLOR);
  writeColour(ini, "BKG_COLOR", project.BKG_COLOR);
  writeColour(ini, "MSGBKG_COLOR", project.MSGBKG_COLOR);
  writeColour(ini, "CLOCK_COLOR", project.CLOCK_COLOR);
  ini.WriteInteger(kMainOption, "FL_STYLE", project.FL_STYLE);
  ini.WriteInteger(kMainOption, "DIR_STYLE", project.DIR_STYLE);
  for (int slot = 0; slot < kStyleSlotCount; ++slot) {
    ini.WriteString(kMainOption, floorStyleKey(slot), project.FLS_DIR[slot]);
  }
  for (int slot = 0; slot < kStyleSlotCount; ++slot) {
    ini.WriteString(kMainOption, arrowStyleKey(slot), project.DIRS_DIR[slot]);
  }
  ini.WriteInteger(kMainOption, "USE_DATETIME", project.USE_DATETIME);
  ini.WriteInteger(kMainOption, "DATE_STYLE", project.DATE_STYLE);
  ini.WriteInteger(kMainOption, "MSG_STYLE", project.MSG_STYLE);
  ini.WriteInteger(kMainOption, "USE_BACKGROUNDBMP", project.USE_BACKGROUNDBMP);
  ini.WriteInteger(kMainOption, "AUTOSLIDESHOW", project.AUTOSLIDESHOW);
  if (project.AUTOSLIDESHOW == kSlideshowInTurn) {
    ini.WriteInteger(kMainOption, "SLIDESHOWTIMEGAP", project.SLIDESHOWTIMEGAP);
  }
  ini.WriteInteger(kMainOption, "USE_STANDBYLOGO", project.USE_STANDBYLOGO);
  ini.WriteInteger(kMainOption, "CAR_HALL", project.CAR_HALL);
  ini.WriteInteger(kMainOption, "ARRIVALBLINK", project.ARRIVALBLINK);
  ini.WriteInteger(kMainOption, "HLAMP1", project.HLAMP1);
  ini.WriteInteger(kMainOption, "HLAMP2", project.HLAMP2);
  ini.WriteInteger(kMainOption, "HLAMP3", project.HLAMP3);
  ini.WriteString(kMainOption, "STANDBYLOGOBMP", project.STANDBYLOGOBMP);
  ini.WriteInteger(kMainOption, "STANDBYTIME", project.STANDBYTIME);
  ini.WriteInteger(kMainOption, "NODEADDR", project.NODEADDR);
  ini.WriteInteger(kMainOption, "BACKLIGHTSAVE", project.BACKLIGHTSAVE);
  ini.WriteInteger(kMainOption, "LCDBLCTRLMODE", project.LCDBLCTRLMODE);
  ini.WriteInteger(kMainOption, "PS_MODE", project.PS_MODE);
}

void writeBackgrounds(TYIniFile& ini, const char* section,
                      const std::array<std::string, kBackgroundSlotCount>& slots) {
  for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
    if (!IsBlank(slots[slot])) {
      ini.WriteString(section, backgroundKey(slot), slots[slot]);
    }
  }
}

void writeFloorColumn(TYIniFile& ini, const char* section,
                      const std::array<std::string, kFloorCodeCount>& column) {
  for (int code = 0; code < kFloorCodeCount; ++code) {
    ini.WriteString(section, FloorCodeName(code), column[code]);
  }
}

void writeMessageInputs(TYIniFile& ini, const Project& project) {
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    ini.WriteInteger(kLiftMsgIdx, messageInputKey(row), project.LiftMsgIdx[row]);
  }
}

void writeLiftStates(TYIniFile& ini, const Project& project) {
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      ini.WriteString(kLiftStateImage, liftStateKey("LiftState_", row, column),
                      project.LiftStateImage[row][column]);
    }
  }
}

void writeDateTime(TYIniFile& ini, const Project& project) {
  for (int month = 0; month < kMonthImageCount; ++month) {
    ini.WriteString(kDateTimeImage, slotKey("Month_", month), project.MonthImages[month]);
  }
  for (int day = 0; day < kWeekImageCount; ++day) {
    ini.WriteString(kDateTimeImage, slotKey("Week_", day), project.WeekImages[day]);
  }
}

// ---- Loading --------------------------------------------------------------------------------

// Reads one project file into a project; every rule for odd values lives here.
class ProjectReader {
 public:
  ProjectReader(TYIniFile& ini, const ProgramState& state, Project& project)
      : m_ini(ini), m_state(state), m_project(project) {}

  void read() {
    readMode();
    readMainOption();
    readBackgrounds(kVerticalBackgrounds, CatalogueFolder::kVerticalBackground,
                    m_project.UserBkGndImage);
    readBackgrounds(kHorizontalBackgrounds, CatalogueFolder::kHorizontalBackground,
                    m_project.UserBkGndImage2);
    readFloorColumn(kFloorTable, m_project.FloorTable);
    readFloorColumn(kFloorBkgImage, m_project.FloorBkgImage);
    if (m_state.settings.LiftMsgIdxUsed) {
      readMessageInputs();
    }
    readLiftStates();
    readDateTime();
  }

 private:
  std::uint32_t number(const char* section, const std::string& key, std::uint32_t fallback) {
    return static_cast<std::uint32_t>(m_ini.ReadUnsigned(section, key, fallback));
  }
  std::uint32_t option(const char* key, std::uint32_t fallback) {
    return number(kMainOption, key, fallback);
  }
  std::string text(const char* section, const std::string& key) {
    return m_ini.ReadString(section, key, "");
  }

  // A list position the list has; any other value leaves the choice as it was.
  static void choose(int& field, std::uint32_t value, std::size_t count) {
    if (value < count) {
      field = static_cast<int>(value);
    }
  }

  // A check box or on/off pair: 0 and 1 set it, other values leave it.
  static void chooseSwitch(int& field, std::uint32_t value) { choose(field, value, 2); }

  // A picture path as read, or the same file name in the catalogue when it no longer exists.
  std::string pictureOrRelocated(const std::string& path, CatalogueFolder folder) const {
    return FileExists(path) ? path : RelocateToCatalogue(m_state.ProgramDir, path, folder);
  }

  void readMode() {
    std::uint32_t hv = number(kMode, "DISPTYPE_HV", 1);
    std::uint32_t layout = number(kMode, "Layout", 16);
    if (layout == 0) {
      layout = kLayoutArrangement2;
      hv = 1;
    }
    if (hv == 0) {
      m_project.LayoutVariant = static_cast<int>(layout & 0x0F);
    }
    const int code = static_cast<int>(layout & 0xF0);
    if (!SelectLayout(m_project, code)) {
      // No arrangement has this code; keep it, with the screen the invariant gives it.
      m_project.Layout = code;
      m_project.DISPTYPE_HV = 0;
    }
  }

  void readStyleFolders() {
    for (int slot = 0; slot < kStyleSlotCount; ++slot) {
      const std::string floor = text(kMainOption, floorStyleKey(slot));
      m_project.FLS_DIR[slot] = IsBlank(floor) ? defaultStyleFolder(slot) : floor;
      const std::string arrow = text(kMainOption, arrowStyleKey(slot));
      m_project.DIRS_DIR[slot] = IsBlank(arrow) ? defaultStyleFolder(slot) : arrow;
    }
  }

  void readMainOption() {
    m_project.FL_COLOR = option("FL_COLOR", 0xFFFFFF);
    m_project.BKG_COLOR = option("BKG_COLOR", 0);
    m_project.MSGBKG_COLOR = option("MSGBKG_COLOR", 0x464646);
    m_project.CLOCK_COLOR = option("CLOCK_COLOR", 0xFFFFFF);

    const std::uint32_t floorStyle = option("FL_STYLE", 1);
    if (floorStyle >= 1 && floorStyle <= kStyleSlotCount) {
      m_project.FL_STYLE = static_cast<int>(floorStyle);
    }
    readStyleFolders();
    m_project.FloorStyleDir = ComputeFloorStyleDir(m_project, m_state.ProgramDir);
    const std::uint32_t arrowStyle = option("DIR_STYLE", 1);
    if (arrowStyle >= 1 && arrowStyle <= kStyleSlotCount) {
      m_project.DIR_STYLE = static_cast<int>(arrowStyle);
    }
    choose(m_project.DATE_STYLE, option("DATE_STYLE", 0), kDateStyleChoices.size());
    m_project.MSG_STYLE = static_cast<int>(option("MSG_STYLE", 0) & 0x0F);

    chooseSwitch(m_project.USE_DATETIME, option("USE_DATETIME", 1));
    if (!m_state.settings.DateTimeSupported) {
      m_project.USE_DATETIME = 0;
    }
    const std::uint32_t slideshow = option("AUTOSLIDESHOW", kSlideshowInTurn);
    choose(m_project.AUTOSLIDESHOW, slideshow, 3);
    if (slideshow == kSlideshowInTurn) {
      choose(m_project.SLIDESHOWTIMEGAP, option("SLIDESHOWTIMEGAP", 5), kSlideshowIntervalCount);
    }
    // Both boxes follow the file; a project with them off must not inherit them on.
    chooseSwitch(m_project.USE_BACKGROUNDBMP, option("USE_BACKGROUNDBMP", 0));
    chooseSwitch(m_project.USE_STANDBYLOGO, option("USE_STANDBYLOGO", 0));

    m_project.STANDBYLOGOBMP = text(kMainOption, "STANDBYLOGOBMP");
    if (!IsBlank(m_project.STANDBYLOGOBMP) && !FileExists(m_project.STANDBYLOGOBMP)) {
      m_project.STANDBYLOGOBMP.clear();
      m_project.USE_STANDBYLOGO = 0;
    }
    choose(m_project.STANDBYTIME, option("STANDBYTIME", 0), kStandbyTimeCount);
    choose(m_project.NODEADDR, option("NODEADDR", 0), kNodeAddressCount);
    choose(m_project.BACKLIGHTSAVE, option("BACKLIGHTSAVE", 0), kBacklightChoices.size());
    choose(m_project.LCDBLCTRLMODE, option("LCDBLCTRLMODE", 2), kBacklightControlModeCount);
    m_project.CAR_HALL = option("CAR_HALL", 0) == 1 ? 1 : 0;
    m_project.ARRIVALBLINK = option("ARRIVALBLINK", 0) == 1 ? 1 : 0;
    choose(m_project.HLAMP1, option("HLAMP1", 0), kLampChoices.size());
    choose(m_project.HLAMP2, option("HLAMP2", 0), kLampChoices.size());
    choose(m_project.HLAMP3, option("HLAMP3", 0), kLampChoices.size());
    choose(m_project.PS_MODE, option("PS_MODE", 3), kTriggerModeChoices.size());
  }

  void readBackgrounds(const char* section, CatalogueFolder folder,
                       std::array<std::string, kBackgroundSlotCount>& slots) {
    for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
      const std::string path = text(section, backgroundKey(slot));
      slots[slot] = IsBlank(path) ? std::string() : pictureOrRelocated(path, folder);
    }
  }

  void readFloorColumn(const char* section, std::array<std::string, kFloorCodeCount>& column) {
    for (int code = 0; code < kFloorCodeCount; ++code) {
      column[code] = text(section, FloorCodeName(code));
    }
  }

  void readMessageInputs() {
    for (int row = 0; row < kLiftStateRowCount; ++row) {
      choose(m_project.LiftMsgIdx[row], number(kLiftMsgIdx, messageInputKey(row), 0),
             kLiftMsgInputChoices.size());
    }
  }

  // Older files spell the keys "LeftState_"; where a file has both, "LiftState_" wins.
  void readLiftStates() {
    for (int row = 0; row < kLiftStateRowCount; ++row) {
      for (const char* prefix : {"LeftState_", "LiftState_"}) {
        for (int column = 0; column < kLiftStateColumnCount; ++column) {
          const std::string path = text(kLiftStateImage, liftStateKey(prefix, row, column));
          if (!IsBlank(path)) {
            m_project.LiftStateImage[row][column] =
                pictureOrRelocated(path, CatalogueFolder::kLiftState);
          }
        }
      }
    }
  }

  void readDateTime() {
    for (int month = 1; month < kMonthImageCount; ++month) {
      const std::string path = text(kDateTimeImage, slotKey("Month_", month));
      if (FileExists(path)) {
        m_project.MonthImages[month] = path;
      }
    }
    for (int day = 1; day < kWeekImageCount; ++day) {
      const std::string path = text(kDateTimeImage, slotKey("Week_", day));
      if (FileExists(path)) {
        m_project.WeekImages[day] = path;
      }
    }
    const std::string language = text(kDateTimeImage, "Week_0");
    m_project.DateTimeLanguage = IsBlank(language) ? std::string("EN") : language;
  }

  TYIniFile& m_ini;
  const ProgramState& m_state;
  Project& m_project;
};

}  // namespace

bool SaveProject(const std::string& path, Project& project, ProgramState& state, Host& host) {
  std::unique_ptr<TYIniFile> store = openStore(path);
  if (!store) {
    report(host, "Err: Can not create file \"%s\"", path);
    return false;
  }
  TYIniFile& ini = *store;
  for (const char* section :
       {kHead, kMode, kMainOption, kVerticalBackgrounds, kHorizontalBackgrounds, kFloorTable,
        kFloorBkgImage, kLiftStateImage, kDateTimeImage}) {
    ini.EraseSection(section);
  }
  if (state.settings.LiftMsgIdxUsed) {
    ini.EraseSection(kLiftMsgIdx);
  }
  project.FloorStyleDir = ComputeFloorStyleDir(project, state.ProgramDir);
  writeHead(ini);
  writeMode(ini, project);
  writeMainOption(ini, project);
  writeBackgrounds(ini, kVerticalBackgrounds, project.UserBkGndImage);
  writeBackgrounds(ini, kHorizontalBackgrounds, project.UserBkGndImage2);
  writeFloorColumn(ini, kFloorTable, project.FloorTable);
  writeFloorColumn(ini, kFloorBkgImage, project.FloorBkgImage);
  if (state.settings.LiftMsgIdxUsed) {
    writeMessageInputs(ini, project);
  }
  writeLiftStates(ini, project);
  ComputeDateTimeImages(project, state.ProgramDir);
  writeDateTime(ini, project);
  // Writing explicitly, so that a file that cannot be written is not reported as saved.
  if (!ini.UpdateFile()) {
    report(host, "Err: Can not create file \"%s\"", path);
    return false;
  }
  store.reset();
  project.ProjectPath = path;
  state.Title = ComposeTitle(state.TitleBase, path);
  host.pause(kPauseAfterSave);
  return true;
}

bool LoadProject(const std::string& path, Project& project, ProgramState& state, Host& host) {
  if (!FileExists(path)) {
    report(host, "Err: The file \"%s\" not exist!", path);
    return false;
  }
  std::unique_ptr<TYIniFile> store = openStore(path);
  if (!store) {
    report(host, "Err: Can not load file \"%s\"", path);
    return false;
  }
  Project loaded = project;
  try {
    ProjectReader(*store, state, loaded).read();
  } catch (const std::exception&) {
    report(host, "Err: Can not load file \"%s\"", path);
    return false;
  }
  store.reset();
  loaded.ProjectPath = path;
  project = std::move(loaded);
  state.Title = ComposeTitle(state.TitleBase, path);
  state.window.CurrentPage = 1;
  return true;
}

}  // namespace tvx
