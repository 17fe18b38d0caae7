#include "ui/browse/ydrivecombobox.h"

#include <QAbstractItemView>
#include <QDir>
#include <QPainter>
#include <QSignalBlocker>
#include <QStylePainter>
#include <algorithm>

#include "ui/browse/drive_volume_source.h"
#include "ui/browse/ydirectorylistbox.h"
#include "ui/qt/report_exceptions.h"
#include "util/messages.h"
#include "util/platform_exception.h"
#include "util/printf_format.h"

namespace YVclCtrl {
namespace {

constexpr int kMinItemHt = 8;
constexpr int kSmallIcon = 16;
constexpr int kBigIcon = 32;

}  // namespace

TYDriveComboBox::TYDriveComboBox(QWidget* parent) : QComboBox(parent) {
  setMaxVisibleItems(8);
  setItemDelegate(new OwnerDrawDelegate(*this, this));
  m_drive = CurrentDriveVolumes().rootOf(QDir::currentPath());
  BuildList();
  connect(this, &QComboBox::activated, this,
          [this](int) { RunReportingExceptions([this] { Click(); }); });
}

void TYDriveComboBox::WrDrive(const QString& root) {
  if (IsDriveReadyForAccess(root)) {
    selectDrive(root);
  } else {
    ThrowErrDriveSelection(root);
  }
}

void TYDriveComboBox::WrItemHeight(int height) {
  if (height >= kMinItemHt) {
    m_itemHt = height;
    recreate();
  } else {
    m_itemHt = kMinItemHt;
    // The list is not rebuilt, but its rows are measured again so that none keeps the old
    // height.
    view()->doItemsLayout();
    updateGeometry();
    update();
  }
}

void TYDriveComboBox::WrShowBigIcon(bool big) {
  m_showBigIcon = big;
  WrItemHeight(big ? kBigIcon : kSmallIcon);
}

void TYDriveComboBox::WrDriveType(YDriveTypeSet kinds) {
  m_driveType = kinds;
}

TYDirectoryListBox* TYDriveComboBox::pr_DirList() const {
  return m_dirList;
}

void TYDriveComboBox::pw_DirList(TYDirectoryListBox* list) {
  m_dirList = list;
}

void TYDriveComboBox::pw_IconProvider(const QAbstractFileIconProvider* provider) {
  m_iconProvider = provider;
  update();
}

void TYDriveComboBox::BuildList() {
  const std::vector<DriveVolume> volumes = CurrentDriveVolumes().volumes();
  m_volumes.clear();
  for (const DriveVolume& volume : volumes) {
    m_volumes[volume.root] = volume;
  }
  const QSignalBlocker quiet(this);
  clear();
  addItems(ComposeDriveList(volumes, m_driveType));
  selectItemOf(m_drive);
}

bool TYDriveComboBox::IsDriveReadyForAccess(const QString& root) const {
  return CurrentDriveVolumes().isReady(root);
}

void TYDriveComboBox::Click() {
  const int index = currentIndex();
  const QString chosen = index >= 0 ? itemText(index) : QString();
  if (m_dirList == nullptr) {
    selectDrive(chosen);
    return;
  }
  if (IsDriveReadyForAccess(chosen)) {
    selectDrive(chosen);
  } else {
    selectItemOf(m_drive);
    ThrowErrDriveSelection(chosen);
  }
}

void TYDriveComboBox::ThrowErrDriveSelection(const QString& root) {
  const std::string message = YVclUtil::FormatPrintf(
      "Err: TYDriverComboBox \nInaccessible volume \"%s\" \nfrom component %s",
      root.toUtf8().constData(), objectName().toUtf8().constData());
  switch (m_errPostStyle) {
    case YDrvCBoxErrPost::epThrowException:
      throw tvx::platform::EInOutError(message);
    case YDrvCBoxErrPost::epShowMsgDlg:
      YVclUtil::ShowErrMsgBox_Printf("KWX-YVCL", "%s", message.c_str());
      break;
    case YDrvCBoxErrPost::epNone:
      break;
  }
}

void TYDriveComboBox::MeasureItem(int, int& height) {
  height = m_itemHt + 2;
}

void TYDriveComboBox::DrawItem(QPainter& painter, int index, const QRect& rect,
                               OwnerDrawState state) {
  const ItemColours colours = ItemColoursFor(*this, state);
  painter.fillRect(rect, colours.background);
  const auto volume = index >= 0 ? m_volumes.find(itemText(index)) : m_volumes.end();
  if (volume == m_volumes.end()) {
    return;  // not a drive: the system has no icon for it
  }
  const QIcon icon =
      iconProvider().icon(volume->second.remote() ? QAbstractFileIconProvider::Network
                                                  : QAbstractFileIconProvider::Drive);
  const int iconSize = m_showBigIcon ? kBigIcon : kSmallIcon;
  const QPixmap pixmap = icon.pixmap(iconSize, iconSize);
  if (pixmap.isNull()) {
    return;
  }
  painter.drawPixmap(QRect(rect.left() + 2, rect.top(), iconSize, iconSize), pixmap);

  const int textHeight = FontTextHeight(font(), *this);
  const int textTop =
      textHeight < m_itemHt ? rect.top() + (m_itemHt - textHeight) / 2 - 1 : rect.top();
  painter.setPen(colours.text);
  painter.setFont(font());
  painter.drawText(rect.left() + (m_showBigIcon ? 42 : 26),
                   textTop + painter.fontMetrics().ascent(), volume->second.displayName);
}

QSize TYDriveComboBox::sizeHint() const {
  QSize hint = QComboBox::sizeHint();
  hint.rwidth() += m_showBigIcon ? 42 : 26;
  hint.setHeight(std::max(hint.height(), m_itemHt + 8));
  return hint;
}

QSize TYDriveComboBox::minimumSizeHint() const {
  QSize hint = QComboBox::minimumSizeHint();
  hint.setHeight(std::max(hint.height(), m_itemHt + 8));
  return hint;
}

void TYDriveComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const int index = currentIndex();
  if (index < 0) {
    return;
  }
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  OwnerDrawState state = OwnerDraw::ComboBoxEdit;
  if (!isEnabled()) {
    state |= OwnerDraw::Disabled;
  } else if (hasFocus()) {
    state |= OwnerDraw::Selected | OwnerDraw::Focused;
  }
  painter.save();
  painter.setClipRect(field);
  DrawItem(painter, index, field, state);
  painter.restore();
}

void TYDriveComboBox::selectDrive(const QString& root) {
  if (root.trimmed().isEmpty()) {
    selectItemOf(m_drive);  // a padding row is no drive
    return;
  }
  if (m_dirList != nullptr) {
    try {
      m_dirList->WrDrive(root);
    } catch (...) {
      selectItemOf(m_drive);
      throw;
    }
  }
  const bool changed = root != m_drive;
  m_drive = root;
  selectItemOf(root);
  if (changed) {
    emit driveChanged(root);
  }
}

void TYDriveComboBox::selectItemOf(const QString& root) {
  const QSignalBlocker quiet(this);
  setCurrentIndex(findText(root, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void TYDriveComboBox::recreate() {
  BuildList();
  view()->doItemsLayout();
  updateGeometry();
  update();
}

const QAbstractFileIconProvider& TYDriveComboBox::iconProvider() const {
  return m_iconProvider != nullptr ? *m_iconProvider : m_systemIcons;
}

}  // namespace YVclCtrl
