#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "util/diagnostic_sink.h"
#include "util/ey_general.h"
#include "util/ini_file.h"
#include "util/str_tab.h"

using namespace YVclUtil;
using tvx::test::ReadFileBytes;
using tvx::test::TempDir;
using tvx::test::WriteFileBytes;

namespace {

// A store over a file with the given content, and what it would write back.
class IniTest : public ::testing::Test {
 protected:
  std::unique_ptr<TYIniFile> open(const std::string& content) {
    WriteFileBytes(m_path, content);
    return std::make_unique<TYIniFile>(m_path.string());
  }
  std::string reread(const std::string& content) { return open(content)->ToText(); }

  TempDir m_dir;
  std::filesystem::path m_path = m_dir / "test.ini";
  RecordingDiagnosticSink m_sink;
  ScopedDiagnosticSink m_guard{m_sink};
};

}  // namespace

// ---- Reading ----------------------------------------------------------------------------------

TEST_F(IniTest, RepeatedHeadersContinueTheirSectionAndEmptySectionsVanish) {
  EXPECT_EQ(reread("[A]\nx=1\n[B]\n[A]\ny=2\n"), "[A]\r\nx=1\r\ny=2\r\n\r\n");
}

TEST_F(IniTest, KeyLinesTrimSpacesAndKeepEqualsInValues) {
  auto ini = open("[S]\n  key  =   some value  \na=b=c\ntab=\tx\t\n");
  EXPECT_EQ(ini->ReadString("S", "key", "?"), "some value");
  EXPECT_EQ(ini->ReadString("S", "a", "?"), "b=c");
  EXPECT_EQ(ini->ReadString("S", "tab", "?"), "x\t");  // only spaces are trimmed at the end
  EXPECT_EQ(ini->KeyNames("S"), (std::vector<std::string>{"key", "a", "tab"}));
}

TEST_F(IniTest, KeysWithoutValueAreDroppedOnLoad) {
  auto ini = open("[S]\nempty=\nblank=   \nkept=1\n");
  EXPECT_FALSE(ini->KeyExists("S", "empty"));
  EXPECT_FALSE(ini->KeyExists("S", "blank"));
  ini->WriteString("S", "novalue", "");
  EXPECT_TRUE(ini->KeyExists("S", "novalue"));
  EXPECT_FALSE(ini->ValueExists("S", "novalue"));
  EXPECT_EQ(ini->ToText(), "[S]\r\nkept=1\r\nnovalue=\r\n\r\n");
  // ... and so it is gone after the next load.
  EXPECT_EQ(reread(ini->ToText()), "[S]\r\nkept=1\r\n\r\n");
}

TEST_F(IniTest, SectionHeaderForms) {
  EXPECT_EQ(reread("[Sec] trailing text\nk=1\n"), "[Sec]\r\nk=1\r\n\r\n");
  EXPECT_EQ(reread("[ Sec ]\nk=1\n"), "[Sec]\r\nk=1\r\n\r\n");
  EXPECT_EQ(reread("\t [A]=1\nk=1\n"), "[A]\r\nk=1\r\n\r\n");
  // Not headers: the keys below stay in the previous section.
  EXPECT_EQ(reread("[P]\n[Sec\nk=1\n[]\nm=2\n"), "[P]\r\nk=1\r\nm=2\r\n\r\n");
}

TEST_F(IniTest, CommentsAndLinesOutsideSections) {
  auto ini = open("before=1\n#[X]\n[S]\n#c=1\n #x=1\n;y=2\nnot a key\n\n\r\n");
  EXPECT_EQ(ini->SectionNames(), std::vector<std::string>{"S"});
  EXPECT_EQ(ini->KeyNames("S"), (std::vector<std::string>{"#x", ";y"}));
}

TEST_F(IniTest, CrLfAndLfFilesReadAlike) {
  const std::string lf = "[Option]\nLANG=0\nMEM=32\n";
  const std::string crlf = "[Option]\r\nLANG=0\r\nMEM=32\r\n";
  EXPECT_EQ(reread(lf), reread(crlf));
  EXPECT_EQ(reread(lf), crlf + "\r\n");
  // A last line without line end counts too.
  EXPECT_EQ(reread("[Option]\nLANG=1"), "[Option]\r\nLANG=1\r\n\r\n");
}

TEST_F(IniTest, Big5BytesAreScannedByteByByte) {
  // 0xA5 0x5D is one Big5 character whose second byte is ']': the name ends inside it.
  auto ini = open("[\xA4\xA4\xA5\x5D\xA4\xE5]\n\xB6\xB5=\xA4\xA4\xA4\xE5\n");
  EXPECT_EQ(ini->SectionNames(), std::vector<std::string>{"\xA4\xA4\xA5"});
  EXPECT_EQ(ini->ReadString("\xA4\xA4\xA5", "\xB6\xB5", ""), "\xA4\xA4\xA4\xE5");
}

TEST_F(IniTest, ByteOrderMarkAtTheStartIsSkipped) {
  EXPECT_EQ(reread("\xEF\xBB\xBF[Head]\r\nVersion=2\r\n"), "[Head]\r\nVersion=2\r\n\r\n");
  // Elsewhere such bytes make the line no header, like any other bytes before '['.
  EXPECT_EQ(reread("[A]\nx=1\n\xEF\xBB\xBF[B]\ny=2\n"), "[A]\r\nx=1\r\ny=2\r\n\r\n");
}

TEST_F(IniTest, NamesAreCaseSensitive) {
  auto ini = open("[head]\na=1\n[Head]\na=2\n");
  EXPECT_EQ(ini->SectionNames(), (std::vector<std::string>{"head", "Head"}));
  EXPECT_EQ(ini->ReadString("HEAD", "a", "none"), "none");
  EXPECT_EQ(ini->ReadString("Head", "a", "none"), "2");
  EXPECT_EQ(ini->ReadString("Head", "A", "none"), "none");
}

TEST_F(IniTest, OverlongNamesAreNotStored) {
  const std::string name256(256, 'n');
  const std::string name257(257, 'n');
  auto ini =
      open("[" + name257 + "]\nk=1\n[" + name256 + "]\n" + name257 + "=1\n" + name256 + "=2\n");
  EXPECT_EQ(ini->SectionNames(), std::vector<std::string>{name256});
  EXPECT_EQ(ini->KeyNames(name256), std::vector<std::string>{name256});
}

TEST_F(IniTest, LongLinesAreReadInPiecesOf8191Bytes) {
  // The longest value one piece holds: "k=" + 8188 bytes + LF.
  const std::string longest(8188, 'v');
  auto ini = open("[S]\nk=" + longest + "\nnext=1\n");
  EXPECT_EQ(ini->ReadString("S", "k", ""), longest);
  EXPECT_EQ(ini->ReadString("S", "next", ""), "1");

  // A longer line is cut, and its rest is read as a line of its own.
  ini = open("[S]\nk=" + std::string(8189, 'v') + "tail=1\n");
  EXPECT_EQ(ini->ReadString("S", "k", "").size(), 8189U);
  EXPECT_EQ(ini->ReadString("S", "tail", ""), "1");
}

TEST_F(IniTest, ZeroBytesEndTheirLine) {
  auto ini = open(std::string("[S]\nk=ab\0cd\nm=1\n", 16));
  EXPECT_EQ(ini->ReadString("S", "k", ""), "ab");
  EXPECT_EQ(ini->ReadString("S", "m", ""), "1");
}

// ---- Writing and changes ------------------------------------------------------------------------

TEST_F(IniTest, WritesTheDocumentFormat) {
  auto ini = open("");
  ini->WriteString("Head", "Version", "2");
  ini->WriteString("Head", "Note", "");
  ini->WriteString("Mode", "Style", "A = B");
  EXPECT_EQ(ini->ToText(), "[Head]\r\nVersion=2\r\nNote=\r\n\r\n[Mode]\r\nStyle=A = B\r\n\r\n");
  ASSERT_TRUE(ini->UpdateFile());
  EXPECT_EQ(ReadFileBytes(m_path), ini->ToText());
  EXPECT_FALSE(ini->pr_Modified());
}

TEST_F(IniTest, EmptyDocumentIsAnEmptyFile) {
  auto ini = open("# nothing but a comment\n");
  EXPECT_EQ(ini->ToText(), "");
  ini->WriteString("S", "k", "v");
  ini->EraseSection("S");
  ASSERT_TRUE(ini->UpdateFile());
  EXPECT_EQ(ReadFileBytes(m_path), "");
}

TEST_F(IniTest, RewritingAKeyKeepsItsPlace) {
  auto ini = open("[S]\na=1\nb=2\nc=3\n");
  ini->WriteString("S", "a", "one");
  ini->WriteString("S", "d", "4");
  ini->WriteString("S", "b", "");
  EXPECT_EQ(ini->ToText(), "[S]\r\na=one\r\nb=\r\nc=3\r\nd=4\r\n\r\n");
}

TEST_F(IniTest, EraseDeleteKeyAndDeleteValue) {
  auto ini = open("[A]\nx=1\n[B]\ny=2\nz=3\n[C]\nw=4\n");
  ini->DeleteValue("B", "y");
  EXPECT_TRUE(ini->KeyExists("B", "y"));
  EXPECT_FALSE(ini->ValueExists("B", "y"));
  ini->DeleteKey("B", "z");
  EXPECT_FALSE(ini->KeyExists("B", "z"));
  EXPECT_TRUE(ini->SectionExists("B"));
  ini->EraseSection("A");
  EXPECT_FALSE(ini->SectionExists("A"));
  // The section memory must not point at a moved section.
  EXPECT_EQ(ini->ReadString("C", "w", ""), "4");
  ini->EraseSection("C");
  EXPECT_EQ(ini->ReadString("B", "y", "gone"), "gone");
  EXPECT_EQ(ini->ToText(), "[B]\r\ny=\r\n\r\n");
  ini->WriteString("A", "x", "new");
  EXPECT_EQ(ini->SectionNames(), (std::vector<std::string>{"B", "A"}));
}

TEST_F(IniTest, ChangesToAbsentItemsChangeNothing) {
  auto ini = open("[A]\nx=1\n");
  ini->EraseSection("Z");
  ini->DeleteKey("A", "nope");
  ini->DeleteKey("Z", "x");
  ini->DeleteValue("A", "nope");
  ini->WriteString("", "k", "v");
  ini->WriteString("A", "", "v");
  EXPECT_FALSE(ini->pr_Modified());
  ini->WriteString(std::string(257, 's'), "k", "v");
  EXPECT_FALSE(ini->pr_Modified());
  // A refused key still marks the document, as any accepted write does.
  ini->WriteString("A", std::string(257, 'k'), "v");
  EXPECT_TRUE(ini->pr_Modified());
  EXPECT_EQ(ini->ToText(), "[A]\r\nx=1\r\n\r\n");
}

TEST_F(IniTest, QueriesTellSectionKeyAndValueApart) {
  auto ini = open("[S]\nk=v\n");
  ini->WriteString("S", "bare", "");
  int index = -1;
  EXPECT_TRUE(ini->IsSectionExisted("S", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(ini->IsSectionExisted("", index));
  EXPECT_TRUE(ini->IsKeyExisted("S", "bare"));
  EXPECT_FALSE(ini->IsValueExisted("S", "bare"));
  std::string value = "stale";
  EXPECT_FALSE(ini->IsValueExisted("S", "bare", value));
  EXPECT_TRUE(ini->IsValueExisted("S", "k", value));
  EXPECT_EQ(value, "v");
  EXPECT_TRUE(ini->KeyNames("none").empty());
}

TEST_F(IniTest, ValuesOf16384BytesReadAsAbsentAndFrom8192WriteAsNone) {
  auto ini = open("");
  const std::string long8190(8190, 'a');
  ini->WriteString("S", "k8190", long8190);
  ini->WriteString("S", "k8192", std::string(8192, 'b'));
  ini->WriteString("S", "k16383", std::string(16383, 'c'));
  ini->WriteString("S", "k16384", std::string(16384, 'd'));
  EXPECT_EQ(ini->ReadString("S", "k8190", ""), long8190);
  EXPECT_EQ(ini->ReadString("S", "k16383", "").size(), 16383U);
  EXPECT_EQ(ini->ReadString("S", "k16384", "absent"), "absent");
  EXPECT_TRUE(ini->ValueExists("S", "k16384"));
  EXPECT_EQ(ini->ToText(), "[S]\r\nk8190=" + long8190 + "\r\nk8192=\r\nk16383=\r\nk16384=\r\n\r\n");
}

TEST_F(IniTest, StrCmpComparesTheStoredValue) {
  auto ini = open("[S]\nname=Lift\n");
  EXPECT_EQ(ini->StrCmp("S", "name", "Lift"), 0);
  EXPECT_LT(ini->StrCmp("S", "name", "Lifts"), 0);
  EXPECT_NE(ini->StrCmp("S", "name", "LIFT"), 0);
  EXPECT_EQ(ini->StrICmp("S", "name", "LIFT"), 0);
  EXPECT_EQ(ini->StrCmp("S", "absent", ""), 0);
  EXPECT_GT(ini->StrCmp("S", "name", ""), 0);
}

TEST_F(IniTest, SharedPoolOutlivesTheStore) {
  TYStrTab pool;
  pool.Add("someone else's");
  {
    WriteFileBytes(m_path, "[S]\nk=v\n");
    TYIniFile ini(m_path.string(), &pool);
    EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
    EXPECT_GT(pool.pr_StringCount(), 1U);
  }
  EXPECT_EQ(pool.pr_StringCount(), 1U);
}
