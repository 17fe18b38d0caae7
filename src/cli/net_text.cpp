#include "cli/net_text.h"

#include "cli/console_text.h"

namespace tvx::cli {

std::string hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value & 0xFFU);
  return text;
}

std::string address(unsigned seg, unsigned node) {
  return hex2(seg) + "/" + hex2(node);
}

std::string bits(std::uint8_t byte, char name) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    text += std::string(i == 0 ? "" : " ") + name + std::to_string(i) + "=" +
            (((byte >> i) & 1U) != 0 ? "1" : "0");
  }
  return text;
}

std::string oneLine(const std::string& message) {
  std::string line;
  for (const char c : message) {
    if (c == '\n') {
      if (!line.empty() && line.back() != ' ') {
        line += "; ";
      }
    } else {
      line += c;
    }
  }
  while (!line.empty() && (line.back() == ' ' || line.back() == ';')) {
    line.pop_back();
  }
  return line;
}

void say(const std::string& text) {
  PrintLine(stdout, text);
}

std::optional<unsigned> parseHex(const std::string& text, unsigned max) {
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.erase(0, 2);
  }
  if (digits.empty() || digits.size() > 2 ||
      digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned value = static_cast<unsigned>(std::stoul(digits, nullptr, 16));
  return value <= max ? std::optional<unsigned>(value) : std::nullopt;
}

std::optional<unsigned> parseDecimal(const std::string& text, unsigned max) {
  if (text.empty() || text.size() > 9 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned value = static_cast<unsigned>(std::stoul(text));
  return value <= max ? std::optional<unsigned>(value) : std::nullopt;
}

}  // namespace tvx::cli
