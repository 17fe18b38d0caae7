#pragma once

#include <QHash>
#include <QString>
#include <vector>

#include "project/window_state.h"

class QObject;
class QWidget;

namespace tvx {

// The caption of a control found by its object name: a button's or label's text, a group box's
// title, a menu's title or a menu item's text, a page's tab text.
QString CaptionOf(const QObject* control);
void SetCaption(QObject* control, const QString& caption);

// Makes a control that the form places by hand wide enough for its caption (never narrower).
void FitToCaption(QWidget* control);

// Applies the captions of the settings' language section to the controls of a form by name.
// The first time it meets a control it remembers the control's design caption, which a
// control gets back when the settings have no caption for it.
class FormCaptions {
 public:
  explicit FormCaptions(QWidget* form) : m_form(form) {}

  void apply(const std::vector<CaptionEntry>& captions);
  // The design caption of a control (empty for an unknown name).
  QString designCaption(const QString& control) const;

 private:
  QObject* find(const QString& name) const;

  QWidget* m_form;
  QHash<QString, QString> m_design;
};

}  // namespace tvx
