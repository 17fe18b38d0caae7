#include "ui/window/window_growth.h"

#include <algorithm>

namespace tvx {

void WindowGrowth::add(QWidget* control, Follows follows) {
  if (control != nullptr) {
    m_entries.push_back({control, control->geometry(), follows});
  }
}

void WindowGrowth::apply(QSize extra) {
  const int dx = std::max(0, extra.width());
  const int dy = std::max(0, extra.height());
  for (const Entry& entry : m_entries) {
    QWidget* control = entry.control;
    if (control == nullptr) {
      continue;
    }
    const QPoint at = entry.design.topLeft() + QPoint(entry.follows & kMoveRight ? dx : 0,
                                                      entry.follows & kMoveDown ? dy : 0);
    if (entry.follows & (kGrowWidth | kGrowHeight)) {
      const QSize size = entry.design.size() + QSize(entry.follows & kGrowWidth ? dx : 0,
                                                     entry.follows & kGrowHeight ? dy : 0);
      control->setGeometry(QRect(at, size));
    } else {
      control->move(at);
    }
  }
}

}  // namespace tvx
