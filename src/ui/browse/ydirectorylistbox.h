#pragma once

#include <QHash>
#include <QListWidget>
#include <QPointer>

namespace YVclCtrl {

class TYFileListBox;

// A directory list: the folders from the drive's root down to the current directory, then
// the folders inside it. Activating an item makes it the current directory. Drives and
// directories that cannot be used are refused with tvx::platform::EInOutError, and the list
// keeps its previous drive and directory. A linked file list follows the directory.
class TYDirectoryListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit TYDirectoryListBox(QWidget* parent = nullptr);

  // The root folder of the volume holding the current directory.
  QString RdDrive() const { return m_drive; }
  // Moves to the directory last used on that drive (its root the first time).
  void WrDrive(const QString& root);
  QString RdDir() const { return m_directory; }
  // A relative path is taken from the current directory.
  void WrDir(const QString& path);

  TYFileListBox* pr_FileList() const;
  void pw_FileList(TYFileListBox* list);

  // The folder the item at index stands for.
  QString GetItemPath(int index) const;

 signals:
  void directoryChanged(const QString& directory);

 private:
  [[noreturn]] void throwInaccessibleDrive(const QString& root) const;
  // What the plain directory list does: the linked file list first (it may refuse), then
  // this list.
  void changeDirectory(const QString& directory);
  void fill();

  QString m_directory;
  QString m_drive;
  QPointer<TYFileListBox> m_fileList;
  QHash<QString, QString> m_lastDirectoryOnDrive;
};

}  // namespace YVclCtrl
