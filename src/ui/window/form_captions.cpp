#include "ui/window/form_captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QTabWidget>

#include "ui/qt/display_text.h"

namespace tvx {

namespace {

// The page control that shows a page as one of its tabs.
QTabWidget* tabWidgetOf(const QObject* page, int* index) {
  const auto* widget = qobject_cast<const QWidget*>(page);
  for (QObject* parent = page != nullptr ? page->parent() : nullptr; parent != nullptr;
       parent = parent->parent()) {
    if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
      *index = tabs->indexOf(const_cast<QWidget*>(widget));
      return *index >= 0 ? tabs : nullptr;
    }
  }
  return nullptr;
}

}  // namespace

QString CaptionOf(const QObject* control) {
  int index = -1;
  if (QTabWidget* tabs = tabWidgetOf(control, &index)) {
    return tabs->tabText(index);
  }
  if (const auto* menu = qobject_cast<const QMenu*>(control)) {
    return menu->title();
  }
  if (const auto* action = qobject_cast<const QAction*>(control)) {
    return action->text();
  }
  if (const auto* box = qobject_cast<const QGroupBox*>(control)) {
    return box->title();
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
    return button->text();
  }
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    return label->text();
  }
  return {};
}

void SetCaption(QObject* control, const QString& caption) {
  int index = -1;
  if (QTabWidget* tabs = tabWidgetOf(control, &index)) {
    tabs->setTabText(index, caption);
  } else if (auto* menu = qobject_cast<QMenu*>(control)) {
    menu->setTitle(caption);
  } else if (auto* action = qobject_cast<QAction*>(control)) {
    action->setText(caption);
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    box->setTitle(caption);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(caption);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(caption);
  }
  if (auto* widget = qobject_cast<QWidget*>(control)) {
    FitToCaption(widget);
  }
}

void FitToCaption(QWidget* control) {
  const QWidget* parent = control->parentWidget();
  if (parent != nullptr && parent->layout() != nullptr && parent->layout()->indexOf(control) >= 0) {
    return;  // the layout sizes it
  }
  int wanted = 0;
  if (auto* box = qobject_cast<QGroupBox*>(control)) {
    wanted = QFontMetrics(box->font()).horizontalAdvance(box->title()) + 24;
  } else if (qobject_cast<QAbstractButton*>(control) != nullptr ||
             qobject_cast<QLabel*>(control) != nullptr) {
    wanted = control->sizeHint().width();
  }
  if (wanted > control->width()) {
    control->resize(wanted, control->height());
  }
}

QObject* FormCaptions::find(const QString& name) const {
  if (m_form->objectName() == name) {
    return m_form;
  }
  return m_form->findChild<QObject*>(name);
}

void FormCaptions::apply(const std::vector<CaptionEntry>& captions) {
  for (const CaptionEntry& entry : captions) {
    const QString name = QString::fromStdString(entry.control);
    QObject* control = find(name);
    if (control == nullptr) {
      continue;
    }
    if (!m_design.contains(name)) {
      m_design.insert(name, CaptionOf(control));
    }
    SetCaption(control, entry.text ? DisplayText(*entry.text) : m_design.value(name));
  }
}

QString FormCaptions::designCaption(const QString& control) const {
  if (m_design.contains(control)) {
    return m_design.value(control);
  }
  const QObject* found = find(control);
  return found != nullptr ? CaptionOf(found) : QString();
}

}  // namespace tvx
