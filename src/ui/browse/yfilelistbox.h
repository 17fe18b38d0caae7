#pragma once

#include <QFileIconProvider>
#include <QHash>
#include <QListWidget>

#include "ui/browse/owner_draw.h"

namespace YVclCtrl {

// A file list: the files of a directory that match Mask, each with the system's small icon
// for it. Drives and directories that cannot be used are refused with
// tvx::platform::EInOutError, and the list keeps its previous drive, directory and files.
class TYFileListBox : public QListWidget, public OwnerDrawClient {
  Q_OBJECT

 public:
  explicit TYFileListBox(QWidget* parent = nullptr);

  QString RdDrive() const { return m_drive; }
  // Moves to the directory last used on that drive (its root the first time).
  void WrDrive(const QString& root);
  QString RdDir() const { return m_directory; }
  // A relative path is taken from the current directory.
  void WrDir(const QString& path);

  bool RdShowGlyphs() const { return m_showGlyphs; }
  void WrShowGlyphs(bool show);
  bool pr_Sorted() const { return m_sorted; }
  void pw_Sorted(bool sorted);
  // File name patterns separated by ";", e.g. "*.bmp;*.ql3".
  QString pr_Mask() const { return m_mask; }
  void pw_Mask(const QString& mask);
  // The full path of the current item; empty when there is none.
  QString pr_FileName() const;
  // Height of a row's text and icon area; rows are 4 pixels taller.
  int pr_ItemHeight() const;
  // Icons come from provider (not owned; null: the system's file icons).
  void pw_IconProvider(const QAbstractFileIconProvider* provider);

  // Reads the directory again.
  void Update();

  void MeasureItem(int index, int& height) override;
  void DrawItem(QPainter& painter, int index, const QRect& rect, OwnerDrawState state) override;

 private:
  [[noreturn]] void throwInaccessible(bool drive, const QString& name) const;
  void changeDirectory(const QString& directory);
  const QAbstractFileIconProvider& iconProvider() const;

  QString m_directory;
  QString m_drive;
  QString m_mask = QStringLiteral("*");
  bool m_sorted = true;
  bool m_showGlyphs = true;
  QHash<QString, QString> m_lastDirectoryOnDrive;
  QFileIconProvider m_systemIcons;
  const QAbstractFileIconProvider* m_iconProvider = nullptr;
};

}  // namespace YVclCtrl
