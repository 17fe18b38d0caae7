#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"
#include "ui/browse/browse_fs.h"
#include "ui/browse/browse_glyphs.h"
#include "ui/browse/drive_volume_source.h"
#include "ui/browse/drive_volumes.h"
#include "ui/browse/system_drive_volumes.h"
#include "ui/browse/ydirectorylistbox.h"
#include "ui/browse/ydrivecombobox.h"
#include "ui/browse/yfilelistbox.h"
#include "ui/browse/ylistbox.h"
#include "util/diagnostic_sink.h"
#include "util/platform_exception.h"

using namespace YVclCtrl;
using tvx::platform::EInOutError;
using tvx::test::TempDir;
using tvx::test::WriteFileBytes;
using YVclUtil::RecordingDiagnosticSink;
using YVclUtil::ScopedDiagnosticSink;
namespace fs = std::filesystem;

namespace {

QString q(const fs::path& path) {
  return QString::fromStdString(path.string());
}

// A row drawn by the control on a canvas of a colour the control never uses.
QImage drawRow(OwnerDrawClient& control, int index, QSize size, OwnerDrawState state = {}) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(QColor(1, 2, 3));
  QPainter painter(&image);
  control.DrawItem(painter, index, QRect(QPoint(0, 0), size), state);
  return image;
}

// The smallest rectangle holding every pixel of area where a and b differ.
QRect difference(const QImage& a, const QImage& b, QRect area = {}) {
  if (area.isNull()) {
    area = a.rect();
  }
  QRect changed;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) {
        changed |= QRect(x, y, 1, 1);
      }
    }
  }
  return changed;
}

bool isUniform(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != image.pixel(0, 0)) {
        return false;
      }
    }
  }
  return true;
}

QStringList comboTexts(const QComboBox& combo) {
  QStringList texts;
  for (int i = 0; i < combo.count(); ++i) {
    texts.append(combo.itemText(i));
  }
  return texts;
}

QStringList itemTexts(const QListWidget& list) {
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) {
    texts.append(list.item(i)->text());
  }
  return texts;
}

// A system with no icons for anything.
class NoIcons : public QAbstractFileIconProvider {
 public:
  QIcon icon(IconType) const override { return {}; }
  QIcon icon(const QFileInfo&) const override { return {}; }
};

// Root reads every folder whatever its permissions; while this lives the thread does without
// the two capabilities that allow it, so permissions count again.
class WithoutReadOverride {
 public:
  WithoutReadOverride() {
    if (::geteuid() != 0 || ::syscall(SYS_capget, &m_header, m_saved) != 0) {
      return;
    }
    __user_cap_data_struct reduced[2];
    std::memcpy(reduced, m_saved, sizeof reduced);
    reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
    m_dropped = ::syscall(SYS_capset, &m_header, reduced) == 0;
  }
  ~WithoutReadOverride() {
    if (m_dropped) {
      ::syscall(SYS_capset, &m_header, m_saved);
    }
  }
  WithoutReadOverride(const WithoutReadOverride&) = delete;
  WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;

 private:
  __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct m_saved[2]{};
  bool m_dropped = false;
};

// A small RAM volume mounted on a folder until unmount() or the end of the object.
class RamVolume {
 public:
  explicit RamVolume(const fs::path& mountPoint) : m_mountPoint(mountPoint) {
    fs::create_directories(mountPoint);
    if (::mount("tvx-test", mountPoint.c_str(), "tmpfs", 0, "size=1m") == 0) {
      m_mounted = true;
    } else {
      m_error = std::strerror(errno);
    }
  }
  ~RamVolume() { unmount(); }
  RamVolume(const RamVolume&) = delete;
  RamVolume& operator=(const RamVolume&) = delete;

  bool mounted() const { return m_mounted; }
  const std::string& error() const { return m_error; }
  void unmount() {
    if (m_mounted) {
      ::umount2(m_mountPoint.c_str(), MNT_DETACH);
      m_mounted = false;
    }
  }

 private:
  fs::path m_mountPoint;
  bool m_mounted = false;
  std::string m_error;
};

// The drives of a made-up machine: folders standing for the roots of volumes, each a drive
// that can be used while it is listed here.
class FolderVolumes : public DriveVolumeSource {
 public:
  void add(const fs::path& root, EnumYDriveType kind) {
    fs::create_directories(root);
    m_volumes.push_back({q(root), QStringLiteral("DRIVE (%1)").arg(q(root)), kind});
    std::sort(m_volumes.begin(), m_volumes.end(),
              [](const DriveVolume& a, const DriveVolume& b) { return a.root < b.root; });
  }
  // The volume goes and its folder stays, like a card pulled from its reader.
  void pull(const fs::path& root) {
    std::erase_if(m_volumes, [&](const DriveVolume& volume) { return volume.root == q(root); });
  }

  std::vector<DriveVolume> volumes() const override { return m_volumes; }
  bool isReady(const QString& root) const override {
    return std::any_of(m_volumes.begin(), m_volumes.end(),
                       [&](const DriveVolume& volume) { return volume.root == root; }) &&
           QFileInfo(root).isDir();
  }
  QString rootOf(const QString& path) const override {
    QString root = QStringLiteral("/");
    for (const DriveVolume& volume : m_volumes) {
      if ((path == volume.root || path.startsWith(volume.root + '/')) &&
          volume.root.size() > root.size()) {
        root = volume.root;
      }
    }
    return root;
  }

 private:
  std::vector<DriveVolume> m_volumes;
};

// Every control test runs on a made-up machine with one fixed disk, its working folder on that
// disk.
class UiControlsTest : public ::testing::Test {
 protected:
  UiControlsTest() {
    m_volumes.add(m_disk, EnumYDriveType::dtFixedDisk);
    fs::create_directory(m_disk / "work");
    QDir::setCurrent(q(m_disk / "work"));
  }
  ~UiControlsTest() override { QDir::setCurrent(m_previousFolder); }

  RecordingDiagnosticSink m_sink;
  ScopedDiagnosticSink m_guard{m_sink};
  const QString m_previousFolder = QDir::currentPath();
  TempDir m_folder;
  const fs::path m_machine = fs::canonical(m_folder.path());
  const fs::path m_disk = m_machine / "disk";
  FolderVolumes m_volumes;
  ScopedDriveVolumeSource m_source{m_volumes};
};

TEST(BrowseGlyphsTest, FourSixteenColourGlyphsWithTransparentCorner) {
  const QRgb purple = 0xFF800080, grey = 0xFF808080, cyan = 0xFF00FFFF, red = 0xFFFF0000,
             green = 0xFF008000, white = 0xFFFFFFFF, silver = 0xFFC0C0C0;
  struct Expected {
    const char* name;
    QRgb frame;
    QRgb inside;
    std::optional<QRgb> check;
  };
  for (const Expected& glyph :
       {Expected{"GP_GRAY0", grey, silver, std::nullopt}, Expected{"GP_Gray1", grey, silver, green},
        Expected{"GP_Sel0", purple, white, std::nullopt}, Expected{"GP_Sel1", purple, cyan, red}}) {
    SCOPED_TRACE(glyph.name);
    const QImage bitmap = BrowseGlyphBitmap(glyph.name);
    ASSERT_EQ(bitmap.size(), QSize(16, 16));
    EXPECT_LE(bitmap.colorCount(), 16);
    EXPECT_EQ(bitmap.pixel(1, 7), glyph.frame);
    EXPECT_EQ(bitmap.pixel(4, 11), glyph.inside);
    EXPECT_EQ(bitmap.pixel(10, 4), glyph.check.value_or(glyph.inside));
    EXPECT_EQ(bitmap.pixel(10, 5), glyph.check.value_or(glyph.inside));

    const QImage drawn = BrowseGlyph(glyph.name).toImage();
    EXPECT_EQ(qAlpha(drawn.pixel(0, 15)), 0);
    EXPECT_EQ(qAlpha(drawn.pixel(15, 0)), 0);
    EXPECT_EQ(drawn.pixel(1, 7), glyph.frame);
  }
  EXPECT_TRUE(BrowseGlyphBitmap("GP_Gray0").isNull());  // the names are case-sensitive
  EXPECT_TRUE(BrowseGlyph("GP_SEL1").isNull());
}

TEST_F(UiControlsTest, ListBoxRowsAreButtonsWithStateGlyphs) {
  TYListBox box;
  box.addItem("Fire");
  EXPECT_EQ(box.pr_ItemHeight(), 24);
  EXPECT_EQ(box.palette().color(QPalette::Base), box.palette().color(QPalette::Button));
  int height = 0;
  box.MeasureItem(0, height);
  EXPECT_EQ(height, 24);

  // The glyph sits at x = 4, centred in a 24-pixel row: glyph pixel (x, y) lands on
  // (4 + x, 4 + y).
  const QSize row(200, 24);
  EXPECT_EQ(drawRow(box, 0, row).pixel(5, 11), 0xFF800080U);
  EXPECT_EQ(drawRow(box, 0, row, OwnerDraw::Selected).pixel(8, 15), 0xFF00FFFFU);
  EXPECT_EQ(drawRow(box, 0, row, OwnerDraw::Selected).pixel(14, 8), 0xFFFF0000U);
  EXPECT_EQ(drawRow(box, 0, row, OwnerDraw::Disabled).pixel(5, 11), 0xFF808080U);
  EXPECT_EQ(drawRow(box, 0, row, OwnerDraw::Disabled | OwnerDraw::Selected).pixel(14, 8),
            0xFF008000U);
  EXPECT_NE(drawRow(box, 0, row).pixel(4, 19), 0xFF808000U);  // the transparent corner
  // Rows of 16 pixels or less put the glyph 2 pixels below their top.
  EXPECT_EQ(drawRow(box, 0, QSize(200, 12)).pixel(5, 9), 0xFF800080U);

  const QImage withText = drawRow(box, 0, row);
  box.item(0)->setText(QString());
  const QRect text = difference(withText, drawRow(box, 0, row));
  ASSERT_FALSE(text.isNull());
  const int textHeight = FontTextHeight(box.font(), box);
  EXPECT_GE(text.left(), 24);
  EXPECT_LT(text.left(), 30);
  EXPECT_GE(text.top(), (24 - textHeight) / 2 - 1);
  EXPECT_LE(text.bottom(), 23);

  EXPECT_TRUE(box.ShowErrMsgBox("No such floor"));
  ASSERT_EQ(m_sink.boxes().size(), 1U);
  EXPECT_EQ(m_sink.boxes()[0].caption, "TYListBox");
  EXPECT_EQ(m_sink.boxes()[0].text, "No such floor");
}

TEST(DriveVolumesTest, ListHoldsChosenKindsPaddedToTwoItems) {
  const DriveVolume root{"/", "/", EnumYDriveType::dtFixedDisk};
  const DriveVolume ram{"/run", "/run", EnumYDriveType::dtRamDisk};
  const DriveVolume card{"/media/card", "CARD (/media/card)", EnumYDriveType::dtRemovable};
  const DriveVolume odd{"/srv/overlay", "/srv/overlay", std::nullopt};
  const YDriveTypeSet fixedOnly{EnumYDriveType::dtFixedDisk};

  EXPECT_EQ(ComposeDriveList({root, ram}, fixedOnly), QStringList({"/", "   "}));
  EXPECT_EQ(ComposeDriveList({ram}, fixedOnly), QStringList({"   ", "   "}));
  EXPECT_EQ(ComposeDriveList({root, ram, card}, YDriveTypeSet::All()),
            QStringList({"/", "/run", "/media/card"}));
  EXPECT_EQ(ComposeDriveList({odd}, YDriveTypeSet{}), QStringList({"/srv/overlay", "   "}));
  EXPECT_EQ(YDriveTypeSet::All().bits(), 0x1FU);
  EXPECT_EQ((YDriveTypeSet{EnumYDriveType::dtRemote, EnumYDriveType::dtCdROM}.bits()), 0x14U);
}

TEST(DriveVolumesTest, KindsFromDeviceAndFileSystem) {
  TempDir dir;
  const fs::path sys = dir / "sys";
  const fs::path reader = sys / "devices/usb1/block/sdz";
  const fs::path disk = sys / "devices/pci0/block/sdy";
  fs::create_directories(reader / "sdz1");
  fs::create_directories(disk / "sdy1");
  WriteFileBytes(reader / "removable", "1\n");
  WriteFileBytes(reader / "sdz1/partition", "1\n");
  WriteFileBytes(disk / "removable", "0\n");
  WriteFileBytes(disk / "sdy1/partition", "1\n");
  fs::create_directories(sys / "class/block");
  fs::create_directory_symlink(reader / "sdz1", sys / "class/block/sdz1");
  fs::create_directory_symlink(reader, sys / "class/block/sdz");
  fs::create_directory_symlink(disk / "sdy1", sys / "class/block/sdy1");

  using enum EnumYDriveType;
  EXPECT_EQ(ClassifyDrive("/dev/sdz1", "vfat", sys), dtRemovable);
  EXPECT_EQ(ClassifyDrive("/dev/sdz", "exfat", sys), dtRemovable);
  EXPECT_EQ(ClassifyDrive("/dev/sdy1", "ext4", sys), dtFixedDisk);
  EXPECT_EQ(ClassifyDrive("/dev/nvme9n1p2", "btrfs", sys), dtFixedDisk);
  EXPECT_EQ(ClassifyDrive("/dev/sr0", "iso9660", sys), dtCdROM);
  EXPECT_EQ(ClassifyDrive("/dev/loop4", "udf", sys), dtCdROM);
  EXPECT_EQ(ClassifyDrive("/dev/zram0", "ext2", sys), dtRamDisk);
  EXPECT_EQ(ClassifyDrive("tmpfs", "tmpfs", sys), dtRamDisk);
  EXPECT_EQ(ClassifyDrive("server:/export", "nfs4", sys), dtRemote);
  EXPECT_EQ(ClassifyDrive("//nas/share", "cifs", sys), dtRemote);
  EXPECT_EQ(ClassifyDrive("me@host:", "fuse.sshfs", sys), dtRemote);
  EXPECT_EQ(ClassifyDrive("overlay", "overlay", sys), std::nullopt);
}

TEST_F(UiControlsTest, DriveComboHeightsAndDefaults) {
  TYDriveComboBox combo;
  EXPECT_EQ(combo.pr_ItemHt(), 16);
  EXPECT_FALSE(combo.pr_ShowBigIcon());
  EXPECT_EQ(combo.pr_DriveType(), YDriveTypeSet::All());
  EXPECT_EQ(combo.pr_ErrPostStyle(), YDrvCBoxErrPost::epNone);
  EXPECT_EQ(combo.pr_DropDownCount(), 8);
  EXPECT_EQ(combo.RdDrive(), q(m_disk));  // the drive of the working folder
  EXPECT_EQ(combo.currentText(), combo.RdDrive());
  EXPECT_EQ(comboTexts(combo), QStringList({q(m_disk), kDrivePadding}));

  combo.WrItemHeight(5);
  EXPECT_EQ(combo.pr_ItemHt(), 8);
  EXPECT_EQ(combo.view()->sizeHintForRow(0), 10);
  combo.WrShowBigIcon(true);
  EXPECT_EQ(combo.pr_ItemHt(), 32);
  int height = 0;
  combo.MeasureItem(0, height);
  EXPECT_EQ(height, 34);
  EXPECT_EQ(combo.view()->sizeHintForRow(0), 34);
  combo.WrShowBigIcon(false);
  EXPECT_EQ(combo.pr_ItemHt(), 16);
  combo.WrItemHeight(20);
  EXPECT_EQ(combo.view()->sizeHintForRow(0), 22);

  // The drive type takes effect when the list is next built.
  m_volumes.add(m_machine / "card", EnumYDriveType::dtRemovable);
  combo.WrDriveType(YDriveTypeSet{EnumYDriveType::dtRemovable});
  EXPECT_EQ(comboTexts(combo), QStringList({q(m_disk), kDrivePadding}));
  combo.BuildList();
  EXPECT_EQ(comboTexts(combo), QStringList({q(m_machine / "card"), kDrivePadding}));
  combo.WrDriveType(YDriveTypeSet{});
  combo.BuildList();
  EXPECT_EQ(comboTexts(combo), QStringList({kDrivePadding, kDrivePadding}));
}

TEST_F(UiControlsTest, DriveComboDrawsIconAndName) {
  TYDriveComboBox combo;
  const int rootItem = combo.findText(q(m_disk));
  ASSERT_GE(rootItem, 0);
  const QSize row(240, 18);
  const QImage background = drawRow(combo, -1, row);
  EXPECT_TRUE(isUniform(background));

  const QImage drawn = drawRow(combo, rootItem, row);
  const QRect icon = difference(background, drawn, QRect(0, 0, 24, 18));
  ASSERT_FALSE(icon.isNull());
  EXPECT_GE(icon.left(), 2);
  EXPECT_LE(icon.right(), 17);
  EXPECT_LE(icon.bottom(), 15);
  const QRect name = difference(background, drawn, QRect(18, 0, 222, 18));
  ASSERT_FALSE(name.isNull());
  EXPECT_GE(name.left(), 26);

  combo.WrShowBigIcon(true);
  const QSize bigRow(240, 34);
  const QRect bigName = difference(drawRow(combo, -1, bigRow), drawRow(combo, rootItem, bigRow),
                                   QRect(34, 0, 206, 34));
  ASSERT_FALSE(bigName.isNull());
  EXPECT_GE(bigName.left(), 42);

  // No icon from the system: the row is only filled.
  NoIcons none;
  combo.pw_IconProvider(&none);
  EXPECT_TRUE(isUniform(drawRow(combo, rootItem, bigRow)));
  const int padding = combo.findText(kDrivePadding);
  ASSERT_GE(padding, 0);
  combo.pw_IconProvider(nullptr);
  EXPECT_TRUE(isUniform(drawRow(combo, padding, bigRow)));
}

// A drive that goes away after it was listed, like a card pulled from its reader.
TEST_F(UiControlsTest, DriveComboRefusesADriveThatIsGone) {
  const fs::path cardPath = m_machine / "card";
  m_volumes.add(cardPath, EnumYDriveType::dtRemovable);
  fs::create_directory(cardPath / "DCIM");
  WriteFileBytes(cardPath / "floor.bmp", "BM");

  TYDriveComboBox combo;
  combo.setObjectName("DriveComboBox1");
  TYDirectoryListBox dirs;
  TYFileListBox files;
  combo.pw_DirList(&dirs);
  dirs.pw_FileList(&files);
  const QString home = dirs.RdDir();
  const QString root = combo.RdDrive();
  const int cardItem = combo.findText(q(cardPath));
  ASSERT_GE(cardItem, 0);

  // A ready drive moves the directory list and, through it, the file list.
  combo.setCurrentIndex(cardItem);
  emit combo.activated(cardItem);
  EXPECT_EQ(combo.RdDrive(), q(cardPath));
  EXPECT_EQ(dirs.RdDir(), q(cardPath));
  EXPECT_TRUE(itemTexts(dirs).contains("DCIM"));
  EXPECT_EQ(itemTexts(files), QStringList({"floor.bmp"}));
  combo.WrDrive(root);
  EXPECT_EQ(dirs.RdDir(), home);  // back where it was on that drive
  EXPECT_TRUE(m_sink.boxes().empty());

  m_volumes.pull(cardPath);
  const std::string message = "Err: TYDriverComboBox \nInaccessible volume \"" + cardPath.string() +
                              "\" \nfrom component DriveComboBox1";
  const QStringList homeFiles = itemTexts(files);

  combo.WrErrPostStyle(YDrvCBoxErrPost::epShowMsgDlg);
  combo.setCurrentIndex(cardItem);
  emit combo.activated(cardItem);
  ASSERT_EQ(m_sink.boxes().size(), 1U);
  EXPECT_EQ(m_sink.boxes()[0].caption, "KWX-YVCL");
  EXPECT_EQ(m_sink.boxes()[0].text, message);
  EXPECT_EQ(combo.currentText(), root);
  EXPECT_EQ(combo.RdDrive(), root);
  EXPECT_EQ(dirs.RdDir(), home);
  EXPECT_EQ(itemTexts(files), homeFiles);

  combo.WrErrPostStyle(YDrvCBoxErrPost::epThrowException);
  combo.setCurrentIndex(cardItem);
  try {
    combo.Click();
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(), message);
  }
  EXPECT_EQ(combo.currentText(), root);
  // Chosen by the user, the exception is shown instead of crossing the event loop.
  combo.setCurrentIndex(cardItem);
  emit combo.activated(cardItem);
  ASSERT_EQ(m_sink.boxes().size(), 2U);
  EXPECT_EQ(m_sink.boxes()[1].caption, QApplication::applicationName().toStdString());
  EXPECT_EQ(m_sink.boxes()[1].text, message);
  EXPECT_THROW(combo.WrDrive(q(cardPath)), EInOutError);

  combo.WrErrPostStyle(YDrvCBoxErrPost::epNone);
  combo.setCurrentIndex(cardItem);
  combo.Click();
  combo.WrDrive(q(cardPath));
  EXPECT_EQ(m_sink.boxes().size(), 2U);
  EXPECT_EQ(combo.currentText(), root);
  EXPECT_EQ(combo.RdDrive(), root);
}

// The real program's drives: the system's mount table, with a RAM volume mounted for the test.
TEST(SystemDriveVolumesTest, MountedVolumeIsADriveUntilUnmounted) {
  EXPECT_NE(dynamic_cast<const SystemDriveVolumes*>(&CurrentDriveVolumes()), nullptr);
  TempDir dir;
  const fs::path cardPath = fs::canonical(dir.path()) / "card";
  RamVolume card(cardPath);
  if (!card.mounted()) {
    GTEST_SKIP() << "cannot mount a RAM volume here: " << card.error();
  }
  if (!QFileInfo::exists("/proc/self/mountinfo")) {
    GTEST_SKIP() << "no mount table to read here";
  }
  fs::create_directory(cardPath / "DCIM");
  const SystemDriveVolumes system;
  const std::vector<DriveVolume> volumes = system.volumes();
  const auto listed = std::find_if(volumes.begin(), volumes.end(), [&](const DriveVolume& volume) {
    return volume.root == q(cardPath);
  });
  ASSERT_NE(listed, volumes.end());
  EXPECT_EQ(listed->kind, EnumYDriveType::dtRamDisk);
  EXPECT_TRUE(
      std::is_sorted(volumes.begin(), volumes.end(),
                     [](const DriveVolume& a, const DriveVolume& b) { return a.root < b.root; }));
  EXPECT_TRUE(system.isReady(q(cardPath)));
  EXPECT_FALSE(system.isReady(q(cardPath / "DCIM")));  // a folder, not a volume's root
  EXPECT_EQ(system.rootOf(q(cardPath / "DCIM")), q(cardPath));

  card.unmount();
  EXPECT_FALSE(system.isReady(q(cardPath)));  // the folder is left, the drive is gone
  EXPECT_NE(system.rootOf(q(cardPath)), q(cardPath));
}

class FolderTreeTest : public UiControlsTest {
 protected:
  void SetUp() override {
    fs::create_directories(m_dir / "b");
    fs::create_directories(m_dir / "a" / "deep");
    fs::create_directories(m_dir / ".hidden");
    for (const char* name : {"B.bmp", "a.bmp", "c.ql3", "notes.txt", ".hidden.bmp"}) {
      WriteFileBytes(m_dir / name, "x");
    }
    m_dirs.setObjectName("DirectoryListBox1");
    m_files.setObjectName("FileListBox1");
  }

  const fs::path m_dir = m_disk / "tree";
  QString m_top = q(m_dir);
  TYDirectoryListBox m_dirs;
  TYFileListBox m_files;
};

TEST_F(FolderTreeTest, DirectoryListShowsPathAndSubfolders) {
  m_dirs.WrDir(m_top);
  EXPECT_EQ(m_dirs.RdDir(), m_top);
  EXPECT_EQ(m_dirs.RdDrive(), q(m_disk));
  const QStringList texts = itemTexts(m_dirs);
  ASSERT_GE(texts.size(), 3);
  EXPECT_EQ(texts.first(), m_dirs.RdDrive());
  EXPECT_EQ(texts.mid(texts.size() - 3), QStringList({"tree", "a", "b"}));
  EXPECT_EQ(m_dirs.currentRow(), texts.size() - 3);
  EXPECT_EQ(m_dirs.GetItemPath(texts.size() - 2), q(m_dir / "a"));

  emit m_dirs.itemActivated(m_dirs.item(texts.size() - 2));
  EXPECT_EQ(m_dirs.RdDir(), q(m_dir / "a"));
  m_dirs.WrDir("deep");
  EXPECT_EQ(m_dirs.RdDir(), q(m_dir / "a" / "deep"));
  emit m_dirs.itemActivated(m_dirs.item(m_dirs.count() - 3));  // up to m_top
  EXPECT_EQ(m_dirs.RdDir(), m_top);
  EXPECT_TRUE(m_sink.boxes().empty());
}

TEST_F(FolderTreeTest, DirectoryListRefusesMissingFoldersAndDrives) {
  m_dirs.WrDir(m_top);
  const QStringList before = itemTexts(m_dirs);
  const std::string missing = (m_dir / "gone").string();
  try {
    m_dirs.WrDir(QString::fromStdString(missing));
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(), "Err: TYDirectoryListBox \nInaccessible Directory \"" + missing +
                                   "\" \nfrom component DirectoryListBox1");
  }
  EXPECT_THROW(m_dirs.WrDir(q(m_dir / "notes.txt")), EInOutError);
  try {
    m_dirs.WrDrive("/no/such/drive");
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(),
              "Err: TYDirectoryListBox \nInaccessible Drive \"/no/such/drive\" \nfrom component "
              "DirectoryListBox1");
  }
  EXPECT_THROW(m_dirs.WrDrive(m_top), EInOutError);  // a folder, not a volume's root
  EXPECT_EQ(m_dirs.RdDir(), m_top);
  EXPECT_EQ(itemTexts(m_dirs), before);

  // A folder removed after it was listed: choosing it shows the error instead of throwing.
  fs::remove(m_dir / "b");
  emit m_dirs.itemActivated(m_dirs.item(m_dirs.count() - 1));
  ASSERT_EQ(m_sink.boxes().size(), 1U);
  EXPECT_NE(m_sink.boxes()[0].text.find("Inaccessible Directory"), std::string::npos);
  EXPECT_EQ(m_dirs.RdDir(), m_top);
}

TEST_F(FolderTreeTest, FileListFiltersSortsAndKeepsItsFolderOnError) {
  m_files.WrDir(m_top);
  EXPECT_TRUE(m_files.pr_Sorted());
  EXPECT_TRUE(m_files.RdShowGlyphs());
  EXPECT_EQ(itemTexts(m_files), QStringList({"a.bmp", "B.bmp", "c.ql3", "notes.txt"}));
  m_files.pw_Mask("*.bmp; *.ql3");
  EXPECT_EQ(itemTexts(m_files), QStringList({"a.bmp", "B.bmp", "c.ql3"}));
  m_files.setCurrentRow(1);
  EXPECT_EQ(m_files.pr_FileName(), q(m_dir / "B.bmp"));

  const QStringList before = itemTexts(m_files);
  const std::string missing = (m_dir / "missing" / "deeper").string();
  try {
    m_files.WrDir(QString::fromStdString(missing));
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(), "Err: TYFileListBox \nInaccessible Directory \"" + missing +
                                   "\" \nfrom component FileListBox1");
  }
  try {
    m_files.WrDrive("");
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(),
              "Err: TYFileListBox \nInaccessible Drive \"\" \nfrom component FileListBox1");
  }
  EXPECT_EQ(m_files.RdDir(), m_top);
  EXPECT_EQ(itemTexts(m_files), before);

  // Linked, the file list follows the directory list.
  m_dirs.pw_FileList(&m_files);
  m_dirs.WrDir(q(m_dir / "a"));
  EXPECT_EQ(m_files.RdDir(), q(m_dir / "a"));
  EXPECT_TRUE(itemTexts(m_files).isEmpty());
}

TEST_F(FolderTreeTest, FileListRowsHoldIconAndName) {
  m_files.WrDir(m_top);
  ASSERT_GT(m_files.count(), 0);
  int height = 0;
  m_files.MeasureItem(0, height);
  EXPECT_EQ(height, m_files.pr_ItemHeight() + 4);
  EXPECT_GE(m_files.pr_ItemHeight(), 16);

  const QSize row(200, height);
  const QImage empty = drawRow(m_files, -1, row);
  const QRect icon = difference(empty, drawRow(m_files, 0, row), QRect(0, 0, 20, height));
  ASSERT_FALSE(icon.isNull());
  EXPECT_GE(icon.left(), 2);
  EXPECT_LE(icon.right(), 17);
  EXPECT_LE(icon.bottom(), 15);
  const QRect name = difference(empty, drawRow(m_files, 0, row), QRect(20, 0, 180, height));
  EXPECT_GE(name.left(), 26);

  m_files.WrShowGlyphs(false);
  const QRect plain = difference(empty, drawRow(m_files, 0, row));
  ASSERT_FALSE(plain.isNull());
  EXPECT_GE(plain.left(), 4);
  EXPECT_LT(plain.left(), 12);

  m_files.WrShowGlyphs(true);
  NoIcons none;
  m_files.pw_IconProvider(&none);
  EXPECT_TRUE(isUniform(drawRow(m_files, 0, row)));
  EXPECT_TRUE(isUniform(drawRow(m_files, 0, row, OwnerDraw::Selected)));
}

TEST_F(FolderTreeTest, UnreadableFolderIsRefusedByBothLists) {
  const fs::path locked = m_dir / "b";
  WriteFileBytes(locked / "inside.bmp", "x");
  fs::permissions(locked, fs::perms::none);
  WithoutReadOverride asOrdinaryUser;
  if (IsDirectoryListable(q(locked))) {
    GTEST_SKIP() << "permissions do not stop this process from reading folders";
  }
  m_dirs.pw_FileList(&m_files);
  m_dirs.WrDir(m_top);
  const QStringList dirItems = itemTexts(m_dirs);
  const QStringList fileItems = itemTexts(m_files);

  EXPECT_THROW(m_files.WrDir(q(locked)), EInOutError);
  try {
    m_dirs.WrDir(q(locked));
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(), "Err: TYDirectoryListBox \nInaccessible Directory \"" +
                                   locked.string() + "\" \nfrom component DirectoryListBox1");
  }
  emit m_dirs.itemActivated(m_dirs.item(m_dirs.count() - 1));  // "b", chosen by the user
  EXPECT_EQ(m_sink.boxes().size(), 1U);
  EXPECT_EQ(m_dirs.RdDir(), m_top);
  EXPECT_EQ(m_files.RdDir(), m_top);
  EXPECT_EQ(itemTexts(m_dirs), dirItems);
  EXPECT_EQ(itemTexts(m_files), fileItems);
}

}  // namespace
