#include "cli/stdin_lines.h"

#include <iostream>
#include <thread>

namespace tvx::cli {

StdinLines::StdinLines(tvx::EventLoop& loop) : m_state(std::make_shared<State>()) {
  m_state->loop = &loop;
  std::thread([state = m_state] {
    std::string line;
    bool more = true;
    while (more) {
      more = static_cast<bool>(std::getline(std::cin, line));
      std::lock_guard lock(state->mutex);
      if (more) {
        state->lines.push_back(line);
      } else {
        state->eof = true;
      }
      if (state->loop != nullptr) {
        state->loop->post([] {});
      }
    }
  }).detach();
}

StdinLines::~StdinLines() {
  std::lock_guard lock(m_state->mutex);
  m_state->loop = nullptr;
}

bool StdinLines::ready() const {
  std::lock_guard lock(m_state->mutex);
  return !m_state->lines.empty() || m_state->eof;
}

std::optional<std::string> StdinLines::take() {
  std::lock_guard lock(m_state->mutex);
  if (m_state->lines.empty()) {
    return std::nullopt;
  }
  std::string line = std::move(m_state->lines.front());
  m_state->lines.pop_front();
  return line;
}

}  // namespace tvx::cli
