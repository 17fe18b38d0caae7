#pragma once

#include <QString>

class QWidget;

namespace tvx {

// Asks before a save replaces the existing file at path: "Replace" or "Keep" (the default,
// also Escape and closing), in the language LANG picks. Qt's own question would be in English
// only, the program carrying no Qt translations.
bool AskToReplace(QWidget* parent, const QString& path, unsigned lang);

}  // namespace tvx
