#include <algorithm>
#include <optional>

#include "check/check_context.h"
#include "check/check_texts.h"
#include "check/slot_roles.h"
#include "project/catalogue.h"
#include "project/paths.h"
#include "project/project_keys.h"

// The floor code table: every character a text shows has its picture in the chosen floor
// style, a text naming a picture has it, and every text is Big5.
namespace tvx {

namespace {

using namespace check_text;

bool isBig5TrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0xA1 && c <= 0xFE);
}

// The first byte that starts no Big5 character (a control character, 0x80, 0xFF, or a lead
// byte without its trail byte).
std::optional<unsigned char> firstNonBig5Byte(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      continue;
    }
    if (IsBig5LeadByte(c) && i + 1 < text.size() &&
        isBig5TrailByte(static_cast<unsigned char>(text[i + 1]))) {
      ++i;
      continue;
    }
    return c;
  }
  return std::nullopt;
}

Finding textFinding(int code, Severity severity, FindingKind kind) {
  return FindingAt({project_key::kFloorTable, FloorCodeName(code)}, FloorTextRole(code), severity,
                   kind);
}

const PlannedSlot* findIn(const std::vector<PlannedSlot>& slots, int slot) {
  const auto found = std::find_if(slots.begin(), slots.end(), [slot](const PlannedSlot& planned) {
    return planned.slot == slot;
  });
  return found == slots.end() ? nullptr : &*found;
}

std::string styleName(const PlannedSlot& picture) {
  return FolderOfFile(picture.value);
}

void checkCharacter(CheckContext& context, int code, const std::string& text, char character) {
  const PlannedSlot* missing =
      findIn(context.plan.missingFloorCharacters, static_cast<unsigned char>(character));
  if (missing == nullptr) {
    return;
  }
  Finding finding = textFinding(code, Severity::kError, FindingKind::kFloorCharacterMissing);
  finding.slot = RomSlot{missing->bank, missing->slot};
  finding.file = missing->value;
  const std::string fileName = context.quoted(FileNameOf(missing->value));
  const std::string style = context.quoted(styleName(*missing));
  finding.problem =
      FormatWords(kCharacterMissing, context.quoted(text).c_str(),
                  CharacterName(missing->slot).c_str(), fileName.c_str(), style.c_str());
  finding.fix = FormatWords(kFixAddCharacter, fileName.c_str(), style.c_str());
  context.add(std::move(finding));
}

void checkNamedPicture(CheckContext& context, int code, const std::string& entered,
                       const std::string& text) {
  const std::vector<int>& cleared = context.plan.floorCodes.clearedCodes;
  if (std::find(cleared.begin(), cleared.end(), code) == cleared.end()) {
    return;
  }
  const std::string folder = ComputeFloorStyleDir(context.project, context.state.ProgramDir);
  const std::string fileName = context.quoted(text + ".bmp");
  const std::string style = context.quoted(FolderOfFile(folder + text + ".bmp"));
  const ScreenSize screen = ScreenOf(context.project);
  Finding finding = textFinding(code, Severity::kError, FindingKind::kFloorPictureMissing);
  finding.slot = RomSlot{kCodeTablePictureBank, code};
  finding.file = folder + text + ".bmp";
  finding.problem = FormatWords(kFloorPictureMissing, context.quoted(entered).c_str(),
                                fileName.c_str(), style.c_str());
  finding.fix =
      FormatWords(kFixFloorPicture, fileName.c_str(), screen.width, screen.height, style.c_str());
  context.add(std::move(finding));
}

void noteAdjustment(CheckContext& context, int code, const std::string& entered,
                    const std::string& shown, BilingualText words) {
  Finding finding = textFinding(code, Severity::kNote, FindingKind::kFloorTextAdjusted);
  finding.problem =
      FormatWords(words, context.quoted(entered).c_str(), context.quoted(shown).c_str());
  context.add(std::move(finding));
}

// The characters a text of one or two characters shows: a leading zero is dropped.
std::string shownCharacters(const std::string& text) {
  return text.size() == 2 && text[0] == '0' ? text.substr(1) : text;
}

void checkCharacters(CheckContext& context, int code, const std::string& entered,
                     const std::string& text, const std::string& shown) {
  if (shown != text) {
    noteAdjustment(context, code, entered, shown, kLeadingZero);
  } else if (text != entered) {
    noteAdjustment(context, code, entered, shown, kUpperCased);
  }
  const auto lead = static_cast<unsigned char>(shown[0]);
  if (shown.size() == 2 && IsBig5LeadByte(lead) &&
      isBig5TrailByte(static_cast<unsigned char>(shown[1]))) {
    Finding finding = textFinding(code, Severity::kWarning, FindingKind::kFloorTextTwoBytes);
    finding.problem = FormatWords(kTwoByteCharacter, context.quoted(shown).c_str(), unsigned{lead},
                                  unsigned{static_cast<unsigned char>(shown[1])});
    finding.fix = WordsOf(kFixTwoBytes);
    context.add(std::move(finding));
  }
  for (char character : shown) {
    checkCharacter(context, code, entered, character);
  }
}

// Characters every build takes along ("0" to "9", "S") that no text uses and the style lacks.
void noteUnusedMissing(CheckContext& context, const std::array<bool, 256>& usedByTexts) {
  for (const PlannedSlot& missing : context.plan.missingFloorCharacters) {
    if (usedByTexts[static_cast<std::size_t>(missing.slot)]) {
      continue;
    }
    Finding finding =
        FindingFor(missing, context.state, Severity::kNote, FindingKind::kUnusedCharacterMissing);
    finding.problem = FormatWords(
        kUnusedCharacterMissing, context.quoted(styleName(missing)).c_str(),
        CharacterName(missing.slot).c_str(), context.quoted(FileNameOf(missing.value)).c_str());
    context.add(std::move(finding));
  }
}

}  // namespace

void CheckFloorTexts(CheckContext& context) {
  std::array<bool, 256> usedByTexts{};
  for (int code = 0; code < kFloorCodeCount; ++code) {
    const std::string entered = Trimmed(context.project.FloorTable[code]);
    if (entered.empty()) {
      continue;
    }
    const std::string text = UpperCaseText(entered);
    if (const std::optional<unsigned char> bad = firstNonBig5Byte(entered)) {
      Finding finding = textFinding(code, Severity::kError, FindingKind::kFloorTextNotBig5);
      finding.problem = FormatWords(kNotBig5, context.quoted(entered).c_str(), unsigned{*bad});
      finding.fix = WordsOf(kFixBig5);
      context.add(std::move(finding));
    }
    if (text.size() >= 3) {
      checkNamedPicture(context, code, entered, text);
      continue;
    }
    const std::string shown = shownCharacters(text);
    for (char character : shown) {
      usedByTexts[static_cast<unsigned char>(character)] = true;
    }
    checkCharacters(context, code, entered, text, shown);
  }
  noteUnusedMissing(context, usedByTexts);
}

}  // namespace tvx
