#pragma once

#include <QObject>
#include <functional>

class QAbstractItemView;

namespace tvx {

// The keys of a list or grid of picture slots: Delete empties the selected slot, Enter (or
// Return) opens what a double click on it opens. Either may be left empty.
class SlotKeys : public QObject {
 public:
  SlotKeys(QAbstractItemView* view, std::function<void()> empty, std::function<void()> open);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> m_empty;
  std::function<void()> m_open;
};

}  // namespace tvx
