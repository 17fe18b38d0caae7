#include "rom/floor_code_table.h"

#include <charconv>

#include "project/catalogue.h"
#include "project/paths.h"
#include "rom/build_texts.h"
#include "rom/resource_list.h"
#include "util/ini_file.h"

namespace tvx {

namespace {

bool isBig5LeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

std::uint16_t characterCode(char c) {
  return static_cast<unsigned char>(c);
}

void markCharacter(FloorCodeTables& tables, char c) {
  tables.charactersInUse[static_cast<unsigned char>(c)] = true;
}

void fillDisplayCodes(FloorCodeTables& tables, YVclUtil::TYIniFile& list, Project& project,
                      const std::string& floorStyleDir, const BuildReporter& reporter) {
  for (int code = 0; code < kFloorCodeCount; ++code) {
    const std::string entered = Trimmed(project.FloorTable[code]);
    const std::string text = UpperCaseText(entered);
    std::uint16_t value = 0;
    if (text.size() == 1) {
      value = characterCode(text[0]);
      markCharacter(tables, text[0]);
    } else if (text.size() == 2) {
      if (text[0] == '0') {
        value = characterCode(text[1]);
        markCharacter(tables, text[1]);
      } else {
        value = static_cast<std::uint16_t>(characterCode(text[0]) << 8 | characterCode(text[1]));
        markCharacter(tables, text[0]);
        markCharacter(tables, text[1]);
      }
    } else if (text.size() >= 3) {
      const std::string picture = floorStyleDir + text + ".bmp";
      if (FileExists(picture)) {
        list.WriteString(ResourceListSection(kCodeTablePictureBank), ResourceListKey(code),
                         picture);
        value = static_cast<std::uint16_t>(kCodeTablePictureMark | code);
      } else {
        project.FloorTable[code].clear();
        reporter.log(std::string(build_text::kWarningHead) + FloorCodeName(code) + "=" + entered +
                     std::string(build_text::kPictureNotFoundTail));
      }
    }
    tables.displayCodes[code] = value;
  }
  for (char c : std::string_view("0123456789S")) {
    markCharacter(tables, c);
  }
}

void warnBackgroundNumber(const BuildReporter& reporter, const std::string& entered) {
  reporter.log(std::string(build_text::kWarningHead) + entered +
               std::string(build_text::kBackgroundNumberTail));
}

void fillBackgrounds(FloorCodeTables& tables, const Project& project,
                     const BuildReporter& reporter) {
  std::array<std::string, kFloorCodeCount> texts;
  for (int code = 0; code < kFloorCodeCount; ++code) {
    texts[code] = Trimmed(project.FloorBkgImage[code]);
  }
  // Rows without a number inherit the one above; the first rows take the first valid number.
  int current = 0;
  for (const std::string& text : texts) {
    if (text.empty()) {
      continue;
    }
    if (const std::optional<int> number = ParseBackgroundNumber(UpperCaseText(text))) {
      current = *number;
      break;
    }
    warnBackgroundNumber(reporter, text);
  }
  for (int code = 0; code < kFloorCodeCount; ++code) {
    const std::string& text = texts[code];
    if (!text.empty()) {
      if (const std::optional<int> number = ParseBackgroundNumber(UpperCaseText(text))) {
        current = *number;
      } else {
        warnBackgroundNumber(reporter, text);
      }
    }
    tables.backgrounds[code] = static_cast<std::uint8_t>(current & 0xFF);
  }
}

}  // namespace

std::string UpperCaseText(std::string_view text) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    const auto c = static_cast<unsigned char>(result[i]);
    if (isBig5LeadByte(c) && i + 1 < result.size()) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      result[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return result;
}

std::optional<int> ParseBackgroundNumber(std::string_view text) {
  std::size_t start = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    start = 1;
  }
  const std::string_view digits = text.substr(start);
  if (digits.empty()) {
    return std::nullopt;
  }
  for (char c : digits) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
  }
  long long magnitude = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (error != std::errc() || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  const long long value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

FloorCodeTables MakeFLCodeTableAndFLBkg(YVclUtil::TYIniFile& list, Project& project,
                                        const std::string& programDir,
                                        const BuildReporter& reporter) {
  FloorCodeTables tables;
  fillDisplayCodes(tables, list, project, ComputeFloorStyleDir(project, programDir), reporter);
  fillBackgrounds(tables, project, reporter);
  return tables;
}

}  // namespace tvx
