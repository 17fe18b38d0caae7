#include "ui/browse/yfilelistbox.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>

#include "ui/browse/browse_fs.h"
#include "ui/browse/browse_glyphs.h"
#include "ui/browse/drive_volume_source.h"
#include "util/platform_exception.h"
#include "util/printf_format.h"

namespace YVclCtrl {

TYFileListBox::TYFileListBox(QWidget* parent) : QListWidget(parent) {
  setUniformItemSizes(true);
  setItemDelegate(new OwnerDrawDelegate(*this, this));
  changeDirectory(QDir::currentPath());
}

void TYFileListBox::WrDrive(const QString& root) {
  if (!CurrentDriveVolumes().isReady(root)) {
    throwInaccessible(true, root);
  }
  if (root == m_drive) {
    return;
  }
  const std::optional<QString> target =
      FolderToShowOnDrive(root, m_lastDirectoryOnDrive.value(root));
  if (!target) {
    throwInaccessible(true, root);
  }
  changeDirectory(*target);
}

void TYFileListBox::WrDir(const QString& path) {
  if (path.isEmpty()) {
    return;
  }
  const std::optional<QString> folder = ListableFolder(m_directory, path);
  if (!folder) {
    throwInaccessible(false, path);
  }
  changeDirectory(*folder);
}

void TYFileListBox::WrShowGlyphs(bool show) {
  m_showGlyphs = show;
  viewport()->update();
}

void TYFileListBox::pw_Sorted(bool sorted) {
  m_sorted = sorted;
  Update();
}

void TYFileListBox::pw_Mask(const QString& mask) {
  m_mask = mask;
  Update();
}

QString TYFileListBox::pr_FileName() const {
  const QListWidgetItem* entry = currentItem();
  return entry != nullptr ? QDir(m_directory).filePath(entry->text()) : QString();
}

int TYFileListBox::pr_ItemHeight() const {
  return std::max(fontMetrics().height(), kBrowseGlyphSize);
}

void TYFileListBox::pw_IconProvider(const QAbstractFileIconProvider* provider) {
  m_iconProvider = provider;
  viewport()->update();
}

void TYFileListBox::Update() {
  QStringList patterns;
  for (const QString& pattern : m_mask.split(';', Qt::SkipEmptyParts)) {
    if (!pattern.trimmed().isEmpty()) {
      patterns.append(pattern.trimmed());
    }
  }
  if (patterns.isEmpty()) {
    patterns.append(QStringLiteral("*"));
  }
  const QDir::SortFlags order = m_sorted ? QDir::Name | QDir::IgnoreCase : QDir::Unsorted;
  const QStringList names = QDir(m_directory).entryList(patterns, QDir::Files, order);
  clear();
  addItems(names);
}

void TYFileListBox::MeasureItem(int, int& height) {
  height = pr_ItemHeight() + 4;
}

void TYFileListBox::DrawItem(QPainter& painter, int index, const QRect& rect,
                             OwnerDrawState state) {
  const ItemColours colours = ItemColoursFor(*this, state);
  painter.fillRect(rect, colours.background);
  const QListWidgetItem* entry = item(index);
  if (entry == nullptr) {
    return;
  }
  if (m_showGlyphs) {
    const QIcon icon = iconProvider().icon(QFileInfo(QDir(m_directory).filePath(entry->text())));
    const QPixmap pixmap = icon.pixmap(kBrowseGlyphSize, kBrowseGlyphSize);
    if (pixmap.isNull()) {
      return;  // the system has no icon for it: an empty row
    }
    painter.drawPixmap(QRect(rect.left() + 2, rect.top(), kBrowseGlyphSize, kBrowseGlyphSize),
                       pixmap);
  }
  const int itemHeight = pr_ItemHeight();
  const int textHeight = FontTextHeight(font(), *this);
  const int textTop =
      textHeight < itemHeight ? rect.top() + (itemHeight - textHeight) / 2 : rect.top();
  painter.setPen(colours.text);
  painter.setFont(font());
  painter.drawText(rect.left() + (m_showGlyphs ? 26 : 4), textTop + painter.fontMetrics().ascent(),
                   entry->text());
}

void TYFileListBox::throwInaccessible(bool drive, const QString& name) const {
  const char* format =
      drive ? "Err: TYFileListBox \nInaccessible Drive \"%s\" \nfrom component %s"
            : "Err: TYFileListBox \nInaccessible Directory \"%s\" \nfrom component %s";
  throw tvx::platform::EInOutError(
      YVclUtil::FormatPrintf(format, name.toUtf8().constData(), objectName().toUtf8().constData()));
}

void TYFileListBox::changeDirectory(const QString& directory) {
  m_directory = directory;
  m_drive = CurrentDriveVolumes().rootOf(directory);
  m_lastDirectoryOnDrive[m_drive] = directory;
  Update();
}

const QAbstractFileIconProvider& TYFileListBox::iconProvider() const {
  return m_iconProvider != nullptr ? *m_iconProvider : m_systemIcons;
}

}  // namespace YVclCtrl
