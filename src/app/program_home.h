#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "util/result.h"

// Finding the program home: the folder with "DPW880.INI", "T880_PCGLB.GLB", "DefaultImageR1"
// and "GUI_Widget_SE".
namespace tvx {

// A folder that holds the settings file or the picture catalogue.
bool LooksLikeProgramHome(const std::filesystem::path& folder);

// The folder of the running program file (empty when the system cannot tell).
std::filesystem::path ExecutableDirectory();

// Where a home is looked for, in order: beside the program, the installed data folder
// (share/tvx880 beside the program's bin folder, then the configured install prefix), and the
// source tree's data folder for a program run from its build tree.
std::vector<std::filesystem::path> ProgramHomeCandidates();

// The program directory (ending in a separator): the home given on the command line (which
// must be a folder), else the first candidate that looks like a home; an error saying where
// it was looked for when there is none.
Result<std::string> FindProgramDir(const std::optional<std::string>& given);

}  // namespace tvx
