#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "project/project.h"

// Where the picture a project names lies. Projects travel: made on a Windows PC, mailed with
// their pictures, opened elsewhere. A path as written there ("pics\fwd.bmp", "SUNSET.BMP",
// "D:\Jobs\Taipei101\bg_lobby.bmp") is looked for, in this order:
//   1. the text itself, when it is an absolute path of this system that exists;
//   2. relative to the project file's folder, "\" and "/" both separators, a drive ("D:") and
//      leading separators dropped;
//   3. the same, each folder and the file name matched without regard to ASCII letter case
//      when the exact name does not exist;
//   4. the file name alone in the project file's folder, exact, then without regard to case.
// A relative path is never taken from the current directory, except for a project that has no
// file yet, whose folder is the current directory. What the project keeps (and saves) is
// always the text as written; only reading the picture goes through the file found.
namespace tvx {

// The existing file for the text (surrounding blanks ignored), or nothing. projectFolder is the
// folder of the project file; empty means the current directory.
std::optional<std::string> FindPictureFile(std::string_view written,
                                           const std::string& projectFolder);

// The folder a project file's pictures are looked for in: the file's folder, or the current
// directory when the project has no file yet.
std::string ProjectFolderOf(const std::string& projectPath);

// The file found for a picture path of the project, looked for from its file's folder.
std::optional<std::string> FindProjectPicture(const Project& project, std::string_view written);

// The file to read for a picture path of the project: the one found as above, else the text as
// written (an empty text stays empty).
std::string PictureFileOf(const Project& project, std::string_view written);

}  // namespace tvx
