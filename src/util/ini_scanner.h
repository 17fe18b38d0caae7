#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace YVclUtil {

// The longest piece of a line the settings store takes at once, line end included; a longer
// line is taken in several pieces, each read as a line of its own.
inline constexpr std::size_t kIniPieceSize = 8191;

// What one piece of an INI file says.
struct IniLine {
  enum class Kind { Ignored, Section, Key };
  Kind kind = Kind::Ignored;
  std::string_view name;   // section name or key, trailing spaces removed
  std::string_view value;  // value of a key line, trailing spaces removed; never empty
};

// Reads one piece by the store's rules. A piece ends at its first zero byte. Ignored: pieces
// whose first byte is LF, CR or '#'. Section header: optional whitespace, '[', optional
// whitespace, a name of one or more bytes up to the first ']' (text after ']' is ignored).
// Key line: optional whitespace, a key up to the first '=', '=', optional whitespace and a value
// of one or more bytes up to CR or LF. Whitespace is that of the C locale (space, \t, \n, \v,
// \f, \r); trimming removes trailing spaces (0x20) only. Any other piece is ignored.
IniLine ScanIniLine(std::string_view piece);

// Splits a file into pieces: each runs through the next LF, or is kIniPieceSize bytes when no
// LF comes sooner, or is the rest of the file.
class IniPieceReader {
 public:
  explicit IniPieceReader(std::FILE* file);

  // The next piece, valid until the following call; false at the end of the file or on a read
  // error (see failed()).
  bool next(std::string_view& piece);
  bool failed() const { return m_failed; }
  // The system's error number of the failed read.
  int error() const { return m_error; }

 private:
  void refill();

  std::FILE* m_file;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_begin = 0;
  std::size_t m_end = 0;
  bool m_atEof = false;
  bool m_failed = false;
  int m_error = 0;
};

}  // namespace YVclUtil
