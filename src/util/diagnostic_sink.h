#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace YVclUtil {

// Where error message boxes and debugger trace lines go. The window installs one that shows
// real message boxes; the command-line tool keeps the default (stderr); tests record.
// Sinks may be called from any thread.
class DiagnosticSink {
 public:
  virtual ~DiagnosticSink() = default;
  // A task-modal error box with an OK button; returns when it has been dismissed.
  virtual void showErrorBox(const std::string& caption, const std::string& text) = 0;
  virtual void debugString(const std::string& text) = 0;
};

// Writes boxes as "caption: text" lines and traces as "debug: text" lines to stderr.
class StderrDiagnosticSink : public DiagnosticSink {
 public:
  void showErrorBox(const std::string& caption, const std::string& text) override;
  void debugString(const std::string& text) override;
};

// Remembers everything it is given.
class RecordingDiagnosticSink : public DiagnosticSink {
 public:
  struct Box {
    std::string caption;
    std::string text;
  };

  void showErrorBox(const std::string& caption, const std::string& text) override;
  void debugString(const std::string& text) override;

  std::vector<Box> boxes() const;
  std::vector<std::string> debugLines() const;
  void clear();

 private:
  mutable std::mutex m_mutex;
  std::vector<Box> m_boxes;
  std::vector<std::string> m_debugLines;
};

// The sink in use; never null (the stderr sink when none was installed).
DiagnosticSink& CurrentDiagnosticSink();
// Installs a sink (null restores the stderr sink) and returns the previous one.
DiagnosticSink* SetDiagnosticSink(DiagnosticSink* sink);

// Installs a sink for the lifetime of the guard.
class ScopedDiagnosticSink {
 public:
  explicit ScopedDiagnosticSink(DiagnosticSink& sink) : m_previous(SetDiagnosticSink(&sink)) {}
  ~ScopedDiagnosticSink() { SetDiagnosticSink(m_previous); }
  ScopedDiagnosticSink(const ScopedDiagnosticSink&) = delete;
  ScopedDiagnosticSink& operator=(const ScopedDiagnosticSink&) = delete;

 private:
  DiagnosticSink* m_previous;
};

}  // namespace YVclUtil
