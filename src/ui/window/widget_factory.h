#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QString>
#include <QStringList>

// Controls placed by hand at the positions of the window's design, named as the design names
// them. Each helper makes the control, names it, places it, and widens it when its caption
// needs more room than the design gave.
namespace tvx::form {

template <typename Control>
Control* Place(Control* control, const char* name, const QRect& geometry) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(geometry);
  return control;
}

QRadioButton* Radio(QWidget* parent, const char* name, const QString& caption, const QRect& at);
QCheckBox* Check(QWidget* parent, const char* name, const QString& caption, const QRect& at);
QLabel* Label(QWidget* parent, const char* name, const QString& caption, const QRect& at);
QGroupBox* Group(QWidget* parent, const char* name, const QString& caption, const QRect& at);
QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QRect& at);
// A panel of the design: a plain container without a caption.
QFrame* Panel(QWidget* parent, const char* name, const QRect& at);
QComboBox* Combo(QWidget* parent, const char* name, const QStringList& items, const QRect& at);

// "first" .. "first + count - 1" as texts: the number lists of the design.
QStringList NumberItems(int first, int count);

}  // namespace tvx::form
