#include "util/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>

#include "util/c_locale.h"
#include "util/error_text.h"
#include "util/ey_general.h"
#include "util/file_replace.h"
#include "util/hashed_string_list.h"
#include "util/ini_scanner.h"
#include "util/messages.h"
#include "util/printf_format.h"
#include "util/str_tab.h"
#include "util/str_to_int.h"

namespace YVclUtil {
namespace {

using tvx::platform::TDateTime;

constexpr const char* kCaption = "TYIniFile";
constexpr const char* kUnknownFileName = "UnknownIniFile.ini";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// Values of this length or more read as absent.
constexpr std::size_t kValueReadLimit = 16384;
// Values of this length or more are written as none.
constexpr std::size_t kValueWriteLimit = 8192;
constexpr std::size_t kNameLimit = 264;
constexpr tvx::BilingualText kOpenedReadOnly{"\"%s\" 以唯讀方式開啟",
                                             "\"%s\" was opened read-only"};

TYHashedStringList* keyListAt(const TYHashedStringList* sections, int index) {
  return static_cast<TYHashedStringList*>(sections->pr_Objects(index));
}

// Returns the value cell attached to entry index of a key list to the pool.
void deleteValueCell(TYStrTab* pool, const TYHashedStringList* keys, int index) {
  if (auto* value = static_cast<_YSTRTABCELL*>(keys->pr_Objects(index))) {
    pool->Delete(value);
  }
}

// C's strtoul on 32 bits: leading whitespace, a sign (a negative number wraps), for base 16 an
// optional "0x" before a hexadecimal digit; an out-of-range magnitude gives 0xFFFFFFFF.
struct UnsignedText {
  std::uint32_t value = 0;
  bool anyDigit = false;
};

int digitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'Z') {
    return c - 'A' + 10;
  }
  return 99;
}

UnsignedText strToUnsigned32(std::string_view text, int base) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) {
    ++at;
  }
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  if (base == 16 && at + 2 < text.size() && text[at] == '0' &&
      (text[at + 1] == 'x' || text[at + 1] == 'X') && digitValue(text[at + 2]) < 16) {
    at += 2;
  }
  UnsignedText result;
  std::uint64_t magnitude = 0;
  bool overflow = false;
  for (; at < text.size() && digitValue(text[at]) < base; ++at) {
    result.anyDigit = true;
    magnitude = magnitude * static_cast<std::uint64_t>(base) +
                static_cast<std::uint64_t>(digitValue(text[at]));
    if (magnitude > 0xFFFFFFFFULL) {
      overflow = true;
      magnitude = 0xFFFFFFFFULL;
    }
  }
  if (overflow) {
    result.value = 0xFFFFFFFFU;
  } else {
    const auto bits = static_cast<std::uint32_t>(magnitude);
    result.value = negative ? 0U - bits : bits;
  }
  return result;
}

std::uint32_t readUnsignedText(const std::string& text, std::uint32_t defaultValue) {
  const bool hex = text.size() >= 3 && text[0] == '0' && text[1] == 'x';
  const UnsignedText parsed =
      hex ? strToUnsigned32(std::string_view(text).substr(2), 16) : strToUnsigned32(text, 10);
  return parsed.value != 0 || parsed.anyDigit ? parsed.value : defaultValue;
}

std::string asciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

}  // namespace

TYIniFile::TYIniFile(const std::string& fileName, TYStrTab* pool, TYIniAccess access)
    : Access(access) {
  bool ok = true;
  if (pool != nullptr) {
    StrTab = pool;
  } else {
    StrTab = new (std::nothrow) TYStrTab;
    OwnsStrTab = StrTab != nullptr;
    if (StrTab == nullptr) {
      ShowErrMsgBox_Printf(kCaption, "Err: Can not create YStrTab !!!");
      ok = false;
    }
  }
  if (ok) {
    Sections = new (std::nothrow) TYHashedStringList(StrTab);
    if (Sections == nullptr) {
      ShowErrMsgBox_Printf(kCaption, "Err: Can not create TYHashedStringList for Sections !!!");
      ok = false;
    } else {
      Sections->pw_OnDelete([this](TYHashedStringList* sender, int index) {
        HashedStringListNotifyHandlerForDeleteSection(sender, index);
      });
    }
  }
  if (ok) {
    FileName = fileName.empty() ? kUnknownFileName : fileName;
    try {
      struct stat info {};
      const bool missing =
          stat(FileName.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
      if (missing && Access == TYIniAccess::ReadWrite) {
        createMissingFile();
      } else if (!missing || Access != TYIniAccess::WriteOnSave) {
        load();
      }
    } catch (const EYGeneral&) {
      ok = false;
    } catch (...) {
      Modified = false;
      releaseDocument();
      throw;
    }
  }
  Modified = false;
  if (!ok) {
    releaseDocument();
    throw EYGeneral("Err: Constructor !!!");
  }
}

TYIniFile::~TYIniFile() {
  try {
    if (Access != TYIniAccess::WriteOnSave) {
      SaveIniFile();
    }
  } catch (...) {
    SendDbgString_Printf("TYIniFile: saving \"%s\" failed unexpectedly", FileName.c_str());
  }
  releaseDocument();
}

void TYIniFile::releaseDocument() {
  if (Sections != nullptr) {
    Sections->DeleteAll();
    delete Sections;
    Sections = nullptr;
  }
  if (OwnsStrTab) {
    delete StrTab;
    OwnsStrTab = false;
  }
  StrTab = nullptr;
  LastSection.clear();
  LastSectionIndex = -1;
}

void TYIniFile::load() {
  std::FILE* file = std::fopen(FileName.c_str(), "rb");
  if (file == nullptr) {
    SendDbgString_Printf("TYIniFile: cannot open \"%s\": %s", FileName.c_str(),
                         std::generic_category().message(errno).c_str());
    ShowErrMsgBox_Printf(kCaption, "Err: Can not open file \n \"%s\" ", FileName.c_str());
    throw EYGeneral("Err: Can not open file \"%s\"", FileName.c_str());
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, std::fclose);
  IniPieceReader reader(file);
  std::string section;
  bool inSection = false;
  bool first = true;
  std::string_view piece;
  while (reader.next(piece)) {
    // Editors that save UTF-8 may put a byte-order mark first; it is no part of the first line.
    if (first && piece.starts_with(kUtf8ByteOrderMark)) {
      piece.remove_prefix(kUtf8ByteOrderMark.size());
    }
    first = false;
    const IniLine line = ScanIniLine(piece);
    if (line.kind == IniLine::Kind::Section) {
      section.assign(line.name);
      inSection = true;
    } else if (line.kind == IniLine::Kind::Key && inSection) {
      writeString(section, line.name, line.value);
    }
  }
  if (reader.failed()) {
    SendDbgString_Printf("TYIniFile: cannot read \"%s\": %s", FileName.c_str(),
                         std::generic_category().message(reader.error()).c_str());
    ShowErrMsgBox_Printf(kCaption, "Err: Can not open file \n \"%s\" ", FileName.c_str());
    throw EYGeneral("Err: Can not read file \"%s\"", FileName.c_str());
  }
}

void TYIniFile::createMissingFile() {
  const std::size_t slash = FileName.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    const std::string directory = FileName.substr(0, slash + 1);
    struct stat info {};
    if (stat(directory.c_str(), &info) != 0 && mkdir(directory.c_str(), 0777) != 0) {
      SendDbgString_Printf("TYIniFile: cannot create the folder \"%s\": %s", directory.c_str(),
                           std::generic_category().message(errno).c_str());
      ShowErrMsgBox_Printf(kCaption, "Err: Can not create directory \n \"%s\" ", directory.c_str());
      throw EYGeneral("Err: Can not create directory \"%s\"", directory.c_str());
    }
  }
  // Never truncates: a file that appeared meanwhile is kept (and read by no one, as if empty).
  const int fd = open(FileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    SendDbgString_Printf("TYIniFile: cannot create \"%s\": %s", FileName.c_str(),
                         std::generic_category().message(errno).c_str());
    ShowErrMsgBox_Printf(kCaption, "Err: Can not create file \n \"%s\" ", FileName.c_str());
    throw EYGeneral("Err: Can not create file \"%s\"", FileName.c_str());
  }
  close(fd);
}

void TYIniFile::pw_FileName(const std::string& fileName) {
  FileName = fileName;
  Modified = true;
}

bool TYIniFile::UpdateFile() {
  return SaveIniFile();
}

bool TYIniFile::SaveIniFile() {
  if (Save()) {
    return true;
  }
  ShowErrMsgBox_Printf(kCaption, "Err: Can not create file \n \"%s\" ", FileName.c_str());
  SendDbgString_Printf("TYIniFile: %s", tvx::ErrorText(*LastSaveError, 0).c_str());
  return false;
}

tvx::Result<void> TYIniFile::Save() {
  if (!Modified) {
    return {};
  }
  tvx::Result<void> saved = Access == TYIniAccess::ReadOnly
                                ? tvx::Error::Stated(FileName, kOpenedReadOnly)
                                : ReplaceFileContents(FileName, ToText());
  if (!saved) {
    LastSaveError = saved.error();
    return saved;
  }
  LastSaveError.reset();
  Modified = false;
  return {};
}

std::string TYIniFile::ToText() const {
  std::string text;
  if (Sections == nullptr) {
    return text;
  }
  std::string piece;
  for (int s = 0; s < Sections->pr_Count(); ++s) {
    const TYHashedStringList* keys = keyListAt(Sections, s);
    if (keys == nullptr) {
      continue;
    }
    StrTab->Get(Sections->pr_StrCell(s), piece, kNameLimit);
    text += '[';
    text += piece;
    text += "]\r\n";
    for (int k = 0; k < keys->pr_Count(); ++k) {
      StrTab->Get(keys->pr_StrCell(k), piece, kNameLimit);
      text += piece;
      text += '=';
      const auto* value = static_cast<const _YSTRTABCELL*>(keys->pr_Objects(k));
      if (value != nullptr && StrTab->Get(value, piece, kValueWriteLimit)) {
        text += piece;
      }
      text += "\r\n";
    }
    text += "\r\n";
  }
  return text;
}

bool TYIniFile::findSection(std::string_view section, int& index) const {
  if (section.empty() || Sections == nullptr) {
    return false;
  }
  if (!LastSection.empty() && section == LastSection) {
    index = LastSectionIndex;
    return true;
  }
  const _YHASHEDSTRINGLISTCELL* entry = Sections->Find(section);
  if (entry == nullptr) {
    return false;
  }
  LastSection.assign(section);
  LastSectionIndex = entry->Index;
  index = entry->Index;
  return true;
}

TYHashedStringList* TYIniFile::keyListOf(std::string_view section) const {
  int index = -1;
  return findSection(section, index) ? keyListAt(Sections, index) : nullptr;
}

_YSTRTABCELL* TYIniFile::valueCellOf(std::string_view section, std::string_view key,
                                     bool& keyFound) const {
  keyFound = false;
  const TYHashedStringList* keys = keyListOf(section);
  if (keys == nullptr) {
    return nullptr;
  }
  const _YHASHEDSTRINGLISTCELL* entry = keys->Find(key);
  if (entry == nullptr) {
    return nullptr;
  }
  keyFound = true;
  return static_cast<_YSTRTABCELL*>(entry->Object);
}

bool TYIniFile::IsSectionExisted(const std::string& section) const {
  int index = -1;
  return findSection(section, index);
}

bool TYIniFile::IsSectionExisted(const std::string& section, int& index) const {
  return findSection(section, index);
}

bool TYIniFile::IsKeyExisted(const std::string& section, const std::string& key) const {
  bool keyFound = false;
  valueCellOf(section, key, keyFound);
  return keyFound;
}

bool TYIniFile::IsValueExisted(const std::string& section, const std::string& key) const {
  bool keyFound = false;
  return valueCellOf(section, key, keyFound) != nullptr;
}

bool TYIniFile::IsValueExisted(const std::string& section, const std::string& key,
                               std::string& value) const {
  bool keyFound = false;
  const _YSTRTABCELL* cell = valueCellOf(section, key, keyFound);
  if (cell == nullptr) {
    value.clear();
    return false;
  }
  return StrTab->Get(cell, value, kValueReadLimit);
}

bool TYIniFile::SectionExists(const std::string& section) const {
  return IsSectionExisted(section);
}

bool TYIniFile::KeyExists(const std::string& section, const std::string& key) const {
  return IsKeyExisted(section, key);
}

bool TYIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return IsValueExisted(section, key);
}

int TYIniFile::StrCmp(const std::string& section, const std::string& key,
                      const std::string& text) const {
  return std::strcoll(ReadString(section, key, std::string()).c_str(), text.c_str());
}

int TYIniFile::StrICmp(const std::string& section, const std::string& key,
                       const std::string& text) const {
  return std::strcoll(asciiLower(ReadString(section, key, std::string())).c_str(),
                      asciiLower(text).c_str());
}

std::vector<std::string> TYIniFile::SectionNames() const {
  std::vector<std::string> names;
  if (Sections == nullptr) {
    return names;
  }
  names.reserve(static_cast<std::size_t>(Sections->pr_Count()));
  for (int s = 0; s < Sections->pr_Count(); ++s) {
    if (keyListAt(Sections, s) != nullptr) {
      names.push_back(Sections->pr_Strings(s));
    }
  }
  return names;
}

std::vector<std::string> TYIniFile::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  const TYHashedStringList* keys = keyListOf(section);
  if (keys == nullptr) {
    return names;
  }
  names.reserve(static_cast<std::size_t>(keys->pr_Count()));
  for (int k = 0; k < keys->pr_Count(); ++k) {
    names.push_back(keys->pr_Strings(k));
  }
  return names;
}

TYHashedStringList* TYIniFile::newKeyList() {
  auto* keys = new TYHashedStringList(StrTab);
  keys->pw_OnReplace([this](TYHashedStringList* sender, int index) {
    HashedStringListNotifyHandlerForReplaceKey(sender, index);
  });
  keys->pw_OnDelete([this](TYHashedStringList* sender, int index) {
    HashedStringListNotifyHandlerForDeleteKey(sender, index);
  });
  return keys;
}

void TYIniFile::WriteString(const std::string& section, const std::string& key,
                            const std::string& value) {
  writeString(section, key, value);
}

void TYIniFile::writeString(std::string_view section, std::string_view key,
                            std::string_view value) {
  if (section.empty() || key.empty() || Sections == nullptr) {
    return;
  }
  int index = -1;
  TYHashedStringList* keys = nullptr;
  if (findSection(section, index)) {
    keys = keyListAt(Sections, index);
  } else {
    std::unique_ptr<TYHashedStringList> created(newKeyList());
    index = Sections->Add(section, created.get());
    if (index < 0) {
      return;
    }
    keys = created.release();
    LastSection.assign(section);
    LastSectionIndex = index;
  }
  if (keys == nullptr) {
    keys = newKeyList();
    Sections->pw_Objects(index, keys);
  }
  _YSTRTABCELL* valueCell = value.empty() ? nullptr : StrTab->Add(value);
  int added = -1;
  try {
    added = keys->Add(key, valueCell);
  } catch (...) {
    StrTab->Delete(valueCell);
    throw;
  }
  if (added < 0 && valueCell != nullptr) {
    StrTab->Delete(valueCell);
  }
  Modified = true;
}

void TYIniFile::EraseSection(const std::string& section) {
  int index = -1;
  if (!findSection(section, index)) {
    return;
  }
  HashedStringListNotifyHandlerForDeleteSection(Sections, index);
  Sections->Delete(index);
  LastSection.clear();
  LastSectionIndex = -1;
  Modified = true;
}

void TYIniFile::DeleteKey(const std::string& section, const std::string& key) {
  TYHashedStringList* keys = keyListOf(section);
  const int index = keys != nullptr ? keys->IndexOf(key) : -1;
  if (index >= 0) {
    keys->Delete(index);
    Modified = true;
  }
}

void TYIniFile::DeleteValue(const std::string& section, const std::string& key) {
  TYHashedStringList* keys = keyListOf(section);
  const int index = keys != nullptr ? keys->IndexOf(key) : -1;
  if (index >= 0) {
    deleteValueCell(StrTab, keys, index);
    keys->pw_Objects(index, nullptr);
    Modified = true;
  }
}

void TYIniFile::HashedStringListNotifyHandlerForDeleteSection(TYHashedStringList* Sender,
                                                              int Index) {
  if (TYHashedStringList* keys = keyListAt(Sender, Index)) {
    keys->DeleteAll();
    Sender->pw_Objects(Index, nullptr);
    delete keys;
  }
}

void TYIniFile::HashedStringListNotifyHandlerForReplaceKey(TYHashedStringList* Sender, int Index) {
  deleteValueCell(StrTab, Sender, Index);
}

void TYIniFile::HashedStringListNotifyHandlerForDeleteKey(TYHashedStringList* Sender, int Index) {
  deleteValueCell(StrTab, Sender, Index);
}

std::string TYIniFile::ReadString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) const {
  std::string value;
  return IsValueExisted(section, key, value) ? value : defaultValue;
}

void TYIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  writeString(section, key, FormatPrintf("%d", value));
}

int TYIniFile::ReadInteger(const std::string& section, const std::string& key,
                           int defaultValue) const {
  std::string value;
  return IsValueExisted(section, key, value) ? tvx::platform::StrToInt(value) : defaultValue;
}

void TYIniFile::WriteUnsigned(const std::string& section, const std::string& key,
                              std::uint32_t value) {
  writeString(section, key, FormatPrintf("%d", static_cast<int>(value)));
}

std::uint32_t TYIniFile::ReadUnsigned(const std::string& section, const std::string& key,
                                      std::uint32_t defaultValue) const {
  std::string value;
  return IsValueExisted(section, key, value) ? readUnsignedText(value, defaultValue) : defaultValue;
}

void TYIniFile::WriteHexNum(const std::string& section, const std::string& key,
                            std::uint32_t value) {
  writeString(section, key, FormatPrintf("0x%X", value));
}

std::uint32_t TYIniFile::ReadHexNum(const std::string& section, const std::string& key,
                                    std::uint32_t defaultValue) const {
  return ReadUnsigned(section, key, defaultValue);
}

void TYIniFile::WriteFloat(const std::string& section, const std::string& key, double value) {
  std::string text;
  {
    ScopedCLocale cLocale;
    text = FormatPrintf("%f", value);
  }
  writeString(section, key, text);
}

double TYIniFile::ReadFloat(const std::string& section, const std::string& key,
                            double defaultValue) const {
  std::string value;
  if (!IsValueExisted(section, key, value)) {
    return defaultValue;
  }
  char* end = nullptr;
  const double result = strtod_l(value.c_str(), &end, CLocale());
  return result != 0.0 || end != value.c_str() ? result : defaultValue;
}

void TYIniFile::WriteTime(const std::string& section, const std::string& key, TDateTime value) {
  writeString(section, key, tvx::platform::TimeToStr(value));
}

void TYIniFile::WriteCurrentTime(const std::string& section, const std::string& key) {
  WriteTime(section, key, tvx::platform::Now());
}

TDateTime TYIniFile::ReadTime(const std::string& section, const std::string& key,
                              TDateTime defaultValue) const {
  std::string value;
  return IsValueExisted(section, key, value) ? tvx::platform::StrToTime(value) : defaultValue;
}

void TYIniFile::WriteDate(const std::string& section, const std::string& key, TDateTime value) {
  writeString(section, key, tvx::platform::DateToStr(value));
}

void TYIniFile::WriteCurrentDate(const std::string& section, const std::string& key) {
  WriteDate(section, key, tvx::platform::Now());
}

TDateTime TYIniFile::ReadDate(const std::string& section, const std::string& key,
                              TDateTime defaultValue) const {
  std::string value;
  return IsValueExisted(section, key, value) ? tvx::platform::StrToDate(value) : defaultValue;
}

void TYIniFile::WriteDateTime(const std::string& section, const std::string& key, TDateTime value) {
  writeString(section, key, tvx::platform::DateTimeToStr(value));
}

void TYIniFile::WriteCurrentDateTime(const std::string& section, const std::string& key) {
  WriteDateTime(section, key, tvx::platform::Now());
}

TDateTime TYIniFile::ReadDateTime(const std::string& section, const std::string& key,
                                  TDateTime defaultValue) const {
  std::string value;
  return IsValueExisted(section, key, value) ? tvx::platform::StrToDateTime(value) : defaultValue;
}

void TYIniFile::WriteBool(const std::string& section, const std::string& key, bool value,
                          int style) {
  static constexpr const char* kTexts[][2] = {
      {"0", "1"}, {"False", "True"}, {"Low", "High"}, {"Not", "Yes"}};
  const int row = style >= 1 && style <= 3 ? style : 0;
  writeString(section, key, kTexts[row][value ? 1 : 0]);
}

bool TYIniFile::ReadBool(const std::string& section, const std::string& key,
                         bool defaultValue) const {
  std::string value;
  if (!IsValueExisted(section, key, value)) {
    return defaultValue;
  }
  switch (value[0]) {
    case '0':
    case 'F':
    case 'f':
    case 'L':
    case 'l':
    case 'N':
    case 'n':
      return false;
    case '1':
    case 'T':
    case 't':
    case 'Y':
    case 'y':
    case 'H':
    case 'h':
      return true;
    default:
      return defaultValue;
  }
}

void TYIniFile::Printf(const std::string& section, const std::string& key, const char* format,
                       ...) {
  std::string text;
  {
    ScopedCLocale cLocale;
    va_list args;
    va_start(args, format);
    text = FormatPrintfV(format, args);
    va_end(args);
  }
  writeString(section, key, text);
}

}  // namespace YVclUtil
