#pragma once

#include <string>

#include "project/host.h"
#include "project/program_state.h"
#include "project/project.h"

// The project file (".ql3"): an INI document with the sections Head, Mode, MainOption, the two
// background lists, FloorTable, FloorBkgImage, LiftMsgIdx (input-raised protocols only),
// LiftStateImage and DateTimeImage. Texts are kept byte for byte (Big5 for Chinese).
namespace tvx {

inline constexpr const char* kProjectMessageCaption = "TVX880";
inline constexpr const char* kProjectFileFilter = "TVX-880 Project File (*.ql3)|*.ql3";
inline constexpr const char* kProjectFileExtension = "ql3";

// Writes the project into the file at path, keeping sections of an existing file that the
// project does not own. Keys of the own sections that this version does not know, kept on the
// project from its load, follow the known keys of their section, values unchanged. On success sets
// ProjectPath and the title; on failure shows why (caption "TVX880") and leaves both as they were.
// The weekday and month pictures and FloorStyleDir are recomputed either way.
bool SaveProject(const std::string& path, Project& project, ProgramState& state, Host& host);

// What every save recomputes in the project before it is written: FloorStyleDir and the
// weekday and month pictures of the date language. A build that leaves the file alone runs it
// too, so that it builds what a save would have written.
void RecomputeForSave(Project& project, const ProgramState& state);

// Replaces the project with the one in the file at path. Picture paths are kept as written
// when FindPictureFile finds them from the file's folder; one it does not find takes the
// default catalogue's picture of that file name when the catalogue has it, else stays as
// written (a standby logo that is not found stays, switched off). On success sets ProjectPath and
// the title and shows page 1; on failure shows why (caption "TVX880") and changes nothing.
bool LoadProject(const std::string& path, Project& project, ProgramState& state, Host& host);

}  // namespace tvx
