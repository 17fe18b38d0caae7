#include "ui/window/unsaved_changes.h"

#include <QMessageBox>
#include <QPushButton>

namespace tvx {

UnsavedChoice AskAboutUnsavedChanges(QWidget* parent, unsigned language) {
  const bool english = language == 0;
  QMessageBox box(QMessageBox::Warning, QStringLiteral("TVX880"),
                  english ? QStringLiteral("The project has changes that are not saved.")
                          : QStringLiteral("專案有尚未儲存的變更。"),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
  box.setInformativeText(english ? QStringLiteral("Do you want to save them?")
                                 : QStringLiteral("要儲存變更嗎?"));
  // The captions do not depend on Qt's catalogue being installed.
  box.button(QMessageBox::Save)->setText(english ? QStringLiteral("Save") : QStringLiteral("儲存"));
  box.button(QMessageBox::Discard)
      ->setText(english ? QStringLiteral("Discard") : QStringLiteral("不儲存"));
  box.button(QMessageBox::Cancel)
      ->setText(english ? QStringLiteral("Cancel") : QStringLiteral("取消"));
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save:
      return UnsavedChoice::kSave;
    case QMessageBox::Discard:
      return UnsavedChoice::kDiscard;
    default:
      return UnsavedChoice::kCancel;
  }
}

}  // namespace tvx
