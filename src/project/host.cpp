#include "project/host.h"

#include <cstdio>
#include <thread>

namespace tvx {

namespace {

template <typename T>
std::optional<T> takeAnswer(std::deque<std::optional<T>>& answers) {
  if (answers.empty()) {
    return std::nullopt;
  }
  std::optional<T> answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace

void Host::pause(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

void StderrHost::showMessage(const std::string& caption, const std::string& text) {
  // Message box texts may end in blank lines that only pad the box.
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.pop_back();
  }
  if (m_write) {
    m_write(caption + ": " + line);
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), line.c_str());
  }
}

std::optional<std::string> StderrHost::chooseOpenFile(const FileDialogRequest&) {
  return std::nullopt;
}

std::optional<std::string> StderrHost::chooseSaveFile(const FileDialogRequest&) {
  return std::nullopt;
}

std::optional<Colour> StderrHost::chooseColour(Colour) {
  return std::nullopt;
}

void StderrHost::pause(std::chrono::milliseconds) {}

void ScriptedHost::showMessage(const std::string& caption, const std::string& text) {
  m_messages.push_back({caption, text});
}

std::optional<std::string> ScriptedHost::chooseOpenFile(const FileDialogRequest& request) {
  m_fileRequests.push_back(request);
  return takeAnswer(m_openAnswers);
}

std::optional<std::string> ScriptedHost::chooseSaveFile(const FileDialogRequest& request) {
  m_fileRequests.push_back(request);
  return takeAnswer(m_saveAnswers);
}

std::optional<Colour> ScriptedHost::chooseColour(Colour) {
  return takeAnswer(m_colourAnswers);
}

void ScriptedHost::pause(std::chrono::milliseconds duration) {
  m_pauses.push_back(duration);
}

void ScriptedHost::clear() {
  m_messages.clear();
  m_fileRequests.clear();
  m_pauses.clear();
}

}  // namespace tvx
