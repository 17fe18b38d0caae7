#pragma once

#include <string>

#include "project/host.h"
#include "project/program_state.h"
#include "project/project.h"

// Start-up, new project and shut-down of the running program.
namespace tvx {

// Builds the working state for the program home in state.ProgramDir (which must end in a
// separator): reads the settings, fills the default project, loads the picture library,
// composes the title and prepares the upload header. A missing library is reported through
// host with the caption "Error"; the program goes on without it.
void StartUp(ProgramState& state, Project& project, Host& host);

// Resets the project for a new design and reads the settings again. Fields a new project does
// not own (layout, logo picture, node address, backlight, trigger mode, ...) keep their values.
// The build log is the caller's to clear.
void NewProject(ProgramState& state, Project& project);

// Releases the picture library.
void ShutDown(ProgramState& state);

// TitleBase from the settings and the library date.
std::string ComposeTitleBase(const AppSettings& settings, const std::string& libraryDate);

// The window title for a project path (empty path: " -- No project name").
std::string ComposeTitle(const std::string& titleBase, const std::string& projectPath);

// Reads the picture library and its date into state; false (and nothing changed) when it
// cannot be read.
bool LoadLibraryImage(const std::string& path, ProgramState& state);

}  // namespace tvx
