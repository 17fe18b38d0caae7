#include "ui/browse/ydirectorylistbox.h"

#include <QDir>
#include <QFileInfo>
#include <QStyledItemDelegate>

#include "ui/browse/browse_fs.h"
#include "ui/browse/drive_volume_source.h"
#include "ui/browse/yfilelistbox.h"
#include "ui/qt/report_exceptions.h"
#include "util/platform_exception.h"
#include "util/printf_format.h"

namespace YVclCtrl {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPerLevel = 10;

// Shifts each folder right by its depth below the drive's root.
class FolderIndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(option.rect.left() + index.data(kLevelRole).toInt() * kIndentPerLevel);
    QStyledItemDelegate::paint(painter, shifted, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += index.data(kLevelRole).toInt() * kIndentPerLevel;
    return size;
  }
};

}  // namespace

TYDirectoryListBox::TYDirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new FolderIndentDelegate(this));
  changeDirectory(QDir::currentPath());
  connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const QString path = item->data(kPathRole).toString();
    RunReportingExceptions([this, path] { WrDir(path); });
  });
}

void TYDirectoryListBox::WrDrive(const QString& root) {
  if (!CurrentDriveVolumes().isReady(root)) {
    throwInaccessibleDrive(root);
  }
  if (root == m_drive) {
    return;
  }
  const std::optional<QString> target =
      FolderToShowOnDrive(root, m_lastDirectoryOnDrive.value(root));
  if (!target) {
    throwInaccessibleDrive(root);
  }
  changeDirectory(*target);
}

void TYDirectoryListBox::WrDir(const QString& path) {
  if (path.isEmpty()) {
    return;
  }
  const std::optional<QString> folder = ListableFolder(m_directory, path);
  if (!folder) {
    throw tvx::platform::EInOutError(YVclUtil::FormatPrintf(
        "Err: TYDirectoryListBox \nInaccessible Directory \"%s\" \nfrom component %s",
        path.toUtf8().constData(), objectName().toUtf8().constData()));
  }
  changeDirectory(*folder);
}

TYFileListBox* TYDirectoryListBox::pr_FileList() const {
  return m_fileList;
}

void TYDirectoryListBox::pw_FileList(TYFileListBox* list) {
  m_fileList = list;
}

QString TYDirectoryListBox::GetItemPath(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry != nullptr ? entry->data(kPathRole).toString() : QString();
}

void TYDirectoryListBox::throwInaccessibleDrive(const QString& root) const {
  throw tvx::platform::EInOutError(YVclUtil::FormatPrintf(
      "Err: TYDirectoryListBox \nInaccessible Drive \"%s\" \nfrom component %s",
      root.toUtf8().constData(), objectName().toUtf8().constData()));
}

void TYDirectoryListBox::changeDirectory(const QString& directory) {
  if (m_fileList != nullptr) {
    m_fileList->WrDir(directory);
  }
  m_directory = directory;
  m_drive = CurrentDriveVolumes().rootOf(directory);
  m_lastDirectoryOnDrive[m_drive] = directory;
  fill();
  emit directoryChanged(directory);
}

void TYDirectoryListBox::fill() {
  QStringList chain;  // from the drive's root down to the current directory
  for (QString folder = m_directory;;) {
    chain.prepend(folder);
    const QString parent = QFileInfo(folder).path();
    if (folder == m_drive || parent == folder) {
      break;
    }
    folder = parent;
  }
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  auto add = [this](const QIcon& icon, const QString& text, const QString& path, int level) {
    auto* entry = new QListWidgetItem(icon, text, this);
    entry->setData(kPathRole, path);
    entry->setData(kLevelRole, level);
  };
  for (int level = 0; level < chain.size(); ++level) {
    const QString& folder = chain[level];
    add(open, level == 0 ? folder : QFileInfo(folder).fileName(), folder, level);
  }
  const QDir current(m_directory);
  const QStringList inside =
      current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& name : inside) {
    add(closed, name, current.filePath(name), static_cast<int>(chain.size()));
  }
  setCurrentRow(static_cast<int>(chain.size()) - 1);
}

}  // namespace YVclCtrl
