#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tvx {

// A text the user reads, in both of the tool's languages. The LANG setting picks one:
// 0 is English, any other value Chinese.
struct BilingualText {
  std::string_view chinese;
  std::string_view english;

  constexpr std::string_view pick(bool inEnglish) const { return inEnglish ? english : chinese; }
  constexpr std::string_view forLanguage(unsigned lang) const { return pick(lang == 0); }
};

// The text with each "%s" in turn replaced by the next value, taken as it is (a path may hold
// a "%" of its own).
inline std::string FillIn(std::string_view text, std::initializer_list<std::string> values) {
  std::string filled(text);
  std::size_t from = 0;
  for (const std::string& value : values) {
    const std::size_t mark = filled.find("%s", from);
    if (mark == std::string::npos) {
      break;
    }
    filled.replace(mark, 2, value);
    from = mark + value.size();
  }
  return filled;
}

}  // namespace tvx
