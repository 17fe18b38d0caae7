#include "util/diagnostic_sink.h"

#include <atomic>
#include <cstdio>

namespace YVclUtil {
namespace {

StderrDiagnosticSink g_stderrSink;
std::atomic<DiagnosticSink*> g_sink{nullptr};

}  // namespace

void StderrDiagnosticSink::showErrorBox(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void StderrDiagnosticSink::debugString(const std::string& text) {
  std::fprintf(stderr, "debug: %s\n", text.c_str());
}

void RecordingDiagnosticSink::showErrorBox(const std::string& caption, const std::string& text) {
  std::lock_guard lock(m_mutex);
  m_boxes.push_back({caption, text});
}

void RecordingDiagnosticSink::debugString(const std::string& text) {
  std::lock_guard lock(m_mutex);
  m_debugLines.push_back(text);
}

std::vector<RecordingDiagnosticSink::Box> RecordingDiagnosticSink::boxes() const {
  std::lock_guard lock(m_mutex);
  return m_boxes;
}

std::vector<std::string> RecordingDiagnosticSink::debugLines() const {
  std::lock_guard lock(m_mutex);
  return m_debugLines;
}

void RecordingDiagnosticSink::clear() {
  std::lock_guard lock(m_mutex);
  m_boxes.clear();
  m_debugLines.clear();
}

DiagnosticSink& CurrentDiagnosticSink() {
  DiagnosticSink* sink = g_sink.load();
  return sink != nullptr ? *sink : g_stderrSink;
}

DiagnosticSink* SetDiagnosticSink(DiagnosticSink* sink) {
  return g_sink.exchange(sink);
}

}  // namespace YVclUtil
