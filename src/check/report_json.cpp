#include <cstdio>

#include "check/report_format.h"

namespace tvx {

namespace {

// The length of the UTF-8 sequence starting at text[i], or 0 when none starts there.
std::size_t utf8SequenceAt(std::string_view text, std::size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  const std::size_t length = c < 0x80           ? 1
                             : (c >> 5) == 0x6  ? 2
                             : (c >> 4) == 0xE  ? 3
                             : (c >> 3) == 0x1E ? 4
                                                : 0;
  if (length == 0 || i + length > text.size()) {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
      return 0;
    }
  }
  return length;
}

bool isUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = utf8SequenceAt(text, i);
    if (length == 0) {
      return false;
    }
    i += length;
  }
  return true;
}

class JsonWriter {
 public:
  explicit JsonWriter(const TextToUtf8& toUtf8) : m_toUtf8(toUtf8) {}

  std::string quoted(std::string_view text) const {
    std::string utf8 = isUtf8(text) || !m_toUtf8 ? std::string(text) : m_toUtf8(text);
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
      const std::size_t length = utf8SequenceAt(utf8, i);
      const auto c = static_cast<unsigned char>(utf8[i]);
      if (length == 0) {
        out += "\xEF\xBF\xBD";  // U+FFFD for a byte that starts no UTF-8 character
        ++i;
        continue;
      }
      if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", c);
        out += escape;
      } else {
        out.append(utf8, i, length);
      }
      i += length;
    }
    return out + "\"";
  }

  std::string words(const Words& words) const {
    return "{\"en\": " + quoted(words.english) + ", \"zh\": " + quoted(words.chinese) + "}";
  }

 private:
  const TextToUtf8& m_toUtf8;
};

std::string number(std::uint64_t value) {
  return std::to_string(value);
}

std::string finding(const JsonWriter& json, const Finding& f) {
  std::string out = "    {\"severity\": " + json.quoted(SeverityName(f.severity)) +
                    ", \"kind\": " + json.quoted(FindingKindName(f.kind)) +
                    ",\n     \"section\": " + json.quoted(f.entry.section) +
                    ", \"key\": " + json.quoted(f.entry.key) +
                    ", \"bank\": " + (f.slot ? std::to_string(f.slot->bank) : "null") +
                    ", \"slot\": " + (f.slot ? std::to_string(f.slot->slot) : "null") +
                    ",\n     \"file\": " + json.quoted(f.file) +
                    ",\n     \"role\": " + json.words(f.role) +
                    ",\n     \"problem\": " + json.words(f.problem) +
                    ",\n     \"fix\": " + json.words(f.fix) + "}";
  return out;
}

std::string largest(const JsonWriter& json, const ResourceSize& r) {
  return "{\"bank\": " + std::to_string(r.slot.bank) +
         ", \"slot\": " + std::to_string(r.slot.slot) + ", \"file\": " + json.quoted(r.file) +
         ", \"bytes\": " + number(r.bytes) + ", \"role\": " + json.words(r.role) + "}";
}

}  // namespace

std::string RenderReportJson(const CheckReport& report, const TextToUtf8& toUtf8) {
  const JsonWriter json(toUtf8);
  std::string out = "{\n  \"errors\": " + std::to_string(report.errors()) +
                    ",\n  \"warnings\": " + std::to_string(report.warnings()) +
                    ",\n  \"notes\": " + std::to_string(report.notes()) +
                    ",\n  \"memory\": {\"used\": " + number(report.memory.used) +
                    ", \"capacity\": " + number(report.memory.capacity) +
                    ", \"fits\": " + (report.memory.fits() ? "true" : "false") +
                    ",\n    \"largest\": [";
  for (std::size_t i = 0; i < report.memory.largest.size(); ++i) {
    out += (i == 0 ? "\n      " : ",\n      ") + largest(json, report.memory.largest[i]);
  }
  out += "]},\n  \"findings\": [";
  for (std::size_t i = 0; i < report.findings.size(); ++i) {
    out += (i == 0 ? "\n" : ",\n") + finding(json, report.findings[i]);
  }
  return out + "]\n}\n";
}

}  // namespace tvx
