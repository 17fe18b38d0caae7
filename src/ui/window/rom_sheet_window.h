#pragma once

#include <QWidget>
#include <string>

namespace tvx {

// "What the indicator holds": a window of its own beside the main window with the resource
// sheet of a ROM image at 1:1 in a scroll area, or why it could not be drawn. In the language
// LANG picks.
class RomSheetWindow : public QWidget {
  Q_OBJECT

 public:
  RomSheetWindow(const std::string& romImagePath, unsigned lang, QWidget* parent = nullptr);
};

}  // namespace tvx
