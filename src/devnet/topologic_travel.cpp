#include "devnet/topologic_travel.h"

#include <cctype>

namespace KwxCtrl {
namespace {

class Scanner {
 public:
  explicit Scanner(std::string_view text) : m_text(text) {}

  void skipBlanks() {
    while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at]))) {
      ++m_at;
    }
  }

  // A pattern: blanks match any run of white space, other characters themselves.
  bool match(std::string_view pattern) {
    for (char expected : pattern) {
      if (expected == ' ') {
        skipBlanks();
      } else if (m_at < m_text.size() && m_text[m_at] == expected) {
        ++m_at;
      } else {
        return false;
      }
    }
    return true;
  }

  // One or more characters up to the next quotation mark.
  bool readQuoted(std::string& out) {
    const std::size_t end = m_text.find('"', m_at);
    const std::size_t stop = end == std::string_view::npos ? m_text.size() : end;
    if (stop == m_at) {
      return false;
    }
    out.assign(m_text.substr(m_at, stop - m_at));
    m_at = stop;
    return true;
  }

  // Hexadecimal digits after optional white space; large values saturate.
  bool readHex(unsigned& out) {
    skipBlanks();
    const std::size_t start = m_at;
    unsigned long value = 0;
    while (m_at < m_text.size() && std::isxdigit(static_cast<unsigned char>(m_text[m_at]))) {
      const char c = m_text[m_at++];
      const unsigned digit = std::isdigit(static_cast<unsigned char>(c))
                                 ? static_cast<unsigned>(c - '0')
                                 : static_cast<unsigned>(std::toupper(c) - 'A' + 10);
      value = value > 0xFFFFFFFUL ? 0xFFFFFFFFUL : value * 16 + digit;
    }
    out = static_cast<unsigned>(value > 0xFFFFFFFFUL ? 0xFFFFFFFFUL : value);
    return m_at > start;
  }

 private:
  std::string_view m_text;
  std::size_t m_at = 0;
};

}  // namespace

std::optional<TravelDeclaration> ParseTravelValue(std::string_view value) {
  Scanner scanner(value);
  TravelDeclaration declaration;
  if (!scanner.match(" Device( \"") || !scanner.readQuoted(declaration.Device) ||
      declaration.Device.size() > kTravelMaxDeviceName || !scanner.match("\" ) , NetNodeId( 0x") ||
      !scanner.readHex(declaration.NetNodeId)) {
    return std::nullopt;
  }
  return declaration;
}

}  // namespace KwxCtrl
