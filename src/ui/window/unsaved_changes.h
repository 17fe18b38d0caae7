#pragma once

class QWidget;

namespace tvx {

enum class UnsavedChoice { kSave, kDiscard, kCancel };

// Asks what becomes of the changes to the project before it is replaced or the window closes.
// language: 0 English, anything else Chinese.
UnsavedChoice AskAboutUnsavedChanges(QWidget* parent, unsigned language);

}  // namespace tvx
