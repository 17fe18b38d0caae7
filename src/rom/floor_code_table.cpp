#include "rom/floor_code_table.h"

#include <charconv>

#include "project/catalogue.h"
#include "project/paths.h"
#include "project/project_keys.h"
#include "rom/build_texts.h"
#include "rom/resource_list.h"
#include "util/ini_file.h"
#include "util/text_encoding.h"

namespace tvx {

namespace {

std::uint16_t characterCode(char c) {
  return static_cast<unsigned char>(c);
}

void markCharacter(FloorCodeTables& tables, char c) {
  tables.charactersInUse[static_cast<unsigned char>(c)] = true;
}

void planDisplayCodes(FloorCodePlan& plan, const Project& project,
                      const std::string& floorStyleDir) {
  FloorCodeTables& tables = plan.tables;
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
      if (const std::optional<std::string> picture = FindFloorPicture(floorStyleDir, text)) {
        plan.pictures.push_back({.bank = kCodeTablePictureBank,
                                 .slot = code,
                                 .value = *picture,
                                 .role = SlotRole::kFloorPicture,
                                 .index = code,
                                 .source = {project_key::kFloorTable, FloorCodeName(code)}});
        value = static_cast<std::uint16_t>(kCodeTablePictureMark | code);
      } else {
        plan.clearedCodes.push_back(code);
        plan.warnings.push_back({FloorCodeWarning::Kind::kPictureNotFound, code, entered});
      }
    }
    tables.displayCodes[code] = value;
  }
  for (char c : std::string_view("0123456789S")) {
    markCharacter(tables, c);
  }
}

void planBackgrounds(FloorCodePlan& plan, const Project& project) {
  std::array<std::string, kFloorCodeCount> texts;
  for (int code = 0; code < kFloorCodeCount; ++code) {
    texts[code] = Trimmed(project.FloorBkgImage[code]);
  }
  const auto warn = [&plan, &texts](int code) {
    plan.warnings.push_back({FloorCodeWarning::Kind::kBackgroundNumber, code, texts[code]});
  };
  // Rows without a number inherit the one above; the first rows take the first valid number.
  int current = 0;
  for (int code = 0; code < kFloorCodeCount; ++code) {
    if (texts[code].empty()) {
      continue;
    }
    if (const std::optional<int> number = ParseBackgroundNumber(UpperCaseText(texts[code]))) {
      current = *number;
      break;
    }
    warn(code);
  }
  for (int code = 0; code < kFloorCodeCount; ++code) {
    const std::string& text = texts[code];
    if (!text.empty()) {
      if (const std::optional<int> number = ParseBackgroundNumber(UpperCaseText(text))) {
        current = *number;
      } else {
        warn(code);
      }
    }
    plan.tables.backgrounds[code] = static_cast<std::uint8_t>(current & 0xFF);
  }
}

}  // namespace

std::string FloorCodeWarningLine(const FloorCodeWarning& warning) {
  if (warning.kind == FloorCodeWarning::Kind::kPictureNotFound) {
    return std::string(build_text::kWarningHead) + FloorCodeName(warning.code) + "=" +
           warning.entered + std::string(build_text::kPictureNotFoundTail);
  }
  return std::string(build_text::kWarningHead) + warning.entered +
         std::string(build_text::kBackgroundNumberTail);
}

std::optional<std::string> FindFloorPicture(const std::string& floorStyleDir,
                                            const std::string& text) {
  const std::string asWritten = floorStyleDir + text + ".bmp";
  if (FileExists(asWritten)) {
    return asWritten;
  }
  const std::string utf8 = TextAsUtf8(text);
  if (utf8 != text) {
    const std::string asUtf8 = floorStyleDir + utf8 + ".bmp";
    if (FileExists(asUtf8)) {
      return asUtf8;
    }
  }
  return std::nullopt;
}

std::string UpperCaseText(std::string_view text) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    const auto c = static_cast<unsigned char>(result[i]);
    if (IsBig5LeadByte(c) && i + 1 < result.size()) {
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

FloorCodePlan PlanFloorCodeTable(const Project& project, const std::string& programDir) {
  FloorCodePlan plan;
  planDisplayCodes(plan, project, ComputeFloorStyleDir(project, programDir));
  planBackgrounds(plan, project);
  return plan;
}

void ApplyFloorCodePlan(const FloorCodePlan& plan, YVclUtil::TYIniFile& list, Project& project,
                        const BuildReporter& reporter) {
  for (const PlannedSlot& picture : plan.pictures) {
    list.WriteString(ResourceListSection(picture.bank), ResourceListKey(picture.slot),
                     picture.value);
  }
  for (int code : plan.clearedCodes) {
    project.FloorTable[code].clear();
  }
  for (const FloorCodeWarning& warning : plan.warnings) {
    reporter.log(FloorCodeWarningLine(warning));
  }
}

FloorCodeTables MakeFLCodeTableAndFLBkg(YVclUtil::TYIniFile& list, Project& project,
                                        const std::string& programDir,
                                        const BuildReporter& reporter) {
  const FloorCodePlan plan = PlanFloorCodeTable(project, programDir);
  ApplyFloorCodePlan(plan, list, project, reporter);
  return plan.tables;
}

}  // namespace tvx
