#pragma once

#include <QTabWidget>

namespace tvx {

// The page control of the window's wizard: one page shown at a time, its other tabs hidden.
// Ctrl+Tab, Ctrl+PageDown and their reverses ask for the next or previous page, as the page
// buttons do, instead of showing a hidden page under the current tab.
class WizardTabs : public QTabWidget {
  Q_OBJECT

 public:
  using QTabWidget::QTabWidget;

 signals:
  void nextPageAsked();
  void previousPageAsked();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tvx
