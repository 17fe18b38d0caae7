#pragma once

#include <string>
#include <string_view>

// Paths are byte strings as the user's files hold them. Paths written on Windows
// ("C:\Tool\DefaultImageR1\LiftState\FIRE0_EG_240x48.bmp") are taken apart on both "\" and
// "/", so a project or settings file moved between systems still names its pictures.
namespace tvx {

// The separator this system composes paths with.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

bool IsPathSeparator(char c);

// Starts with "/" or "\", or with a drive letter and ":".
bool IsAbsolutePath(std::string_view path);

// The file name and extension: what follows the last separator (or a drive's ":").
std::string FileNameOf(std::string_view path);

// Everything before the file name, with its trailing separator ("" for a bare file name).
std::string DirectoryPartOf(std::string_view path);

// Appends a separator unless the text already ends in one.
std::string WithTrailingSeparator(std::string path);

// A regular file (or a link to one) exists at the path.
bool FileExists(const std::string& path);

// Leading and trailing control characters and spaces removed.
std::string Trimmed(std::string_view text);
bool IsBlank(std::string_view text);

}  // namespace tvx
