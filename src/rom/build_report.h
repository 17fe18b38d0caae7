#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "util/bilingual_text.h"
#include "util/error_text.h"

// How the steps of a build talk: log lines in the chosen language and trace texts for a hook.
// A failure that ends a build is the Error its step returns: a picture the background
// converter refuses, a slot value that names neither a picture nor a library resource, a
// temporary or output file that cannot be written. It names the file and says what is wrong.
namespace tvx {

class BuildReporter {
 public:
  using Sink = std::function<void(const std::string&)>;

  // lang is the LANG setting: 0 English, anything else Chinese. Without a log sink lines are
  // dropped; without a trace sink trace texts are.
  explicit BuildReporter(unsigned lang, Sink log = {}, Sink trace = {})
      : m_english(lang == 0), m_log(std::move(log)), m_trace(std::move(trace)) {}

  bool english() const { return m_english; }
  unsigned lang() const { return m_english ? 0 : 1; }
  std::string pick(BilingualText text) const { return std::string(text.pick(m_english)); }
  // Why a file step failed, in the chosen language.
  std::string reason(const Error& error) const { return ErrorReason(error, lang()); }

  void log(const std::string& line) const {
    if (m_log) {
      m_log(line);
    }
  }
  void log(BilingualText text) const { log(pick(text)); }
  void trace(const std::string& text) const {
    if (m_trace) {
      m_trace(text);
    }
  }

 private:
  bool m_english;
  Sink m_log;
  Sink m_trace;
};

}  // namespace tvx
