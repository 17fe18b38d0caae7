#include "app/build_log.h"

namespace tvx {

void BuildLog::add(std::string line) {
  m_lines.push_back(std::move(line));
  changed();
}

void BuildLog::clear() {
  m_lines.clear();
  changed();
}

void BuildLog::changed() const {
  if (m_listener) {
    m_listener();
  }
}

}  // namespace tvx
