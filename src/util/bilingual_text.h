#pragma once

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

}  // namespace tvx
