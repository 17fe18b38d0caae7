#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "util/event_loop.h"

namespace tvx::cli {

// Lines typed on standard input, read by a thread of their own so that the loop keeps
// delivering what the bridge sends while the technician types. Every line (and the end of
// the input) wakes the loop.
class StdinLines {
 public:
  explicit StdinLines(tvx::EventLoop& loop);
  ~StdinLines();
  StdinLines(const StdinLines&) = delete;
  StdinLines& operator=(const StdinLines&) = delete;

  // A line is waiting, or the input has ended.
  bool ready() const;
  // The next line, or nothing at the end of the input.
  std::optional<std::string> take();

 private:
  // Shared with the reading thread, which outlives this object while it waits for a line.
  struct State {
    std::mutex mutex;
    std::deque<std::string> lines;
    bool eof = false;
    tvx::EventLoop* loop = nullptr;
  };
  std::shared_ptr<State> m_state;
};

}  // namespace tvx::cli
