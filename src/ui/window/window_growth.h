#pragma once

#include <QFlags>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace tvx {

// How the controls of the window's design follow the window when it is made larger than its
// design size: each grows or moves by what the window has grown, from the geometry it had when
// it was added. Controls not added keep their place. A moving control keeps its size, so that a
// control widened for its caption stays so.
class WindowGrowth {
 public:
  enum Follow {
    kGrowWidth = 1,
    kGrowHeight = 2,
    kMoveRight = 4,
    kMoveDown = 8,
  };
  Q_DECLARE_FLAGS(Follows, Follow)

  // Records the control's geometry as its design geometry (none: nothing is added).
  void add(QWidget* control, Follows follows);
  // Lays the controls out for a window that is extra larger than its design size.
  void apply(QSize extra);

 private:
  struct Entry {
    QPointer<QWidget> control;
    QRect design;
    Follows follows;
  };
  std::vector<Entry> m_entries;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(WindowGrowth::Follows)

}  // namespace tvx
