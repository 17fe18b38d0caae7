#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "util/bilingual_text.h"

// The one result type of everything whose failures no interface of the indicator's tools
// prescribes: a value, or an Error that names the file or object and says what is wrong.
// Lower layers never show an error; the front ends put it into words with ErrorText()
// (util/error_text.h), the one place where errors are worded, in both languages.
namespace tvx {

enum class ErrorCode {
  kNoSuchFile,  // the file or folder does not exist
  kNotAFile,    // it exists but is no regular file (a folder, a device)
  kNotAFolder,  // it exists but is no folder
  kSystem,      // the system refused; systemError holds its errno
  kShortened,   // the file became shorter while it was read
  kEmpty,       // it holds nothing
  kInvalid,     // its content or value is wrong; detail says how (English; empty when stated)
};

struct Error {
  ErrorCode code = ErrorCode::kInvalid;
  std::string subject;  // the file, port, setting or object concerned (may be empty)
  std::string detail;   // kInvalid: what is wrong; other codes: extra words, usually empty
  int systemError = 0;  // kSystem: the errno value
  // What could not be done, "%s" standing for the subject: {"無法寫入 \"%s\"", "cannot write
  // \"%s\""}. Empty: the text is "subject: reason".
  BilingualText action{};

  Error withAction(BilingualText what) && {
    action = what;
    return std::move(*this);
  }

  static Error System(std::string subject, int errorNumber) {
    return {ErrorCode::kSystem, std::move(subject), {}, errorNumber, {}};
  }
  static Error Invalid(std::string subject, std::string what) {
    return {ErrorCode::kInvalid, std::move(subject), std::move(what), 0, {}};
  }
  static Error Of(ErrorCode code, std::string subject) {
    return {code, std::move(subject), {}, 0, {}};
  }
  // An error said in one sentence of its own, "%s" standing for the subject: {"…", "port \"%s\"
  // is neither COMn nor a device path"}. Its text is the sentence, with no reason after it.
  static Error Stated(std::string subject, BilingualText sentence) {
    return {ErrorCode::kInvalid, std::move(subject), {}, 0, sentence};
  }
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}      // NOLINT: implicit
  Result(Error error) : m_state(std::in_place_index<1>, std::move(error)) {}  // NOLINT: implicit

  bool ok() const { return m_state.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(m_state); }
  const T& value() const& { return std::get<0>(m_state); }
  T&& value() && { return std::get<0>(std::move(m_state)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const& { return std::get<1>(m_state); }
  Error&& error() && { return std::get<1>(std::move(m_state)); }

 private:
  std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : m_error(std::move(error)) {}  // NOLINT: implicit

  bool ok() const { return !m_error.has_value(); }
  explicit operator bool() const { return ok(); }

  const Error& error() const& { return *m_error; }
  Error&& error() && { return std::move(*m_error); }

 private:
  std::optional<Error> m_error;
};

}  // namespace tvx

// Returns the error of a failed step from the function that runs it:
//   TVX_TRY(WriteHeader(out));
#define TVX_TRY(expression)                        \
  do {                                             \
    if (auto tvxTried_ = (expression); !tvxTried_) \
      return std::move(tvxTried_).error();         \
  } while (false)
