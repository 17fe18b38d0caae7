#pragma once

#include <string>
#include <string_view>

#include "project/project.h"

// The default picture tree "DefaultImageR1" in the program home: where the default lift-state,
// weekday, month, floor digit and arrow pictures lie and how project slots resolve to them.
// programDir always ends in a separator.
namespace tvx {

// The language of the date pictures when a project names none.
inline constexpr std::string_view kDefaultDateTimeLanguage = "EN";

inline constexpr std::string_view kCatalogueFolderName = "DefaultImageR1";

enum class CatalogueFolder {
  kRoot,                  // DefaultImageR1/
  kLiftState,             // DefaultImageR1/LiftState/
  kDateTime,              // DefaultImageR1/UserDefine/DateTime/
  kFloorStyles,           // DefaultImageR1/UserDefine/Floor/
  kArrowStyles,           // DefaultImageR1/UserDefine/DIR/
  kVerticalBackground,    // DefaultImageR1/Background/V/
  kHorizontalBackground,  // DefaultImageR1/Background/H/
};

// The folder's full path, ending in a separator.
std::string CatalogueFolderPath(const std::string& programDir, CatalogueFolder folder);

// "<STATE><v>_<L>_240x48.bmp" of a lift-state row and column (A..D = 0_CHT, 1_CHT, 0_EG, 1_EG).
std::string DefaultLiftStateFileName(int row, int column);

// Fills all 40 lift-state entries with the catalogue's default pictures.
void SetDefaultLiftStateImages(Project& project, const std::string& programDir);

// Weekday and month pictures from DateTimeLanguage ("EN" when blank); months fall back to "EN"
// when the language has no January picture.
void ComputeDateTimeImages(Project& project, const std::string& programDir);

// Weekday or month picture of a language: DateTime/<lang>/<NAME>_<lang>_80x40.bmp.
std::string DateTimePicturePath(const std::string& programDir, const std::string& language,
                                std::string_view name);

// FLS1_DIR..FLS5_DIR and DIRS1_DIR..DIRS5_DIR back to "Style0".."Style4".
void ResetStyleFolders(Project& project);

// The last component of the directory part of path ("" when there is none).
std::string FolderOfFile(std::string_view path);

// The catalogue folder joined with the file name and extension of path.
std::string RelocateToCatalogue(const std::string& programDir, std::string_view path,
                                CatalogueFolder folder);

// Previews of a style slot: the digit "8" of a floor style, the up arrow of an arrow style.
std::string FloorStylePreviewPath(const std::string& programDir, const std::string& folderName);
std::string ArrowStylePreviewPath(const std::string& programDir, const std::string& folderName);

// The folder of the selected floor style (slot 1 when FL_STYLE is out of range), with separator.
std::string ComputeFloorStyleDir(const Project& project, const std::string& programDir);

// The folder name a picked picture gives a style slot (0-based): FolderOfFile, or "style<slot>"
// when that is blank. The language a picked picture gives: FolderOfFile, or "EN".
std::string StyleFolderFromPickedFile(std::string_view path, int slot);
std::string DateTimeLanguageFromPickedFile(std::string_view path);

}  // namespace tvx
