#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tvx::platform {

// The base exception of the desktop platform: a message text and a help context.
// "Illegal property access, because ..." errors are raised as this class itself.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message, int helpContext = 0)
      : m_message(std::move(message)), m_helpContext(helpContext) {}

  const char* what() const noexcept override { return m_message.c_str(); }
  const std::string& Message() const noexcept { return m_message; }
  int HelpContext() const noexcept { return m_helpContext; }

 protected:
  void setMessage(std::string message) { m_message = std::move(message); }

 private:
  std::string m_message;
  int m_helpContext;
};

// A text that does not convert to the number, date or time asked for.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// An input/output failure: a drive, folder or file that cannot be reached.
class EInOutError : public Exception {
 public:
  explicit EInOutError(std::string message, int errorCode = 0)
      : Exception(std::move(message)), ErrorCode(errorCode) {}

  int ErrorCode;
};

}  // namespace tvx::platform
