#include "project/project_file.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "project/catalogue.h"
#include "project/choices.h"
#include "project/known_project_keys.h"
#include "project/paths.h"
#include "project/picture_lookup.h"
#include "project/project_fields.h"
#include "project/project_keys.h"
#include "project/startup.h"
#include "util/error_text.h"
#include "util/file_bytes.h"
#include "util/ini_file.h"

namespace tvx {

namespace {

using YVclUtil::TYIniFile;

using namespace project_key;
// Every section a project file may have. A file with none of them is no project whatever its
// name; older and hand-made projects may lack any of the others (a bare [FloorTable] is one).
constexpr std::array<const char*, 9> kOwnSections{
    kHead,       kMode,          kMainOptionSection, kVerticalBackgrounds, kHorizontalBackgrounds,
    kFloorTable, kFloorBkgImage, kLiftStateImage,    kDateTimeImage};
constexpr std::chrono::milliseconds kPauseAfterSave{300};

std::unique_ptr<TYIniFile> openStore(const std::string& path, YVclUtil::TYIniAccess access) {
  try {
    return std::make_unique<TYIniFile>(path, nullptr, access);
  } catch (const std::exception&) {
    // The store has shown its own reason; the caller reports the operation's failure.
    return nullptr;
  }
}

// The messages of loading and saving, in the host's language for them.
constexpr BilingualText kNotCreated{"錯誤: 無法建立檔案 \"%s\"", "Err: Can not create file \"%s\""};
constexpr BilingualText kNotLoaded{"錯誤: 無法載入檔案 \"%s\"", "Err: Can not load file \"%s\""};
constexpr BilingualText kNotExist{"錯誤: 檔案 \"%s\" 不存在!", "Err: The file \"%s\" not exist!"};
constexpr BilingualText kNotProjectFile{"錯誤: 檔案 \"%s\" 不是 TVX-880 專案檔",
                                        "Err: The file \"%s\" is not a TVX-880 project file"};

void report(Host& host, const BilingualText& words, const std::string& path,
            const std::string& reason = {}) {
  std::string text = FillIn(words.forLanguage(host.plainMessageLanguage()), {path});
  if (!reason.empty()) {
    text += ": " + reason;
  }
  host.showMessage(kProjectMessageCaption, text);
}

// The message with the reason after it: "Err: Can not create file "a.ql3": Permission denied".
// The reason is in LANG's language unless the host asks for Chinese messages.
void report(Host& host, const BilingualText& words, const std::string& path, const Error& why,
            unsigned lang) {
  const unsigned wordsLanguage = host.plainMessageLanguage();
  report(host, words, path, ErrorReason(why, wordsLanguage != 0 ? wordsLanguage : lang));
}

// Text has no NUL bytes; programs and pictures do, even those that hold project lines.
bool isText(const std::vector<std::uint8_t>& bytes) {
  return std::find(bytes.begin(), bytes.end(), std::uint8_t{0}) == bytes.end();
}

bool holdsProjectSections(const TYIniFile& ini) {
  const auto has = [&ini](const char* section) { return ini.SectionExists(section); };
  return std::any_of(kOwnSections.begin(), kOwnSections.end(), has) || has(kLiftMsgIdx);
}

// ---- Saving ---------------------------------------------------------------------------------

void writeHead(TYIniFile& ini) {
  for (const auto& [key, value] : kHeadEntries) {
    ini.WriteString(kHead, key, value);
  }
}

void writeMode(TYIniFile& ini, const Project& project) {
  ini.WriteInteger(kMode, "Layout", project.Layout | project.LayoutVariant);
  ini.WriteInteger(kMode, "DISPTYPE_HV", project.DISPTYPE_HV);
  ini.WriteInteger(kMode, "Protocol", 0);
}

void writeMainOption(TYIniFile& ini, const Project& project) {
  for (const ProjectField& field : ProjectFields()) {
    if (!IsStored(field, project)) {
      continue;
    }
    const std::string section(field.section);
    const std::string key(field.key);
    if (field.isNumber()) {
      // Colours are written as the signed value of their 32 bits, as the store writes them.
      ini.WriteInteger(section, key, static_cast<int>(NumberOf(project, field)));
    } else {
      ini.WriteString(section, key, TextOf(project, field));
    }
  }
}

void writeBackgrounds(TYIniFile& ini, const char* section,
                      const std::array<std::string, kBackgroundSlotCount>& slots) {
  for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
    if (!IsBlank(slots[slot])) {
      ini.WriteString(section, BackgroundKey(slot), slots[slot]);
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
    ini.WriteInteger(kLiftMsgIdx, MessageInputKey(row), project.LiftMsgIdx[row]);
  }
}

void writeLiftStates(TYIniFile& ini, const Project& project) {
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      ini.WriteString(kLiftStateImage, LiftStateKey(row, column),
                      project.LiftStateImage[row][column]);
    }
  }
}

// The keys of the section this version does not know, after its own, as the file had them.
void writeUnknownKeys(TYIniFile& ini, const Project& project, const char* section) {
  for (const UnknownKey& kept : project.UnknownKeys) {
    if (kept.section == section) {
      ini.WriteString(kept.section, kept.key, kept.value);
    }
  }
}

void writeDateTime(TYIniFile& ini, const Project& project) {
  for (int month = 0; month < kMonthImageCount; ++month) {
    ini.WriteString(kDateTimeImage, MonthKey(month), project.MonthImages[month]);
  }
  for (int day = 0; day < kWeekImageCount; ++day) {
    ini.WriteString(kDateTimeImage, WeekKey(day), project.WeekImages[day]);
  }
}

// ---- Loading --------------------------------------------------------------------------------

// Reads one project file into a project; every rule for odd values lives here.
class ProjectReader {
 public:
  ProjectReader(TYIniFile& ini, const ProgramState& state, std::string folder, Project& project)
      : m_ini(ini), m_state(state), m_folder(std::move(folder)), m_project(project) {}

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
    readUnknownKeys();
  }

 private:
  std::uint32_t number(std::string_view section, std::string_view key, std::uint32_t fallback) {
    return m_ini.ReadUnsigned(std::string(section), std::string(key), fallback);
  }
  std::string text(std::string_view section, std::string_view key) {
    return m_ini.ReadString(std::string(section), std::string(key), "");
  }

  // A list position the list has; any other value leaves the choice as it was.
  static void choose(int& field, std::uint32_t value, std::size_t count) {
    if (value < count) {
      field = static_cast<int>(value);
    }
  }

  bool found(const std::string& path) const { return FindPictureFile(path, m_folder).has_value(); }

  // A picture path as read when it names a picture (wherever the lookup finds it), else the
  // same file name in the catalogue when the catalogue has it; else the text as read, so that
  // a save gives back what the technician wrote and the check reports the missing file.
  std::string pictureOrRelocated(const std::string& path, CatalogueFolder folder) const {
    if (found(path)) {
      return path;
    }
    std::string relocated = RelocateToCatalogue(m_state.ProgramDir, path, folder);
    return FileExists(relocated) ? relocated : path;
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

  // One plain field with the file's rules for odd values.
  void readField(const ProjectField& field) {
    if (!field.isNumber()) {
      const std::string value = text(field.section, field.key);
      // A blank style folder falls back to the slot's own; other texts are taken as read.
      const bool useDefault = IsBlank(value) && !field.textDefault.empty();
      TextOf(m_project, field) = useDefault ? std::string(field.textDefault) : value;
      return;
    }
    const std::uint32_t value =
        number(field.section, field.key, static_cast<std::uint32_t>(field.fileDefault));
    switch (field.kind) {
      case FieldKind::kColour:
        SetNumber(m_project, field, value);
        break;
      case FieldKind::kBits:
        SetNumber(m_project, field, value & static_cast<std::uint32_t>(field.range.maximum));
        break;
      default:
        if (field.range.contains(value)) {
          SetNumber(m_project, field, value);
        } else if (field.oddNumber == OddNumber::kLoadsAsZero) {
          SetNumber(m_project, field, 0);
        }
        break;
    }
  }

  void readMainOption() {
    for (const ProjectField& field : ProjectFields()) {
      if (field.presence == FieldPresence::kAlways) {
        readField(field);
      }
    }
    m_project.FloorStyleDir = ComputeFloorStyleDir(m_project, m_state.ProgramDir);
    if (!m_state.settings.DateTimeSupported) {
      m_project.USE_DATETIME = 0;
    }
    // The file holds the interval only in the in-turn mode; a mode that is no choice leaves
    // the interval as it was, like the mode itself.
    const ProjectField& slideshow = *FindField(&Project::AUTOSLIDESHOW);
    if (number(slideshow.section, slideshow.key, kSlideshowInTurn) == kSlideshowInTurn) {
      readField(*FindField(&Project::SLIDESHOWTIMEGAP));
    }
    // A logo that names no picture keeps its text, switched off.
    if (!IsBlank(m_project.STANDBYLOGOBMP) && !found(m_project.STANDBYLOGOBMP)) {
      m_project.USE_STANDBYLOGO = 0;
    }
  }

  void readBackgrounds(const char* section, CatalogueFolder folder,
                       std::array<std::string, kBackgroundSlotCount>& slots) {
    for (int slot = 0; slot < kBackgroundSlotCount; ++slot) {
      const std::string path = text(section, BackgroundKey(slot));
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
      choose(m_project.LiftMsgIdx[row], number(kLiftMsgIdx, MessageInputKey(row), 0),
             kLiftMsgInputChoices.size());
    }
  }

  // Older files spell the keys "LeftState_"; where a file has both, "LiftState_" wins.
  void readLiftStates() {
    for (int row = 0; row < kLiftStateRowCount; ++row) {
      for (const char* prefix : {kOldLiftStatePrefix, kLiftStatePrefix}) {
        for (int column = 0; column < kLiftStateColumnCount; ++column) {
          const std::string path = text(kLiftStateImage, LiftStateKey(prefix, row, column));
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
      const std::string path = text(kDateTimeImage, MonthKey(month));
      if (found(path)) {
        m_project.MonthImages[month] = path;
      }
    }
    for (int day = 1; day < kWeekImageCount; ++day) {
      const std::string path = text(kDateTimeImage, WeekKey(day));
      if (found(path)) {
        m_project.WeekImages[day] = path;
      }
    }
    const std::string language = text(kDateTimeImage, WeekKey(0));
    m_project.DateTimeLanguage =
        IsBlank(language) ? std::string(kDefaultDateTimeLanguage) : language;
  }

  void readUnknownKeys() {
    m_project.UnknownKeys.clear();
    std::vector<const char*> sections(kOwnSections.begin(), kOwnSections.end());
    if (m_state.settings.LiftMsgIdxUsed) {
      sections.push_back(kLiftMsgIdx);
    }
    for (const char* section : sections) {
      for (const std::string& key : m_ini.KeyNames(section)) {
        std::string value = text(section, key);
        if (!value.empty() && !IsKnownProjectKey(section, key)) {
          m_project.UnknownKeys.push_back({section, key, std::move(value)});
        }
      }
    }
  }

  TYIniFile& m_ini;
  const ProgramState& m_state;
  std::string m_folder;  // where the project's relative picture paths start
  Project& m_project;
};

}  // namespace

void RecomputeForSave(Project& project, const ProgramState& state) {
  project.FloorStyleDir = ComputeFloorStyleDir(project, state.ProgramDir);
  ComputeDateTimeImages(project, state.ProgramDir);
}

bool SaveProject(const std::string& path, Project& project, ProgramState& state, Host& host) {
  // Read when it exists, for the sections the project does not own; written only below, so
  // that a file that cannot be written is reported once, here, with the reason.
  std::unique_ptr<TYIniFile> store = openStore(path, YVclUtil::TYIniAccess::WriteOnSave);
  if (!store) {
    report(host, kNotCreated, path);
    return false;
  }
  TYIniFile& ini = *store;
  for (const char* section : kOwnSections) {
    ini.EraseSection(section);
  }
  if (state.settings.LiftMsgIdxUsed) {
    ini.EraseSection(kLiftMsgIdx);
  }
  RecomputeForSave(project, state);
  writeHead(ini);
  writeUnknownKeys(ini, project, kHead);
  writeMode(ini, project);
  writeUnknownKeys(ini, project, kMode);
  writeMainOption(ini, project);
  writeUnknownKeys(ini, project, kMainOptionSection);
  writeBackgrounds(ini, kVerticalBackgrounds, project.UserBkGndImage);
  writeUnknownKeys(ini, project, kVerticalBackgrounds);
  writeBackgrounds(ini, kHorizontalBackgrounds, project.UserBkGndImage2);
  writeUnknownKeys(ini, project, kHorizontalBackgrounds);
  writeFloorColumn(ini, kFloorTable, project.FloorTable);
  writeUnknownKeys(ini, project, kFloorTable);
  writeFloorColumn(ini, kFloorBkgImage, project.FloorBkgImage);
  writeUnknownKeys(ini, project, kFloorBkgImage);
  if (state.settings.LiftMsgIdxUsed) {
    writeMessageInputs(ini, project);
    writeUnknownKeys(ini, project, kLiftMsgIdx);
  }
  writeLiftStates(ini, project);
  writeUnknownKeys(ini, project, kLiftStateImage);
  writeDateTime(ini, project);
  writeUnknownKeys(ini, project, kDateTimeImage);
  if (Result<void> saved = ini.Save(); !saved) {
    report(host, kNotCreated, path, saved.error(), state.settings.LANG);
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
    report(host, kNotExist, path);
    return false;
  }
  // Read here first, so that a file that cannot be read is reported once, with the reason.
  const Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) {
    report(host, kNotLoaded, path, bytes.error(), state.settings.LANG);
    return false;
  }
  std::unique_ptr<TYIniFile> store = openStore(path, YVclUtil::TYIniAccess::ReadOnly);
  if (!store) {
    report(host, kNotLoaded, path);
    return false;
  }
  if (!isText(*bytes) || !holdsProjectSections(*store)) {
    report(host, kNotProjectFile, path);
    return false;
  }
  Project loaded = project;
  try {
    ProjectReader(*store, state, ProjectFolderOf(path), loaded).read();
  } catch (const std::exception&) {
    report(host, kNotLoaded, path);
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
