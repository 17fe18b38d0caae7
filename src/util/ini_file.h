#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/date_time.h"
#include "util/result.h"

namespace YVclUtil {

class TYStrTab;
class TYHashedStringList;
struct _YSTRTABCELL;  // NOLINT(bugprone-reserved-identifier)

// Whether a store may write its file. Every store reads its file the same way, opened for
// reading only, so a read-only file or a file in a read-only folder can always be read; whether
// it can be written is found out when it is saved.
enum class TYIniAccess {
  // The file is created (empty) when missing; changes are written by UpdateFile and at
  // destruction.
  ReadWrite,
  // The file must exist and be readable; it is never created or written (UpdateFile of a
  // changed store fails). For tools that only look.
  ReadOnly,
  // A document to be saved on request: the file is read when it exists, a missing file is an
  // empty document and is not created; the file is written only by Save or UpdateFile, never at
  // destruction. For saves whose caller reports the failure itself.
  WriteOnSave,
};

// One INI text file as an in-memory document of sections, keys and values.
//
// The document: sections in the order they were first created, each with its keys in the order
// they were first written. Section names and keys are case-sensitive byte strings of 1 to 256
// bytes (longer ones are not stored); values are byte strings, an empty value being the absence
// of a value. Texts are bytes (ASCII and Big5 in this system's files), never converted.
//
// Reading: the file is read once, at construction, in pieces of at most 8191 bytes (a line and
// its LF; a longer line gives several pieces). A piece starting with LF, CR or '#' is a comment;
// "[name]" (whitespace allowed before '[' and around the name, anything after ']' ignored)
// starts a section; "key = value" stores a value through WriteString (trailing spaces of key
// and value removed, a value that is empty or only whitespace drops the line); anything else,
// and key lines before the first section, are ignored. A UTF-8 byte-order mark at the very
// start of the file is skipped.
//
// Writing: the whole document, each section as "[name]" CR LF, its keys as "key=value" CR LF
// (a value of 8192 bytes or more is written as none), then an empty line. The file is replaced
// in one step (temporary file renamed over it), so a failed save leaves the old file whole.
//
// Lookups are hash lookups; runs of accesses to the same section skip the section search.
// Failures show an error box captioned "TYIniFile" (see diagnostic_sink.h). One thread at a
// time; two stores on one file do not see each other and the last save wins.
class TYIniFile {
 public:
  // Reads fileName (an empty name is "UnknownIniFile.ini") into a new document in its own pool,
  // or in the given pool, which must outlive the store. With ReadWrite access a missing file is
  // created empty at once, creating its directory when only that last level is missing; with
  // WriteOnSave it is an empty document and nothing is created.
  // Failures (file cannot be opened, directory or file cannot be created) show an error box and
  // raise EYGeneral "Err: Constructor !!!".
  explicit TYIniFile(const std::string& fileName, TYStrTab* pool = nullptr,
                     TYIniAccess access = TYIniAccess::ReadWrite);
  // UpdateFile (except for WriteOnSave stores), then releases the document. A failed save is
  // shown as an error box.
  ~TYIniFile();
  TYIniFile(const TYIniFile&) = delete;
  TYIniFile& operator=(const TYIniFile&) = delete;

  // The file. A new name marks the document modified (nothing is read).
  const std::string& pr_FileName() const { return FileName; }
  void pw_FileName(const std::string& fileName);
  // The document differs from its file (or must be written to a new name).
  bool pr_Modified() const { return Modified; }
  TYIniAccess pr_Access() const { return Access; }

  // Writes the document when modified; true on success or when there was nothing to write. On
  // failure: error box "Err: Can not create file ...", false, the document stays modified, and
  // pr_LastSaveError() tells why.
  bool UpdateFile();
  // The same without the error box: the failure is returned (and kept in pr_LastSaveError).
  tvx::Result<void> Save();
  // Why the last save failed (which step, the file and the system's reason); nothing after a
  // successful one.
  const std::optional<tvx::Error>& pr_LastSaveError() const { return LastSaveError; }
  // Exactly the bytes a save writes.
  std::string ToText() const;

  // Queries.
  bool SectionExists(const std::string& section) const;
  bool KeyExists(const std::string& section, const std::string& key) const;  // with or w/o value
  bool ValueExists(const std::string& section, const std::string& key) const;
  bool IsSectionExisted(const std::string& section) const;
  bool IsSectionExisted(const std::string& section, int& index) const;
  bool IsKeyExisted(const std::string& section, const std::string& key) const;
  bool IsValueExisted(const std::string& section, const std::string& key) const;
  // Also copies the value; values of 16384 bytes or more count as absent.
  bool IsValueExisted(const std::string& section, const std::string& key, std::string& value) const;
  // Compares the stored value (empty when absent) with text by the collation of the process's
  // locale (LC_COLLATE); StrICmp folds ASCII letters to lower case first. <0, 0 or >0.
  int StrCmp(const std::string& section, const std::string& key, const std::string& text) const;
  int StrICmp(const std::string& section, const std::string& key, const std::string& text) const;

  // Enumeration, in document order; an absent section has no keys.
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(const std::string& section) const;

  // Changes; each accepted one marks the document modified.
  // Empty section or key: nothing. An empty value stores the key without a value. A new key goes
  // to the end of its section, an existing one keeps its place.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& key);
  // Removes only the value; the key stays.
  void DeleteValue(const std::string& section, const std::string& key);

  // Typed values. Each read falls back to defaultValue when the section, key or value is
  // absent. Numbers are written and read in the C locale whatever the user's locale.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // "%d". Reading is the platform's strict conversion (see str_to_int.h); a text that does not
  // convert raises EConvertError "'%s' is not a valid integer value".
  void WriteInteger(const std::string& section, const std::string& key, int value);
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  // Written as "%d" of the same 32 bits (4294967295 is "-1"). Read: a text of 3 or more bytes
  // starting "0x" is hexadecimal, anything else decimal with leading whitespace and a sign
  // allowed ("-1" is 4294967295), as C's strtoul on 32 bits; a result of 0 with no digit read
  // gives the default.
  void WriteUnsigned(const std::string& section, const std::string& key, std::uint32_t value);
  std::uint32_t ReadUnsigned(const std::string& section, const std::string& key,
                             std::uint32_t defaultValue) const;
  // "0x%X" ("0xFF"); read as ReadUnsigned.
  void WriteHexNum(const std::string& section, const std::string& key, std::uint32_t value);
  std::uint32_t ReadHexNum(const std::string& section, const std::string& key,
                           std::uint32_t defaultValue) const;
  // "%f" (six decimals). Read with C's strtod: a result other than 0.0, or 0.0 with at least one
  // character read, else the default.
  void WriteFloat(const std::string& section, const std::string& key, double value);
  double ReadFloat(const std::string& section, const std::string& key, double defaultValue) const;
  // Times and dates in the text forms of date_time.h ("HH:MM:SS", "MM/DD/YYYY", both with a
  // space between). Invalid texts raise EConvertError "'%s' is not a valid time" (date, date
  // and time).
  void WriteTime(const std::string& section, const std::string& key,
                 tvx::platform::TDateTime value);
  void WriteCurrentTime(const std::string& section, const std::string& key);
  tvx::platform::TDateTime ReadTime(const std::string& section, const std::string& key,
                                    tvx::platform::TDateTime defaultValue) const;
  void WriteDate(const std::string& section, const std::string& key,
                 tvx::platform::TDateTime value);
  void WriteCurrentDate(const std::string& section, const std::string& key);
  tvx::platform::TDateTime ReadDate(const std::string& section, const std::string& key,
                                    tvx::platform::TDateTime defaultValue) const;
  void WriteDateTime(const std::string& section, const std::string& key,
                     tvx::platform::TDateTime value);
  void WriteCurrentDateTime(const std::string& section, const std::string& key);
  tvx::platform::TDateTime ReadDateTime(const std::string& section, const std::string& key,
                                        tvx::platform::TDateTime defaultValue) const;
  // Styles (false / true): 0 "0"/"1", 1 "False"/"True", 2 "Low"/"High", 3 "Not"/"Yes"; any
  // other style as 0. Reading looks at the first byte: 0 F f L l N n are false, 1 T t Y y H h
  // true, anything else (or nothing) the default.
  void WriteBool(const std::string& section, const std::string& key, bool value, int style = 0);
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
  // Writes the arguments formatted by the C printf rules (in the C locale).
  void Printf(const std::string& section, const std::string& key, const char* format, ...)
      __attribute__((format(printf, 4, 5)));

 private:
  void load();
  void createMissingFile();
  void releaseDocument();
  bool SaveIniFile();
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  TYHashedStringList* keyListOf(std::string_view section) const;
  _YSTRTABCELL* valueCellOf(std::string_view section, std::string_view key, bool& keyFound) const;
  bool findSection(std::string_view section, int& index) const;
  TYHashedStringList* newKeyList();

  void HashedStringListNotifyHandlerForDeleteSection(TYHashedStringList* Sender, int Index);
  void HashedStringListNotifyHandlerForReplaceKey(TYHashedStringList* Sender, int Index);
  void HashedStringListNotifyHandlerForDeleteKey(TYHashedStringList* Sender, int Index);

  bool OwnsStrTab = false;
  TYStrTab* StrTab = nullptr;
  TYHashedStringList* Sections = nullptr;
  std::string FileName;
  mutable std::string LastSection;
  mutable int LastSectionIndex = -1;
  bool Modified = false;
  TYIniAccess Access;
  std::optional<tvx::Error> LastSaveError;
};

}  // namespace YVclUtil
