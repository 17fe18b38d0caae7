#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QMenu;

namespace tvx {

// The project files last loaded or saved, most recent first, kept in the program's settings
// store (QSettings under the organisation and application names of the program).
class RecentProjects {
 public:
  static constexpr int kMaximum = 8;

  QStringList paths() const;
  // Puts a path first, once, and drops the oldest beyond kMaximum.
  void add(const QString& path);
  void clear();

  // Fills the "Recent projects" submenu: one entry a file, disabled when the file is gone, or a
  // disabled "(none)". open is called with the path of the entry chosen.
  void fillMenu(QMenu* menu, unsigned language, const std::function<void(const QString&)>& open);
};

}  // namespace tvx
