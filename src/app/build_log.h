#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tvx {

// The log box of the build page: lines in the chosen language, added at the end. The window
// listens for changes to redraw its memo.
class BuildLog {
 public:
  void add(std::string line);
  void clear();
  const std::vector<std::string>& lines() const { return m_lines; }
  // Called after every change.
  void setListener(std::function<void()> listener) { m_listener = std::move(listener); }

 private:
  void changed() const;

  std::vector<std::string> m_lines;
  std::function<void()> m_listener;
};

// A listener of the log for as long as it lives; the log has none afterwards.
class ScopedLogListener {
 public:
  ScopedLogListener(BuildLog& log, std::function<void()> listener) : m_log(log) {
    m_log.setListener(std::move(listener));
  }
  ~ScopedLogListener() { m_log.setListener(nullptr); }
  ScopedLogListener(const ScopedLogListener&) = delete;
  ScopedLogListener& operator=(const ScopedLogListener&) = delete;

 private:
  BuildLog& m_log;
};

}  // namespace tvx
