// The folders of src/ are layers: a file may include headers of its own folder and of the
// folders below it, never of a folder above or beside it, and only the window's folders use Qt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each folder with the folders right below it; what lies below those is allowed too.
const std::map<std::string, std::vector<std::string>> kBelow = {
    {"util", {}},
    {"image", {"util"}},
    {"project", {"util"}},
    {"serial", {"util"}},
    {"disk", {"util"}},
    {"rom", {"image", "project", "serial", "disk"}},
    {"upload", {"image", "project", "serial", "disk"}},
    {"devnet", {"image", "project", "serial", "disk"}},
    {"check", {"rom", "upload", "devnet"}},
    {"app", {"check"}},
    {"cli", {"app"}},
    {"ui/qt", {"app"}},
    {"ui/browse", {"ui/qt"}},
    {"ui/window", {"ui/browse"}},
    {"ui/designer", {"ui/browse"}},
    {"ui/main", {"ui/window"}},
};

std::set<std::string> Reachable(const std::string& folder) {
  std::set<std::string> reached{folder};
  std::vector<std::string> open{folder};
  while (!open.empty()) {
    const std::string next = open.back();
    open.pop_back();
    for (const std::string& below : kBelow.at(next)) {
      if (reached.insert(below).second) {
        open.push_back(below);
      }
    }
  }
  return reached;
}

// The layer a file or an include path belongs to: "ui/qt" for "ui/qt/qt_host.h".
std::string FolderOf(const std::string& path) {
  const std::size_t first = path.find('/');
  if (first == std::string::npos) {
    return {};
  }
  const std::string top = path.substr(0, first);
  if (top == "ui") {
    const std::size_t second = path.find('/', first + 1);
    return second == std::string::npos ? top : path.substr(0, second);
  }
  return top;
}

struct SourceFile {
  std::string path;  // below src/
  std::string folder;
};

std::vector<SourceFile> SourceFiles() {
  const fs::path src = fs::path(TVX_SOURCE_DIR) / "src";
  std::vector<SourceFile> files;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string extension = entry.path().extension().string();
    if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp")) {
      const std::string path = fs::relative(entry.path(), src).generic_string();
      files.push_back({path, FolderOf(path)});
    }
  }
  return files;
}

// What a line includes: the path of `#include "path"`, or of `#include <path>` with the
// bracket; empty for any other line.
std::string IncludedBy(const std::string& line) {
  std::size_t at = line.find_first_not_of(" \t");
  if (at == std::string::npos || line[at] != '#') {
    return {};
  }
  at = line.find_first_not_of(" \t", at + 1);
  if (at == std::string::npos || line.compare(at, 7, "include") != 0) {
    return {};
  }
  at = line.find_first_of("\"<", at + 7);
  if (at == std::string::npos) {
    return {};
  }
  const std::size_t end = line.find(line[at] == '"' ? '"' : '>', at + 1);
  return end == std::string::npos ? std::string() : line.substr(at, end - at);
}

// Qt's own headers: <QWidget>, <QtCore/qglobal.h>.
bool IsQtHeader(const std::string& bracketed) {
  return bracketed.size() > 2 && bracketed[0] == '<' && bracketed[1] == 'Q';
}

TEST(LayersTest, EveryIncludeStaysInItsFolderOrGoesDown) {
  const std::vector<SourceFile> files = SourceFiles();
  ASSERT_GT(files.size(), 100U);
  for (const SourceFile& file : files) {
    ASSERT_TRUE(kBelow.count(file.folder) == 1)
        << "src/" << file.path << ": its folder \"" << file.folder
        << "\" has no place in the layers of this test";
    const std::set<std::string> allowed = Reachable(file.folder);
    std::ifstream in(fs::path(TVX_SOURCE_DIR) / "src" / file.path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      const std::string included = IncludedBy(line);
      if (included.empty()) {
        continue;
      }
      if (included[0] == '"') {
        const std::string target = FolderOf(included.substr(1));
        EXPECT_TRUE(allowed.count(target) == 1)
            << "src/" << file.path << ":" << number << " includes " << included
            << "\", a folder that is not below " << file.folder;
      } else if (IsQtHeader(included)) {
        EXPECT_EQ(file.folder.rfind("ui/", 0), 0U)
            << "src/" << file.path << ":" << number << " includes " << included
            << ">: Qt is used by the window's folders only";
      }
    }
  }
}

TEST(LayersTest, TheCheckSeesAClimbingInclude) {
  EXPECT_EQ(Reachable("rom").count("app"), 0U);
  EXPECT_EQ(Reachable("rom").count("check"), 0U);
  EXPECT_EQ(Reachable("app").count("rom"), 1U);
  EXPECT_EQ(Reachable("cli").count("ui/qt"), 0U);
  EXPECT_EQ(Reachable("ui/qt").count("ui/window"), 0U);
  EXPECT_EQ(Reachable("ui/main").count("util"), 1U);
  EXPECT_EQ(FolderOf("ui/browse/ylistbox.h"), "ui/browse");
  EXPECT_EQ(FolderOf("upload/upload_engine.h"), "upload");
  EXPECT_EQ(IncludedBy("  #  include \"app/studio.h\" // why"), "\"app/studio.h");
  EXPECT_TRUE(IsQtHeader(IncludedBy("#include <QWidget>")));
  EXPECT_EQ(IncludedBy("// #include is a word"), "");
}

}  // namespace
