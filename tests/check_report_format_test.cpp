#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "check/report_format.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace tvx {
namespace {

CheckReport sampleReport() {
  CheckReport report;
  Finding message;
  message.kind = FindingKind::kPictureRefused;
  message.entry = {"LiftStateImage", "LiftState_0_A"};
  message.slot = RomSlot{0, 196};
  message.role = {"火警訊息, 第一張中文圖", "fire message, first Chinese picture"};
  message.file = "/home/tech/FIRE \"0\".bmp";
  message.problem = {"是 32 位元的 BMP", "is a 32-bit BMP"};
  message.fix = {"請存成 24 位元 BMP", "save it as a 24-bit BMP"};
  Finding text;
  text.severity = Severity::kWarning;
  text.kind = FindingKind::kFloorTextTwoBytes;
  text.entry = {"FloorTable", "0x04"};
  text.role = {"樓層編碼 0x04 的顯示文字", "display text of floor code 0x04"};
  text.problem = {"\"\xA4\x40\"", "\"\xA4\x40\""};
  report.findings = {message, text};
  report.memory = {.used = 1000, .capacity = 4194304, .largest = {}};
  return report;
}

// Python's json module reads the text; what it makes of an expression of it (d the object),
// written as Python's ascii() writes it.
std::string pythonReads(const std::string& json, const std::string& expression) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "report.json", json);
  test::WriteFileBytes(dir / "read.py",
                       "import json, sys\n"
                       "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                       "print(ascii(eval(sys.argv[2])))\n");
  const std::string command = "python3 " + test::ShellQuoted((dir / "read.py").string()) + " " +
                              test::ShellQuoted((dir / "report.json").string()) + " " +
                              test::ShellQuoted(expression);
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
      out += buffer;
    }
    pclose(pipe);
  }
  return out;
}

TEST(CheckReportFormatTest, TextHasOneBlockPerFindingAndASummaryInEitherLanguage) {
  const CheckReport report = sampleReport();
  EXPECT_EQ(RenderReportText(report, 0),
            "error: fire message, first Chinese picture [LiftStateImage LiftState_0_A, BANK0-196]\n"
            "    /home/tech/FIRE \"0\".bmp\n"
            "    is a 32-bit BMP\n"
            "    fix: save it as a 24-bit BMP\n"
            "warning: display text of floor code 0x04 [FloorTable 0x04]\n"
            "    \"\xA4\x40\"\n"
            "errors: 1, warnings: 1, notes: 0\n"
            "memory: 1000 of 4194304 bytes used\n");
  const std::string chinese = RenderReportText(report, 1);
  EXPECT_EQ(chinese.substr(0, chinese.find('\n')),
            "錯誤: 火警訊息, 第一張中文圖 [LiftStateImage LiftState_0_A, BANK0-196]");
  EXPECT_NE(chinese.find("    處理: 請存成 24 位元 BMP\n"), std::string::npos);
  EXPECT_NE(chinese.find("錯誤 1 個, 警告 1 個, 附註 0 個\n"), std::string::npos);
}

TEST(CheckReportFormatTest, JsonIsValidWithStableKeysAndBothLanguages) {
  const CheckReport report = sampleReport();
  const std::string json = RenderReportJson(report);
  EXPECT_EQ(pythonReads(json,
                        "[d['errors'], d['warnings'], d['notes'], d['memory']['fits'], "
                        "d['memory']['used'], d['findings'][0]['slot'], "
                        "d['findings'][1]['bank'], d['findings'][0]['kind'], "
                        "d['findings'][0]['file'], d['findings'][0]['role']['en']]"),
            "[1, 1, 0, True, 1000, 196, None, 'picture-refused', '/home/tech/FIRE \"0\".bmp', "
            "'fire message, first Chinese picture']\n");
  EXPECT_EQ(pythonReads(json, "d['findings'][0]['role']['zh'][:2]"), "'\\u706b\\u8b66'\n");
  EXPECT_EQ(pythonReads(json, "d['findings'][1]['problem']['en']"), "'\"\\ufffd@\"'\n")
      << "a byte that is not UTF-8 becomes U+FFFD";
  const std::string converted =
      RenderReportJson(report, [](std::string_view) { return std::string("\"\xE4\xB8\x80\""); });
  EXPECT_EQ(pythonReads(converted, "d['findings'][1]['problem']['en']"), "'\"\\u4e00\"'\n");
}

}  // namespace
}  // namespace tvx
