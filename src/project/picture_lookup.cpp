#include "project/picture_lookup.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "project/paths.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

char foldedAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldedAscii(a[i]) != foldedAscii(b[i])) {
      return false;
    }
  }
  return true;
}

// The components of a path as Windows reads it, without a drive and without empty parts:
// "D:\Jobs\\Taipei101/bg.bmp" gives "Jobs", "Taipei101", "bg.bmp".
std::vector<std::string> componentsOf(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') {
    path.remove_prefix(2);
  }
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (IsPathSeparator(c)) {
      if (!part.empty()) {
        parts.push_back(std::move(part));
      }
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) {
    parts.push_back(std::move(part));
  }
  return parts;
}

fs::path absoluteFolder(const std::string& folder) {
  std::error_code error;
  fs::path base = folder.empty() ? fs::current_path(error) : fs::absolute(fs::path(folder), error);
  return error ? fs::path(folder) : base;
}

// The entry of folder named name, or else the first (in byte order) whose name differs only
// in ASCII letter case; nothing when there is neither.
std::optional<fs::path> entryIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code error;
  const fs::path exact = folder / name;
  if (name == "." || name == ".." || fs::exists(exact, error)) {
    return exact;
  }
  std::optional<std::string> best;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string candidate = it->path().filename().string();
    if (sameIgnoringCase(candidate, name) && (!best || candidate < *best)) {
      best = candidate;
    }
  }
  if (!best) {
    return std::nullopt;
  }
  return folder / *best;
}

std::optional<std::string> existingFile(const fs::path& path) {
  std::string text = path.string();
  return FileExists(text) ? std::optional<std::string>(std::move(text)) : std::nullopt;
}

// Components below folder: exactly as written, then without regard to case.
std::optional<std::string> underFolder(const fs::path& folder,
                                       const std::vector<std::string>& parts) {
  fs::path exact = folder;
  for (const std::string& part : parts) {
    exact /= part;
  }
  if (std::optional<std::string> found = existingFile(exact)) {
    return found;
  }
  fs::path folded = folder;
  for (const std::string& part : parts) {
    std::optional<fs::path> entry = entryIgnoringCase(folded, part);
    if (!entry) {
      return std::nullopt;
    }
    folded = std::move(*entry);
  }
  return existingFile(folded);
}

}  // namespace

std::optional<std::string> FindPictureFile(std::string_view written,
                                           const std::string& projectFolder) {
  const std::string text = Trimmed(written);
  if (text.empty()) {
    return std::nullopt;
  }
  if (fs::path(text).is_absolute() && FileExists(text)) {
    return text;
  }
  const std::vector<std::string> parts = componentsOf(text);
  if (parts.empty()) {
    return std::nullopt;
  }
  const fs::path folder = absoluteFolder(projectFolder);
  if (std::optional<std::string> found = underFolder(folder, parts)) {
    return found;
  }
  // Mailed projects carry their pictures beside them, whatever folder the path names.
  if (parts.size() > 1) {
    return underFolder(folder, {parts.back()});
  }
  return std::nullopt;
}

std::string ProjectFolderOf(const std::string& projectPath) {
  return projectPath.empty() ? std::string() : DirectoryPartOf(projectPath);
}

std::optional<std::string> FindProjectPicture(const Project& project, std::string_view written) {
  return FindPictureFile(written, ProjectFolderOf(project.ProjectPath));
}

std::string PictureFileOf(const Project& project, std::string_view written) {
  std::optional<std::string> found = FindProjectPicture(project, written);
  return found ? std::move(*found) : std::string(written);
}

}  // namespace tvx
