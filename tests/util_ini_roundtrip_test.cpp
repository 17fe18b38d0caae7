#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "util/diagnostic_sink.h"
#include "util/ini_file.h"

using namespace YVclUtil;
using tvx::test::ReadFileBytes;
using tvx::test::TempDir;
using tvx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

std::string floorCodeName(int code) {
  char name[8];
  std::snprintf(name, sizeof(name), "0x%02X", code);
  return name;
}

// A settings file as the indicator tools write it: CR LF, Big5 captions, an empty line after
// each section.
std::string settingsFile() {
  return "[Option]\r\nLANG=0\r\nMEM=32\r\nOEM=STEP\r\nPROTOCOL=3\r\n\r\n"
         "[Caption]\r\nSpeedButton3=\xB6}\xB1\xD2\xB1M\xAE\xD7\r\n"
         "Form1=TVX880 \xA6\xE2\xB1m\xC5\xE3\xA5\xDC\xBE\xB9\r\n\r\n"
         "[FloorText]\r\n0x00=B1\r\n0x01=1F\r\n0x02=\xA4\x40\xBC\xD3\r\n\r\n";
}

// A project file with a full floor code table.
std::string projectFile() {
  std::string text =
      "[MainOption]\r\nFL_COLOR=16777215\r\nUSE_DATETIME=1\r\nNODE_ADDR=0x1F\r\n\r\n";
  text += "[FloorCode]\r\n";
  for (int code = 0; code < 256; ++code) {
    text += floorCodeName(code) + "=" + std::to_string(code % 50) + "F\r\n";
  }
  return text + "\r\n";
}

class IniRoundTripTest : public ::testing::Test {
 protected:
  TempDir m_dir;
  fs::path m_path = m_dir / "DPW880.INI";
  RecordingDiagnosticSink m_sink;
  ScopedDiagnosticSink m_guard{m_sink};
};

std::string toLf(std::string text) {
  std::string lf;
  for (char c : text) {
    if (c != '\r') {
      lf += c;
    }
  }
  return lf;
}

}  // namespace

TEST_F(IniRoundTripTest, WrittenFilesReadBackUnchanged) {
  for (const std::string& file : {settingsFile(), projectFile()}) {
    WriteFileBytes(m_path, file);
    {
      TYIniFile ini(m_path.string());
      EXPECT_EQ(ini.ToText(), file);
      ini.pw_FileName(m_path.string());  // forces a save of the same document
    }
    EXPECT_EQ(ReadFileBytes(m_path), file);
  }
  EXPECT_TRUE(m_sink.boxes().empty());
}

TEST_F(IniRoundTripTest, LfFilesComeBackWithCrLf) {
  WriteFileBytes(m_path, toLf(settingsFile()));
  {
    TYIniFile ini(m_path.string());
    EXPECT_EQ(ini.ReadString("Caption", "SpeedButton3", ""), "\xB6}\xB1\xD2\xB1M\xAE\xD7");
    ini.WriteString("Option", "LANG", "1");
  }
  std::string expected = settingsFile();
  expected.replace(expected.find("LANG=0"), 6, "LANG=1");
  EXPECT_EQ(ReadFileBytes(m_path), expected);
}

TEST_F(IniRoundTripTest, ByteOrderMarkFileKeepsItsFirstSection) {
  WriteFileBytes(m_path, "\xEF\xBB\xBF" + settingsFile());
  {
    TYIniFile ini(m_path.string());
    EXPECT_EQ(ini.ReadInteger("Option", "MEM", 0), 32);
    ini.WriteString("Option", "MEM", "64");
  }
  std::string expected = settingsFile();
  expected.replace(expected.find("MEM=32"), 6, "MEM=64");
  EXPECT_EQ(ReadFileBytes(m_path), expected);
}

TEST_F(IniRoundTripTest, EditedProjectKeepsOrderAndValues) {
  WriteFileBytes(m_path, projectFile());
  {
    TYIniFile ini(m_path.string());
    ASSERT_EQ(ini.KeyNames("FloorCode").size(), 256U);
    ini.WriteString("FloorCode", "0x10", "\xA6\x61\xA4\x55");  // a Big5 text
    ini.DeleteValue("FloorCode", "0x11");
    ini.WriteHexNum("MainOption", "NODE_ADDR", 0x20);
    ini.WriteBool("MainOption", "USE_DATETIME", false);
    ini.WriteString("New", "Key", "v");
  }
  TYIniFile reread(m_path.string());
  EXPECT_EQ(reread.SectionNames(), (std::vector<std::string>{"MainOption", "FloorCode", "New"}));
  EXPECT_EQ(reread.ReadString("FloorCode", "0x10", ""), "\xA6\x61\xA4\x55");
  EXPECT_FALSE(reread.KeyExists("FloorCode", "0x11"));  // written as "0x11=", dropped on load
  EXPECT_EQ(reread.ReadString("FloorCode", "0x12", ""), "18F");
  EXPECT_EQ(reread.ReadHexNum("MainOption", "NODE_ADDR", 0), 0x20U);
  EXPECT_FALSE(reread.ReadBool("MainOption", "USE_DATETIME", true));
  const std::vector<std::string> keys = reread.KeyNames("FloorCode");
  ASSERT_EQ(keys.size(), 255U);
  EXPECT_EQ(keys.front(), "0x00");
  EXPECT_EQ(keys[16], "0x10");
  EXPECT_EQ(keys[17], "0x12");
  EXPECT_EQ(keys.back(), "0xFF");
}

TEST_F(IniRoundTripTest, LongestValueOfAHandEditedLineSurvives) {
  // "k=" and 8189 bytes fill one piece; the CR LF after them is a piece of its own.
  const std::string value(8189, 'v');
  WriteFileBytes(m_path, "[S]\r\nk=" + value + "\r\nnext=1\r\n");
  {
    TYIniFile ini(m_path.string());
    EXPECT_EQ(ini.ReadString("S", "k", ""), value);
    ini.pw_FileName(m_path.string());
  }
  TYIniFile reread(m_path.string());
  EXPECT_EQ(reread.ReadString("S", "k", ""), value);
  EXPECT_EQ(reread.ReadString("S", "next", ""), "1");
}

TEST_F(IniRoundTripTest, ShippedSettingsFileReads) {
  const fs::path shipped = fs::path(TVX_SOURCE_DIR) / "data" / "DPW880.INI";
  const std::string before = ReadFileBytes(shipped);
  {
    TYIniFile ini(shipped.string(), nullptr, TYIniAccess::ReadOnly);
    EXPECT_TRUE(ini.SectionExists("Option"));
    EXPECT_NO_THROW(ini.ReadInteger("Option", "LANG", -1));
    EXPECT_NO_THROW(ini.ReadInteger("Option", "MEM", -1));
  }
  EXPECT_EQ(ReadFileBytes(shipped), before);
}
