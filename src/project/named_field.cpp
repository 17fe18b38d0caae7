#include "project/named_field.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "project/catalogue.h"
#include "project/choices.h"
#include "project/project_keys.h"
#include "util/text_encoding.h"

namespace tvx {

namespace {

using Kind = NamedFieldKind;

constexpr std::string_view kLayoutName = "Layout";
constexpr std::string_view kLayoutVariantName = "LayoutVariant";
constexpr std::string_view kScreenName = "DISPTYPE_HV";
constexpr std::string_view kDateTimeLanguageName = "DateTimeLanguage";
constexpr std::string_view kMessageInputsName = "LiftMsgIdx";
constexpr std::string_view kMonthImagesName = "MonthImages";
constexpr std::string_view kWeekImagesName = "WeekImages";

// The store reads values of this size or more as absent.
constexpr std::size_t kLongestValue = 16383;

// The lists a name may index, with the number of entries each has.
struct ListName {
  std::string_view name;
  Kind kind;
  int count;
};
constexpr std::array<ListName, 7> kLists{{
    {project_key::kVerticalBackgrounds, Kind::kVerticalBackground, kBackgroundSlotCount},
    {project_key::kHorizontalBackgrounds, Kind::kHorizontalBackground, kBackgroundSlotCount},
    {project_key::kFloorTable, Kind::kFloorText, kFloorCodeCount},
    {project_key::kFloorBkgImage, Kind::kFloorBackground, kFloorCodeCount},
    {kMessageInputsName, Kind::kMessageInput, kLiftStateRowCount},
    {kMonthImagesName, Kind::kMonthImage, kMonthImageCount},
    {kWeekImagesName, Kind::kWeekImage, kWeekImageCount},
}};

constexpr BilingualText kRefused{"不接受 \"%s\"; 可用的值: %s", "\"%s\" is refused; it takes %s"};
constexpr BilingualText kNotBig5{"\"%s\" 含有 Big5 無法表示的字元; 可用的值: %s",
                                 "\"%s\" has a character that Big5 cannot hold; it takes %s"};
constexpr BilingualText kNotKept{"\"%s\" 不會被保存: %s", "\"%s\" would not be kept: %s"};

constexpr BilingualText kBlankLoadsAs{"空白的值載入時為 \"%s\"", "a blank value loads as \"%s\""};
constexpr BilingualText kOneLineText{"Big5 可表示的一行文字, 兩端沒有空白",
                                     "a text that Big5 can hold, on one line, no spaces at "
                                     "either end"};
constexpr BilingualText kOneLinePath{"一行的路徑, 兩端沒有空白, 照原樣存入",
                                     "a path on one line, no spaces at either end, stored as "
                                     "given"};
constexpr BilingualText kColourValues{"0..16777215 (十進位的 0x00BBGGRR) 或 #RRGGBB",
                                      "0..16777215 (0x00BBGGRR in decimal) or #RRGGBB"};
constexpr BilingualText kBitValues{"0..15, 各欄位元之和: 1 A 欄, 2 B 欄, 4 C 欄, 8 D 欄",
                                   "0..15, the sum of the columns' bits: 1 A, 2 B, 4 C, 8 D"};
constexpr BilingualText kLayoutValues{
    "16 (佈置 2), 32 (佈置 4) 直式; 64 (佈置 1), 128 (佈置 3) 橫式",
    "16 (arrangement 2), 32 (arrangement 4) vertical; 64 "
    "(arrangement 1), 128 (arrangement 3) horizontal"};
constexpr BilingualText kVariantValues{
    "0 (樣式 1) 或 1 (樣式 2), 只用於橫式佈置 (Layout=64 或 128)",
    "0 (variant 1) or 1 (variant 2), horizontal arrangements "
    "(Layout=64 or 128) only"};
constexpr BilingualText kScreenValues{"跟隨 Layout: 16 與 32 為 1, 64 與 128 為 0",
                                      "what Layout gives: 1 with 16 and 32, 0 with 64 and 128"};
constexpr BilingualText kBackgroundNumberValues{"空白或背景編號 0..127",
                                                "nothing or a background number 0..127"};
constexpr BilingualText kMadeOnSave{
    "無: 每次儲存時由 DateTimeLanguage 算出 (改 DateTimeLanguage 或 WeekImages[0])",
    "nothing: every save makes it from DateTimeLanguage (set DateTimeLanguage or WeekImages[0])"};
constexpr BilingualText kNoMessageInputs{
    "無: 設定的通訊協定不由輸入觸發訊息, 專案檔不存 LiftMsgIdx",
    "nothing: the protocol of the settings raises no messages from inputs, so the file keeps no "
    "LiftMsgIdx"};
constexpr BilingualText kNoDateTime{"0: 設定的通訊協定不顯示日期時間, 載入時為 0",
                                    "0: the protocol of the settings shows no date and time; 1 "
                                    "loads as 0"};
constexpr BilingualText kIntervalOnlyInTurn{"檔案只在 AUTOSLIDESHOW=1 (輪流) 時保存換圖間隔",
                                            "the file keeps the interval only with "
                                            "AUTOSLIDESHOW=1 (in turn)"};
constexpr BilingualText kVariantOnlyHorizontal{
    "只有橫式佈置 (Layout=64 或 128) 有樣式",
    "only the horizontal arrangements (Layout=64 or 128) have variants"};

// What the number fields mean where the number alone does not say it.
struct NumberNote {
  std::string_view key;
  BilingualText note;
};
constexpr std::array<NumberNote, 6> kNumberNotes{{
    {"AUTOSLIDESHOW",
     {"0 每層樓, 1 輪流, 2 固定第 0 張", "0 per floor, 1 in turn, 2 always picture 0"}},
    {"SLIDESHOWTIMEGAP",
     {"清單位置, 即換圖秒數減 1", "the list index, that is the seconds between pictures minus 1"}},
    {"STANDBYTIME", {"清單位置, 即切換秒數減 1", "the list index, that is the seconds minus 1"}},
    {"NODEADDR", {"節點位址", "the node address"}},
    {"CAR_HALL", {"1 廳外, 0 車廂", "1 landing indicator, 0 car indicator"}},
    {"LCDBLCTRLMODE", {"背光控制模式", "the backlight control mode"}},
}};

std::string range(std::int64_t minimum, std::int64_t maximum) {
  return std::to_string(minimum) + ".." + std::to_string(maximum);
}

// "0..3, the list index: 0 "GRAY code", 1 …"
std::string choiceValues(std::span<const std::string_view> choices, unsigned lang) {
  std::string text =
      range(0, static_cast<std::int64_t>(choices.size()) - 1) +
      std::string(BilingualText{", 清單位置:", ", the list index:"}.forLanguage(lang));
  for (std::size_t i = 0; i < choices.size(); ++i) {
    text += (i == 0 ? " " : ", ") + std::to_string(i);
    if (!choices[i].empty()) {
      text += " \"" + std::string(choices[i]) + "\"";
    }
  }
  return text;
}

std::string plainValues(const ProjectField& field, unsigned lang) {
  switch (field.kind) {
    case FieldKind::kColour:
      return std::string(kColourValues.forLanguage(lang));
    case FieldKind::kBits:
      return std::string(kBitValues.forLanguage(lang));
    case FieldKind::kChoice:
      return choiceValues(field.choices, lang);
    case FieldKind::kPicture:
      return std::string(kOneLinePath.forLanguage(lang));
    case FieldKind::kText:
      return std::string(kOneLineText.forLanguage(lang));
    case FieldKind::kInteger:
      break;
  }
  std::string text = range(field.range.minimum, field.range.maximum);
  const auto note = std::ranges::find(kNumberNotes, field.key, &NumberNote::key);
  if (note != kNumberNotes.end()) {
    text += " (" + std::string(note->note.forLanguage(lang)) + ")";
  }
  return text;
}

// What the field takes, in the language lang.
std::string allowedValues(const NamedField& field, unsigned lang) {
  switch (field.kind) {
    case Kind::kPlain:
      return plainValues(*field.field, lang);
    case Kind::kLayout:
      return std::string(kLayoutValues.forLanguage(lang));
    case Kind::kLayoutVariant:
      return std::string(kVariantValues.forLanguage(lang));
    case Kind::kScreen:
      return std::string(kScreenValues.forLanguage(lang));
    case Kind::kDateTimeLanguage:
    case Kind::kFloorText:
      return std::string(kOneLineText.forLanguage(lang));
    case Kind::kVerticalBackground:
    case Kind::kHorizontalBackground:
    case Kind::kLiftState:
      return std::string(kOneLinePath.forLanguage(lang));
    case Kind::kFloorBackground:
      return std::string(kBackgroundNumberValues.forLanguage(lang));
    case Kind::kMessageInput:
      return choiceValues(kLiftMsgInputChoices, lang);
    case Kind::kMonthImage:
    case Kind::kWeekImage:
      return std::string(kMadeOnSave.forLanguage(lang));
  }
  return {};
}

Error refusal(std::string_view name, std::string_view value, const BilingualText& why,
              const std::string& allowed, unsigned lang) {
  return Error::Invalid(std::string(name),
                        FillIn(why.forLanguage(lang), {std::string(value), allowed}));
}

// ---- Names ----------------------------------------------------------------------------------

// A list index in decimal, or a floor code as the file writes it ("0x1A").
std::optional<int> parseIndex(std::string_view text, int count) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  int index = 0;
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, index, base);
  if (text.empty() || failure != std::errc{} || stop != end || index < 0 || index >= count) {
    return std::nullopt;
  }
  return index;
}

std::optional<int> parseColumn(std::string_view text) {
  if (text.size() != 1) {
    return std::nullopt;
  }
  const char c = text[0];
  for (int column = 0; column < kLiftStateColumnCount; ++column) {
    const char letter = project_key::kColumnLetters[column];
    if (c == '0' + column || c == letter || c == letter - 'A' + 'a') {
      return column;
    }
  }
  return std::nullopt;
}

// The bracketed parts after a list's name: "[5]" or "[0][A]".
std::optional<std::pair<std::string_view, std::string_view>> splitIndexes(std::string_view text) {
  if (text.size() < 3 || text.front() != '[' || text.back() != ']') {
    return std::nullopt;
  }
  text = text.substr(1, text.size() - 2);
  const std::size_t close = text.find("][");
  if (close == std::string_view::npos) {
    return std::pair{text, std::string_view{}};
  }
  return std::pair{text.substr(0, close), text.substr(close + 2)};
}

std::optional<NamedField> listEntry(std::string_view name) {
  const std::size_t open = name.find('[');
  if (open == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view list = name.substr(0, open);
  const auto indexes = splitIndexes(name.substr(open));
  if (!indexes) {
    return std::nullopt;
  }
  const auto [first, second] = *indexes;
  if (list == project_key::kLiftStateImage) {
    const std::optional<int> row = parseIndex(first, kLiftStateRowCount);
    const std::optional<int> column = parseColumn(second);
    if (!row || !column) {
      return std::nullopt;
    }
    return NamedField{.kind = Kind::kLiftState, .index = *row, .column = *column};
  }
  const auto found = std::ranges::find(kLists, list, &ListName::name);
  if (found == kLists.end() || !second.empty()) {
    return std::nullopt;
  }
  const std::optional<int> index = parseIndex(first, found->count);
  if (!index) {
    return std::nullopt;
  }
  // The first week entry is the date language itself.
  if (found->kind == Kind::kWeekImage && *index == 0) {
    return NamedField{.kind = Kind::kDateTimeLanguage};
  }
  return NamedField{.kind = found->kind, .index = *index};
}

// ---- Values ---------------------------------------------------------------------------------

std::optional<std::int64_t> parseDecimal(std::string_view text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, value);
  if (text.empty() || text[0] == '-' || failure != std::errc{} || stop != end) {
    return std::nullopt;
  }
  return value;
}

// A decimal 0x00BBGGRR or "#RRGGBB".
std::optional<std::int64_t> parseColour(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') {
    const std::optional<std::int64_t> value = parseDecimal(text);
    return value && *value <= 0xFFFFFF ? value : std::nullopt;
  }
  std::uint32_t rgb = 0;
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data() + 1, end, rgb, 16);
  if (failure != std::errc{} || stop != end || text[1] == '+' || text[1] == '-') {
    return std::nullopt;
  }
  const std::uint32_t red = (rgb >> 16) & 0xFF;
  const std::uint32_t green = (rgb >> 8) & 0xFF;
  const std::uint32_t blue = rgb & 0xFF;
  return red | (green << 8) | (blue << 16);
}

// What a line of the file holds and reads back unchanged: no control characters, no spaces at
// either end, not too long.
bool fitsOneLine(std::string_view text) {
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
  return text.size() <= kLongestValue && std::ranges::none_of(text, control) &&
         (text.empty() || (text.front() != ' ' && text.back() != ' '));
}

std::optional<std::int64_t> numberIn(std::string_view text, std::int64_t minimum,
                                     std::int64_t maximum) {
  const std::optional<std::int64_t> value = parseDecimal(text);
  return value && *value >= minimum && *value <= maximum ? value : std::nullopt;
}

// The text a field names in a project, const or not; null for the number fields.
template <typename AnyProject>
auto* textSlot(AnyProject& project, const NamedField& field) {
  using Text = std::remove_reference_t<decltype((project.DateTimeLanguage))>;
  switch (field.kind) {
    case Kind::kPlain:
      return field.field->isNumber() ? nullptr : &TextOf(project, *field.field);
    case Kind::kDateTimeLanguage:
      return &project.DateTimeLanguage;
    case Kind::kVerticalBackground:
      return &project.UserBkGndImage[field.index];
    case Kind::kHorizontalBackground:
      return &project.UserBkGndImage2[field.index];
    case Kind::kFloorText:
      return &project.FloorTable[field.index];
    case Kind::kFloorBackground:
      return &project.FloorBkgImage[field.index];
    case Kind::kLiftState:
      return &project.LiftStateImage[field.index][field.column];
    case Kind::kMonthImage:
      return &project.MonthImages[field.index];
    case Kind::kWeekImage:
      return &project.WeekImages[field.index];
    default:
      return static_cast<Text*>(nullptr);
  }
}

bool isPath(const NamedField& field) {
  switch (field.kind) {
    case Kind::kPlain:
      return field.field->kind == FieldKind::kPicture;
    case Kind::kVerticalBackground:
    case Kind::kHorizontalBackground:
    case Kind::kLiftState:
      return true;
    default:
      return false;
  }
}

// A number for a number field, within its range or list.
std::optional<std::int64_t> numberFor(const NamedField& field, std::string_view value) {
  switch (field.kind) {
    case Kind::kPlain:
      if (field.field->kind == FieldKind::kColour) {
        return parseColour(value);
      }
      return numberIn(value, field.field->range.minimum, field.field->range.maximum);
    case Kind::kLayout: {
      const std::optional<std::int64_t> code = numberIn(value, 0, 0xFF);
      return code && IsArrangement(static_cast<int>(*code)) ? code : std::nullopt;
    }
    case Kind::kLayoutVariant:
    case Kind::kScreen:
      return numberIn(value, 0, 1);
    case Kind::kMessageInput:
      return numberIn(value, 0, static_cast<std::int64_t>(kLiftMsgInputChoices.size()) - 1);
    default:
      return std::nullopt;
  }
}

void storeNumber(Project& project, const NamedField& field, std::int64_t number) {
  switch (field.kind) {
    case Kind::kPlain:
      SetNumber(project, *field.field, number);
      break;
    case Kind::kLayout:
      SelectLayout(project, static_cast<int>(number));
      break;
    case Kind::kLayoutVariant:
      project.LayoutVariant = static_cast<int>(number);
      break;
    case Kind::kScreen:
      // Follows the arrangement; CheckNamedFieldKept tells whether it agrees.
      break;
    case Kind::kMessageInput:
      project.LiftMsgIdx[field.index] = static_cast<int>(number);
      break;
    default:
      break;
  }
}

bool isNumber(const NamedField& field) {
  switch (field.kind) {
    case Kind::kPlain:
      return field.field->isNumber();
    case Kind::kLayout:
    case Kind::kLayoutVariant:
    case Kind::kScreen:
    case Kind::kMessageInput:
      return true;
    default:
      return false;
  }
}

// A refusal that follows from the settings, not from the value.
std::optional<BilingualText> settingsRefusal(const NamedField& field, std::int64_t number,
                                             const AppSettings& settings) {
  if (field.kind == Kind::kMessageInput && !settings.LiftMsgIdxUsed) {
    return kNoMessageInputs;
  }
  if (field.kind == Kind::kPlain && field.field->key == "USE_DATETIME" &&
      !settings.DateTimeSupported && number != 0) {
    return kNoDateTime;
  }
  if (field.kind == Kind::kMonthImage || field.kind == Kind::kWeekImage) {
    return kMadeOnSave;
  }
  return std::nullopt;
}

}  // namespace

std::optional<NamedField> FindNamedField(std::string_view name) {
  if (name == kLayoutName) {
    return NamedField{.kind = Kind::kLayout};
  }
  if (name == kLayoutVariantName) {
    return NamedField{.kind = Kind::kLayoutVariant};
  }
  if (name == kScreenName) {
    return NamedField{.kind = Kind::kScreen};
  }
  if (name == kDateTimeLanguageName) {
    return NamedField{.kind = Kind::kDateTimeLanguage};
  }
  if (const ProjectField* field = FindField(name)) {
    return NamedField{.kind = Kind::kPlain, .field = field};
  }
  return listEntry(name);
}

std::string NamedFieldValue(const Project& project, const NamedField& field) {
  switch (field.kind) {
    case Kind::kPlain:
      if (field.field->isNumber()) {
        return std::to_string(NumberOf(project, *field.field));
      }
      return TextAsUtf8(TextOf(project, *field.field));
    case Kind::kLayout:
      return std::to_string(project.Layout);
    case Kind::kLayoutVariant:
      return std::to_string(project.LayoutVariant);
    case Kind::kScreen:
      return std::to_string(project.DISPTYPE_HV);
    case Kind::kMessageInput:
      return std::to_string(project.LiftMsgIdx[field.index]);
    default:
      return TextAsUtf8(*textSlot(project, field));
  }
}

// What the loader makes of a field the file leaves blank, when that is not blank.
std::string_view blankLoadsAs(const NamedField& field) {
  if (field.kind == Kind::kDateTimeLanguage) {
    return kDefaultDateTimeLanguage;
  }
  return field.kind == Kind::kPlain ? field.field->textDefault : std::string_view();
}

Result<void> SetNamedField(Project& project, const NamedField& field, std::string_view name,
                           std::string_view value, const AppSettings& settings, unsigned lang) {
  const std::optional<std::int64_t> number = numberFor(field, value);
  if (const std::optional<BilingualText> why =
          settingsRefusal(field, number.value_or(0), settings)) {
    return refusal(name, value, kRefused, std::string(why->forLanguage(lang)), lang);
  }
  const std::string allowed = allowedValues(field, lang);
  if (isNumber(field)) {
    if (!number) {
      return refusal(name, value, kRefused, allowed, lang);
    }
    storeNumber(project, field, *number);
    return {};
  }
  if (!fitsOneLine(value) || !IsValidUtf8(value)) {
    return refusal(name, value, kRefused, allowed, lang);
  }
  if (const std::string_view loadsAs = blankLoadsAs(field); value.empty() && !loadsAs.empty()) {
    return refusal(name, value, kNotKept,
                   FillIn(kBlankLoadsAs.forLanguage(lang), {std::string(loadsAs)}), lang);
  }
  if (field.kind == Kind::kFloorBackground && !value.empty() &&
      !numberIn(value, 0, kBackgroundSlotCount - 1)) {
    return refusal(name, value, kRefused, allowed, lang);
  }
  std::string stored(value);
  if (!isPath(field)) {
    std::optional<std::string> big5 = Utf8ToBig5(value);
    if (!big5) {
      return refusal(name, value, kNotBig5, allowed, lang);
    }
    stored = std::move(*big5);
  }
  *textSlot(project, field) = std::move(stored);
  return {};
}

Result<void> CheckNamedFieldKept(const Project& project, const NamedField& field,
                                 std::string_view name, std::string_view value, unsigned lang) {
  const auto notKept = [&](const BilingualText& why) {
    return refusal(name, value, kNotKept, std::string(why.forLanguage(lang)), lang);
  };
  // Both were checked by SetNamedField, so the value is a number.
  const std::int64_t number = parseDecimal(value).value_or(-1);
  switch (field.kind) {
    case Kind::kScreen:
      if (number != project.DISPTYPE_HV) {
        return notKept(kScreenValues);
      }
      break;
    case Kind::kLayoutVariant:
      // A vertical arrangement resets the variant and its file never holds one.
      if (number != project.LayoutVariant || (number != 0 && project.DISPTYPE_HV != 0)) {
        return notKept(kVariantOnlyHorizontal);
      }
      break;
    case Kind::kPlain:
      if (!IsStored(*field.field, project)) {
        return notKept(kIntervalOnlyInTurn);
      }
      break;
    default:
      break;
  }
  return {};
}

std::string NamedFieldHelp() {
  struct Line {
    std::string name;
    NamedField field;
  };
  std::vector<Line> lines{{std::string(kLayoutName), {.kind = Kind::kLayout}},
                          {std::string(kLayoutVariantName), {.kind = Kind::kLayoutVariant}},
                          {std::string(kScreenName), {.kind = Kind::kScreen}}};
  for (const ProjectField& field : ProjectFields()) {
    lines.push_back({std::string(field.key), {.kind = Kind::kPlain, .field = &field}});
  }
  lines.push_back(
      {std::string(kDateTimeLanguageName) + ", WeekImages[0]", {.kind = Kind::kDateTimeLanguage}});
  for (const ListName& list : kLists) {
    // The first week entry is the date language, listed above.
    const int first = list.kind == Kind::kWeekImage ? 1 : 0;
    lines.push_back(
        {std::string(list.name) + "[" + range(first, list.count - 1) + "]", {.kind = list.kind}});
  }
  lines.push_back({std::string(project_key::kLiftStateImage) + "[" +
                       range(0, kLiftStateRowCount - 1) + "][A..D or 0..3]",
                   {.kind = Kind::kLiftState}});
  std::string help;
  for (const Line& line : lines) {
    help += "  " + line.name + "\n      " + allowedValues(line.field, 0) + "\n";
  }
  return help;
}

}  // namespace tvx
