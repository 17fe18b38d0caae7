#pragma once

#include <QComboBox>
#include <QFileIconProvider>
#include <QPointer>
#include <map>

#include "ui/browse/drive_volumes.h"
#include "ui/browse/owner_draw.h"

namespace YVclCtrl {

class TYDirectoryListBox;

// How a drive combo box reports a drive that cannot be used.
enum class YDrvCBoxErrPost { epNone, epThrowException, epShowMsgDlg };

// A drive selector listing the roots of the volumes (those CurrentDriveVolumes() knows) with
// their icons and names. A drive that is not ready is refused: the selection stays on the
// previous drive and the refusal is reported as ErrPostStyle says. A linked directory list
// follows the drive.
class TYDriveComboBox : public QComboBox, public OwnerDrawClient {
  Q_OBJECT

 public:
  explicit TYDriveComboBox(QWidget* parent = nullptr);

  // The current drive: the root folder of a mounted volume.
  QString RdDrive() const { return m_drive; }
  void WrDrive(const QString& root);

  int pr_ItemHt() const { return m_itemHt; }
  void WrItemHeight(int height);
  bool pr_ShowBigIcon() const { return m_showBigIcon; }
  void WrShowBigIcon(bool big);
  YDriveTypeSet pr_DriveType() const { return m_driveType; }
  void WrDriveType(YDriveTypeSet kinds);
  YDrvCBoxErrPost pr_ErrPostStyle() const { return m_errPostStyle; }
  void WrErrPostStyle(YDrvCBoxErrPost style) { m_errPostStyle = style; }
  int pr_DropDownCount() const { return maxVisibleItems(); }
  void pw_DropDownCount(int count) { setMaxVisibleItems(count); }

  TYDirectoryListBox* pr_DirList() const;
  void pw_DirList(TYDirectoryListBox* list);
  // Icons come from provider (not owned; null: the system's file icons).
  void pw_IconProvider(const QAbstractFileIconProvider* provider);

  // Lists the mounted volumes whose kind is in DriveType.
  void BuildList();
  bool IsDriveReadyForAccess(const QString& root) const;
  // The user chose the item now current.
  void Click();
  void ThrowErrDriveSelection(const QString& root);

  void MeasureItem(int index, int& height) override;
  void DrawItem(QPainter& painter, int index, const QRect& rect, OwnerDrawState state) override;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void driveChanged(const QString& root);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // What the plain drive selector does with a chosen drive: take it and move the linked list.
  void selectDrive(const QString& root);
  void selectItemOf(const QString& root);
  void recreate();
  const QAbstractFileIconProvider& iconProvider() const;

  int m_itemHt = 16;
  bool m_showBigIcon = false;
  YDriveTypeSet m_driveType = YDriveTypeSet::All();
  YDrvCBoxErrPost m_errPostStyle = YDrvCBoxErrPost::epNone;
  QString m_drive;
  QPointer<TYDirectoryListBox> m_dirList;
  std::map<QString, DriveVolume> m_volumes;  // by root, as last listed
  QFileIconProvider m_systemIcons;
  const QAbstractFileIconProvider* m_iconProvider = nullptr;
};

}  // namespace YVclCtrl
