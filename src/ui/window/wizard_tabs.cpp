#include "ui/window/wizard_tabs.h"

#include <QKeyEvent>

namespace tvx {

void WizardTabs::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  if (!modifiers.testFlag(Qt::ControlModifier)) {
    QTabWidget::keyPressEvent(event);
    return;
  }
  const bool shift = modifiers.testFlag(Qt::ShiftModifier);
  switch (event->key()) {
    case Qt::Key_Tab:
      if (shift) {
        emit previousPageAsked();
      } else {
        emit nextPageAsked();
      }
      break;
    case Qt::Key_PageDown:
      emit nextPageAsked();
      break;
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
      emit previousPageAsked();
      break;
    default:
      QTabWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

}  // namespace tvx
