#include "ui/window/recent_projects.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace tvx {

namespace {

constexpr const char* kKey = "RecentProjects";

}  // namespace

QStringList RecentProjects::paths() const {
  return QSettings().value(kKey).toStringList();
}

void RecentProjects::add(const QString& path) {
  QStringList list = paths();
  list.removeAll(path);
  list.prepend(path);
  while (list.size() > kMaximum) {
    list.removeLast();
  }
  QSettings().setValue(kKey, list);
}

void RecentProjects::clear() {
  QSettings().remove(kKey);
}

void RecentProjects::fillMenu(QMenu* menu, unsigned language,
                              const std::function<void(const QString&)>& open) {
  menu->clear();
  const QStringList list = paths();
  if (list.isEmpty()) {
    menu->addAction(language == 0 ? QStringLiteral("(none)") : QStringLiteral("(無)"))
        ->setEnabled(false);
    return;
  }
  int number = 0;
  for (const QString& path : list) {
    // "&1 tower.ql3  (/home/lift/projects)": the number is the entry's access key.
    const QFileInfo file(path);
    QString caption = QStringLiteral("&%1 %2  (%3)")
                          .arg(++number)
                          .arg(QString(file.fileName()).replace('&', "&&"),
                               QString(file.absolutePath()).replace('&', "&&"));
    QAction* entry = menu->addAction(caption);
    entry->setData(path);
    entry->setEnabled(file.isFile());
    QObject::connect(entry, &QAction::triggered, menu, [open, path] { open(path); });
  }
}

}  // namespace tvx
