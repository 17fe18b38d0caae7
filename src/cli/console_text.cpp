#include "cli/console_text.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "util/text_encoding.h"

namespace tvx::cli {

namespace {

// The locale name LC_CTYPE takes from the environment: the first of LC_ALL, LC_CTYPE, LANG
// that is set and not empty.
std::string environmentLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      return value;
    }
  }
  return {};
}

bool namesUtf8(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name.find("utf-8") != std::string::npos || name.find("utf8") != std::string::npos;
}

bool detectUtf8() {
  // Asked of a locale object of its own, so that the process keeps the C locale its
  // conversions rely on.
  if (locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr))) {
    const bool utf8 = namesUtf8(nl_langinfo_l(CODESET, user));
    freelocale(user);
    return utf8;
  }
  return namesUtf8(environmentLocaleName());
}

}  // namespace

bool ConsoleIsUtf8() {
  static const bool utf8 = detectUtf8();
  return utf8;
}

std::string ConsoleText(std::string_view text) {
  if (!ConsoleIsUtf8() || IsValidUtf8(text)) {
    return std::string(text);
  }
  std::string shown;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    end = end == std::string_view::npos ? text.size() : end + 1;
    shown += TextAsUtf8(text.substr(from, end - from));
    from = end;
  }
  return shown;
}

void Print(std::FILE* stream, std::string_view text) {
  const std::string shown = ConsoleText(text);
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fflush(stream);
}

void PrintLine(std::FILE* stream, std::string_view line) {
  Print(stream, std::string(line) + "\n");
}

}  // namespace tvx::cli
