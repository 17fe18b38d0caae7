#include "project/catalogue.h"

#include <array>

#include "project/paths.h"

namespace tvx {

namespace {

constexpr std::array<std::string_view, kLiftStateRowCount> kLiftStateNames{
    "FIRE",        "EARTHQUAKE", "ALARM", "PWR.FAILURE", "OVERLOAD",
    "MAINTENANCE", "FULL",       "VIP",   "PARKING",     "IND"};
constexpr std::array<std::string_view, kLiftStateColumnCount> kLiftStateVariants{"0_CHT", "1_CHT",
                                                                                 "0_EG", "1_EG"};
constexpr std::array<std::string_view, 7> kDayNames{"MON", "TUE", "WED", "THU",
                                                    "FRI", "SAT", "SUN"};
constexpr std::array<std::string_view, 12> kMonthNames{"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
std::string joinFolders(std::string path, std::initializer_list<std::string_view> folders) {
  for (std::string_view folder : folders) {
    path += folder;
    path += kPathSeparator;
  }
  return path;
}

std::string styleFolderName(int slot) {
  return "Style" + std::to_string(slot);
}

}  // namespace

std::string CatalogueFolderPath(const std::string& programDir, CatalogueFolder folder) {
  const std::string root = joinFolders(programDir, {kCatalogueFolderName});
  switch (folder) {
    case CatalogueFolder::kRoot:
      return root;
    case CatalogueFolder::kLiftState:
      return joinFolders(root, {"LiftState"});
    case CatalogueFolder::kDateTime:
      return joinFolders(root, {"UserDefine", "DateTime"});
    case CatalogueFolder::kFloorStyles:
      return joinFolders(root, {"UserDefine", "Floor"});
    case CatalogueFolder::kArrowStyles:
      return joinFolders(root, {"UserDefine", "DIR"});
    case CatalogueFolder::kVerticalBackground:
      return joinFolders(root, {"Background", "V"});
    case CatalogueFolder::kHorizontalBackground:
      return joinFolders(root, {"Background", "H"});
  }
  return root;
}

std::string DefaultLiftStateFileName(int row, int column) {
  std::string name(kLiftStateNames.at(static_cast<std::size_t>(row)));
  name += kLiftStateVariants.at(static_cast<std::size_t>(column));
  name += "_240x48.bmp";
  return name;
}

void SetDefaultLiftStateImages(Project& project, const std::string& programDir) {
  const std::string folder = CatalogueFolderPath(programDir, CatalogueFolder::kLiftState);
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      project.LiftStateImage[row][column] = folder + DefaultLiftStateFileName(row, column);
    }
  }
}

std::string DateTimePicturePath(const std::string& programDir, const std::string& language,
                                std::string_view name) {
  std::string path =
      joinFolders(CatalogueFolderPath(programDir, CatalogueFolder::kDateTime), {language});
  path += name;
  path += '_';
  path += language;
  path += "_80x40.bmp";
  return path;
}

void ComputeDateTimeImages(Project& project, const std::string& programDir) {
  if (IsBlank(project.DateTimeLanguage)) {
    project.DateTimeLanguage = kDefaultDateTimeLanguage;
  }
  const std::string& language = project.DateTimeLanguage;
  project.WeekImages[0] = language;
  for (std::size_t day = 0; day < kDayNames.size(); ++day) {
    project.WeekImages[day + 1] = DateTimePicturePath(programDir, language, kDayNames[day]);
  }
  const std::string monthLanguage =
      FileExists(DateTimePicturePath(programDir, language, kMonthNames[0]))
          ? language
          : std::string(kDefaultDateTimeLanguage);
  project.MonthImages[0] = monthLanguage;
  for (std::size_t month = 0; month < kMonthNames.size(); ++month) {
    project.MonthImages[month + 1] =
        DateTimePicturePath(programDir, monthLanguage, kMonthNames[month]);
  }
}

void ResetStyleFolders(Project& project) {
  for (int slot = 0; slot < kStyleSlotCount; ++slot) {
    project.FLS_DIR[slot] = styleFolderName(slot);
    project.DIRS_DIR[slot] = styleFolderName(slot);
  }
}

std::string FolderOfFile(std::string_view path) {
  std::string directory = DirectoryPartOf(path);
  if (!directory.empty() && IsPathSeparator(directory.back())) {
    directory.pop_back();
  }
  return FileNameOf(directory);
}

std::string RelocateToCatalogue(const std::string& programDir, std::string_view path,
                                CatalogueFolder folder) {
  return CatalogueFolderPath(programDir, folder) + FileNameOf(path);
}

std::string FloorStylePreviewPath(const std::string& programDir, const std::string& folderName) {
  return joinFolders(CatalogueFolderPath(programDir, CatalogueFolder::kFloorStyles), {folderName}) +
         "0x38.bmp";
}

std::string ArrowStylePreviewPath(const std::string& programDir, const std::string& folderName) {
  return joinFolders(CatalogueFolderPath(programDir, CatalogueFolder::kArrowStyles), {folderName}) +
         "DIR_UP1_104x128.bmp";
}

std::string ComputeFloorStyleDir(const Project& project, const std::string& programDir) {
  const bool valid = project.FL_STYLE >= 1 && project.FL_STYLE <= kStyleSlotCount;
  const std::size_t slot = valid ? static_cast<std::size_t>(project.FL_STYLE - 1) : 0;
  return joinFolders(CatalogueFolderPath(programDir, CatalogueFolder::kFloorStyles),
                     {project.FLS_DIR[slot]});
}

std::string StyleFolderFromPickedFile(std::string_view path, int slot) {
  std::string folder = FolderOfFile(path);
  return IsBlank(folder) ? "style" + std::to_string(slot) : folder;
}

std::string DateTimeLanguageFromPickedFile(std::string_view path) {
  std::string folder = FolderOfFile(path);
  return IsBlank(folder) ? std::string(kDefaultDateTimeLanguage) : folder;
}

}  // namespace tvx
