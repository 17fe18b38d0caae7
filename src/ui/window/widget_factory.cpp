#include "ui/window/widget_factory.h"

#include "ui/window/form_captions.h"

namespace tvx::form {

namespace {

template <typename Control>
Control* captioned(Control* control, const char* name, const QRect& at) {
  Place(control, name, at);
  FitToCaption(control);
  return control;
}

}  // namespace

QRadioButton* Radio(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  return captioned(new QRadioButton(caption, parent), name, at);
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  return captioned(new QCheckBox(caption, parent), name, at);
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  return captioned(new QLabel(caption, parent), name, at);
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  return captioned(new QGroupBox(caption, parent), name, at);
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  return captioned(new QPushButton(caption, parent), name, at);
}

QFrame* Panel(QWidget* parent, const char* name, const QRect& at) {
  auto* panel = Place(new QFrame(parent), name, at);
  panel->setFrameShape(QFrame::StyledPanel);
  return panel;
}

QComboBox* Combo(QWidget* parent, const char* name, const QStringList& items, const QRect& at) {
  auto* combo = Place(new QComboBox(parent), name, at);
  combo->addItems(items);
  return combo;
}

QStringList NumberItems(int first, int count) {
  QStringList items;
  items.reserve(count);
  for (int i = 0; i < count; ++i) {
    items << QString::number(first + i);
  }
  return items;
}

}  // namespace tvx::form
