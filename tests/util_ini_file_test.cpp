#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>

#include "support/temp_dir.h"
#include "util/diagnostic_sink.h"
#include "util/error_text.h"
#include "util/ey_general.h"
#include "util/ini_file.h"

using namespace YVclUtil;
using tvx::test::ReadFileBytes;
using tvx::test::TempDir;
using tvx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

// Why the store's last save failed, in English; empty when it did not.
std::string saveError(const TYIniFile& ini) {
  return ini.pr_LastSaveError() ? tvx::ErrorText(*ini.pr_LastSaveError(), 0) : std::string();
}

class IniFileTest : public ::testing::Test {
 protected:
  std::string constructorFailure(const std::string& path,
                                 TYIniAccess access = TYIniAccess::ReadWrite) {
    try {
      TYIniFile ini(path, nullptr, access);
    } catch (const EYGeneral& error) {
      return error.what();
    }
    return "constructed";
  }
  std::string onlyBoxText() {
    const auto boxes = m_sink.boxes();
    if (boxes.size() != 1) {
      return "boxes: " + std::to_string(boxes.size());
    }
    EXPECT_EQ(boxes[0].caption, "TYIniFile");
    return boxes[0].text;
  }
  // Everything in the folder except the given names: left-over temporary files.
  std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
  }

  TempDir m_dir;
  RecordingDiagnosticSink m_sink;
  ScopedDiagnosticSink m_guard{m_sink};
};

// Makes file accesses run as an ordinary user while it lives, so that permissions bind even
// when the tests run as the administrator (the folder is handed to that user first).
class ScopedOrdinaryUser {
 public:
  explicit ScopedOrdinaryUser(const fs::path& folder) {
    if (geteuid() != 0) {
      return;
    }
    constexpr uid_t kNobody = 65534;
    chown(folder.c_str(), kNobody, kNobody);
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      lchown(entry.path().c_str(), kNobody, kNobody);
    }
    m_switched = setegid(kNobody) == 0 && seteuid(kNobody) == 0;
  }
  ~ScopedOrdinaryUser() {
    if (m_switched) {
      seteuid(0);
      setegid(0);
    }
  }
  ScopedOrdinaryUser(const ScopedOrdinaryUser&) = delete;
  ScopedOrdinaryUser& operator=(const ScopedOrdinaryUser&) = delete;

 private:
  bool m_switched = false;
};

const std::string kOriginal = "[Option]\r\nLANG=0\r\nMEM=32\r\n\r\n";

}  // namespace

// ---- Construction -----------------------------------------------------------------------------

TEST_F(IniFileTest, MissingFileIsCreatedEmptyAtOnce) {
  const fs::path path = m_dir / "new.ini";
  {
    TYIniFile ini(path.string());
    EXPECT_TRUE(fs::exists(path));
    EXPECT_FALSE(ini.pr_Modified());
  }
  EXPECT_EQ(ReadFileBytes(path), "");
  EXPECT_TRUE(m_sink.boxes().empty());
}

TEST_F(IniFileTest, OneMissingDirectoryLevelIsCreatedTwoAreNot) {
  const fs::path oneLevel = m_dir / "sub" / "a.ini";
  { TYIniFile ini(oneLevel.string()); }
  EXPECT_TRUE(fs::is_regular_file(oneLevel));

  const fs::path twoLevels = m_dir / "x" / "y" / "a.ini";
  EXPECT_EQ(constructorFailure(twoLevels.string()), "Err: Constructor !!!");
  EXPECT_EQ(onlyBoxText(),
            "Err: Can not create directory \n \"" + (m_dir / "x" / "y").string() + "/\" ");
  EXPECT_FALSE(fs::exists(m_dir / "x"));
}

TEST_F(IniFileTest, UnopenableFileFailsConstruction) {
  const fs::path folder = m_dir / "folder.ini";
  fs::create_directory(folder);
  EXPECT_EQ(constructorFailure(folder.string()), "Err: Constructor !!!");
  EXPECT_EQ(onlyBoxText(), "Err: Can not open file \n \"" + folder.string() + "\" ");
}

TEST_F(IniFileTest, ReadOnlyFileOpensInEitherAccessAndRefusesOnlyTheSave) {
  const fs::path path = m_dir / "locked.ini";
  WriteFileBytes(path, kOriginal);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  ScopedOrdinaryUser user(m_dir.path());
  {
    TYIniFile ini(path.string(), nullptr, TYIniAccess::ReadOnly);
    EXPECT_EQ(ini.ReadString("Option", "MEM", ""), "32");
  }
  TYIniFile ini(path.string());
  EXPECT_EQ(ini.ReadString("Option", "MEM", ""), "32");
  EXPECT_TRUE(m_sink.boxes().empty());
  ini.WriteString("Option", "LANG", "1");
  // The folder would allow the rename; the file's own permission refuses it.
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_EQ(saveError(ini), "cannot write \"" + path.string() + "\": Permission denied");
  EXPECT_EQ(ReadFileBytes(path), kOriginal);
}

TEST_F(IniFileTest, WriteOnSaveWritesOnlyWhenAskedAndShowsNothing) {
  const fs::path missing = m_dir / "missing" / "a.ini";
  {
    TYIniFile ini(missing.string(), nullptr, TYIniAccess::WriteOnSave);
    ini.WriteString("Option", "LANG", "1");
    const tvx::Result<void> saved = ini.Save();
    ASSERT_FALSE(saved);
    EXPECT_EQ(tvx::ErrorText(saved.error(), 0), saveError(ini));
  }
  EXPECT_FALSE(fs::exists(missing.parent_path()));
  EXPECT_TRUE(m_sink.boxes().empty());

  const fs::path path = m_dir / "b.ini";
  WriteFileBytes(path, kOriginal);
  {
    TYIniFile ini(path.string(), nullptr, TYIniAccess::WriteOnSave);
    ini.WriteString("Option", "LANG", "1");
  }
  EXPECT_EQ(ReadFileBytes(path), kOriginal) << "never written at destruction";
  TYIniFile ini(path.string(), nullptr, TYIniAccess::WriteOnSave);
  ini.WriteString("Option", "LANG", "1");
  ASSERT_TRUE(ini.Save());
  EXPECT_EQ(ReadFileBytes(path), "[Option]\r\nLANG=1\r\nMEM=32\r\n\r\n");
}

TEST_F(IniFileTest, EmptyNameIsUnknownIniFileInTheCurrentDirectory) {
  const fs::path previous = fs::current_path();
  fs::current_path(m_dir.path());
  {
    TYIniFile ini("");
    EXPECT_EQ(ini.pr_FileName(), "UnknownIniFile.ini");
  }
  fs::current_path(previous);
  EXPECT_TRUE(fs::exists(m_dir / "UnknownIniFile.ini"));
}

// ---- When the file is written -----------------------------------------------------------------

TEST_F(IniFileTest, UnchangedStoreNeverRewritesItsFile) {
  const fs::path path = m_dir / "lf.ini";
  WriteFileBytes(path, "[Option]\nLANG=0\n");
  {
    TYIniFile ini(path.string());
    EXPECT_EQ(ini.ReadString("Option", "LANG", ""), "0");
    EXPECT_TRUE(ini.UpdateFile());
  }
  EXPECT_EQ(ReadFileBytes(path), "[Option]\nLANG=0\n");
}

TEST_F(IniFileTest, WritingTheSameValueStillRewritesAtDestruction) {
  const fs::path path = m_dir / "lf.ini";
  WriteFileBytes(path, "[Option]\nLANG=0\n");
  {
    TYIniFile ini(path.string());
    ini.WriteString("Option", "LANG", "0");
    EXPECT_TRUE(ini.pr_Modified());
  }
  EXPECT_EQ(ReadFileBytes(path), "[Option]\r\nLANG=0\r\n\r\n");
}

TEST_F(IniFileTest, NewFileNameWritesTheWholeDocumentThere) {
  const fs::path path = m_dir / "a.ini";
  const fs::path copy = m_dir / "b.ini";
  WriteFileBytes(path, kOriginal);
  {
    TYIniFile ini(path.string());
    ini.pw_FileName(copy.string());
    EXPECT_TRUE(ini.pr_Modified());
  }
  EXPECT_EQ(ReadFileBytes(copy), kOriginal);
  EXPECT_EQ(ReadFileBytes(path), kOriginal);
}

TEST_F(IniFileTest, SaveKeepsPermissionsLinksAndLeavesNoTemporaryFiles) {
  const fs::path path = m_dir / "settings.ini";
  const fs::path link = m_dir / "link.ini";
  WriteFileBytes(path, kOriginal);
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(path.filename(), link);
  {
    TYIniFile ini(link.string());
    ini.WriteInteger("Option", "LANG", 1);
    ASSERT_TRUE(ini.UpdateFile()) << saveError(ini);
  }
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(path), "[Option]\r\nLANG=1\r\nMEM=32\r\n\r\n");
  EXPECT_EQ(fs::status(path).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(entriesIn(m_dir.path()), 2U);
}

// ---- Failed saves -----------------------------------------------------------------------------

TEST_F(IniFileTest, FailedSaveIsReportedAndKeepsTheDocumentModified) {
  const fs::path folder = m_dir / "project";
  const fs::path moved = m_dir / "moved";
  fs::create_directory(folder);
  WriteFileBytes(folder / "a.ql3", kOriginal);
  TYIniFile ini((folder / "a.ql3").string());
  ini.WriteString("Option", "LANG", "1");
  fs::rename(folder, moved);  // the folder vanishes under the open store

  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_TRUE(ini.pr_Modified());
  EXPECT_EQ(onlyBoxText(), "Err: Can not create file \n \"" + (folder / "a.ql3").string() + "\" ");
  EXPECT_NE(saveError(ini).find("No such file or directory"), std::string::npos) << saveError(ini);
  ASSERT_EQ(m_sink.debugLines().size(), 1U);
  EXPECT_EQ(m_sink.debugLines()[0], "TYIniFile: " + saveError(ini));
  EXPECT_EQ(ReadFileBytes(moved / "a.ql3"), kOriginal);

  fs::rename(moved, folder);
  EXPECT_TRUE(ini.UpdateFile());
  EXPECT_FALSE(ini.pr_LastSaveError());
  EXPECT_EQ(ReadFileBytes(folder / "a.ql3"), "[Option]\r\nLANG=1\r\nMEM=32\r\n\r\n");
}

TEST_F(IniFileTest, DiskFullDuringSaveLeavesTheOldFileWhole) {
  const fs::path path = m_dir / "big.ini";
  WriteFileBytes(path, kOriginal);
  TYIniFile ini(path.string());
  for (int i = 0; i < 200; ++i) {
    ini.WriteString("Lots", "KEY" + std::to_string(i), std::string(100, 'v'));
  }
  // A file-size limit makes the write fail part way, as a full disk would.
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = previous;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = ini.UpdateFile();
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved);
  EXPECT_TRUE(ini.pr_Modified());
  EXPECT_NE(saveError(ini).find("cannot write"), std::string::npos) << saveError(ini);
  EXPECT_EQ(ReadFileBytes(path), kOriginal);
  EXPECT_EQ(entriesIn(m_dir.path()), 1U);
  m_sink.clear();
}

TEST_F(IniFileTest, ReadOnlyFolderRefusesTheSaveAndKeepsTheFile) {
  const fs::path folder = m_dir / "locked";
  fs::create_directory(folder);
  WriteFileBytes(folder / "a.ini", kOriginal);
  ScopedOrdinaryUser user(m_dir.path());
  {
    TYIniFile ini((folder / "a.ini").string());
    ini.WriteString("Option", "LANG", "1");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_TRUE(ini.pr_Modified());
  }  // the destructor tries again and reports again
  fs::permissions(folder, fs::perms::owner_all);
  EXPECT_EQ(m_sink.boxes().size(), 2U);
  EXPECT_EQ(ReadFileBytes(folder / "a.ini"), kOriginal);
}

TEST_F(IniFileTest, ReadOnlyAccessNeverCreatesOrWrites) {
  const fs::path missing = m_dir / "missing.ini";
  EXPECT_EQ(constructorFailure(missing.string(), TYIniAccess::ReadOnly), "Err: Constructor !!!");
  EXPECT_EQ(onlyBoxText(), "Err: Can not open file \n \"" + missing.string() + "\" ");
  EXPECT_FALSE(fs::exists(missing));
  m_sink.clear();

  const fs::path path = m_dir / "a.ini";
  WriteFileBytes(path, "[Option]\nLANG=0\n");
  {
    TYIniFile ini(path.string(), nullptr, TYIniAccess::ReadOnly);
    ini.WriteString("Option", "LANG", "1");
    EXPECT_FALSE(ini.UpdateFile());
    EXPECT_EQ(ini.ToText(), "[Option]\r\nLANG=1\r\n\r\n");
  }
  EXPECT_EQ(ReadFileBytes(path), "[Option]\nLANG=0\n");
  EXPECT_EQ(m_sink.boxes().size(), 2U);  // UpdateFile and the destructor both say so
}
