#include "ui/window/slot_keys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

#include "ui/qt/report_exceptions.h"

namespace tvx {

SlotKeys::SlotKeys(QAbstractItemView* view, std::function<void()> empty, std::function<void()> open)
    : QObject(view), m_empty(std::move(empty)), m_open(std::move(open)) {
  view->installEventFilter(this);
}

bool SlotKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) {
    return QObject::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & ~Qt::KeypadModifier) {
    return false;
  }
  const std::function<void()>* command = nullptr;
  if (key->key() == Qt::Key_Delete) {
    command = &m_empty;
  } else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    command = &m_open;
  }
  if (command == nullptr || !*command) {
    return false;
  }
  YVclCtrl::RunReportingExceptions(*command);
  return true;
}

}  // namespace tvx
