#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "util/bilingual_text.h"
#include "util/printf_format.h"

// A text the user reads, composed at run time in both of the tool's languages.
namespace tvx {

struct Words {
  std::string chinese;
  std::string english;

  // lang is the LANG setting: 0 English, anything else Chinese.
  const std::string& forLanguage(unsigned lang) const { return lang == 0 ? english : chinese; }
  bool empty() const { return english.empty() && chinese.empty(); }
  bool operator==(const Words&) const = default;
};

// Turns bytes from the user's files (Big5 floor texts, file and folder names) into UTF-8.
using TextToUtf8 = std::function<std::string(std::string_view)>;

inline Words WordsOf(BilingualText text) {
  return {std::string(text.chinese), std::string(text.english)};
}

// Each language's pattern (a printf format written in the code, never a user's text) filled
// with the same arguments.
template <typename... Args>
Words FormatWords(BilingualText pattern, Args... args) {
  static_assert(sizeof...(Args) > 0, "a pattern without arguments is WordsOf");
  return {YVclUtil::FormatPrintf(pattern.chinese.data(), args...),
          YVclUtil::FormatPrintf(pattern.english.data(), args...)};
}

// Each language's pattern filled with that language's words (each "%s" in turn), then args.
template <typename... Args>
Words FormatWordsWith(BilingualText pattern, const Words& first, Args... args) {
  return {YVclUtil::FormatPrintf(pattern.chinese.data(), first.chinese.c_str(), args...),
          YVclUtil::FormatPrintf(pattern.english.data(), first.english.c_str(), args...)};
}
inline Words FormatWordsWith(BilingualText pattern, const Words& first, const Words& second) {
  return {
      YVclUtil::FormatPrintf(pattern.chinese.data(), first.chinese.c_str(), second.chinese.c_str()),
      YVclUtil::FormatPrintf(pattern.english.data(), first.english.c_str(),
                             second.english.c_str())};
}

// first, then separator, then second, in each language.
inline Words JoinWords(const Words& first, BilingualText separator, const Words& second) {
  return {first.chinese + std::string(separator.chinese) + second.chinese,
          first.english + std::string(separator.english) + second.english};
}

}  // namespace tvx
