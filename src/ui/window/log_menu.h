#pragma once

class QPlainTextEdit;

namespace tvx {

class Studio;

// The context menu of the build log: "Copy" (the selection, or the whole log when nothing is
// selected) and "Save log as…", which writes the log as shown into a text file. The captions
// follow the studio's language when the menu opens.
void InstallLogMenu(QPlainTextEdit* log, Studio& studio);

}  // namespace tvx
