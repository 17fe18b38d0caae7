#include "ui/designer/browse_controls_collection.h"

#include "ui/browse/ydirectorylistbox.h"
#include "ui/browse/ydrivecombobox.h"
#include "ui/browse/yfilelistbox.h"
#include "ui/browse/ylistbox.h"
#include "ui/designer/browse_control_plugin.h"

namespace YVclCtrl {
namespace {

template <typename Control>
BrowseControlDescription describe(const char* className, const char* includeFile,
                                  const char* objectName, const char* toolTip) {
  return {QString::fromLatin1(className), QString::fromLatin1(includeFile),
          QString::fromLatin1(objectName), QString::fromLatin1(toolTip),
          [](QWidget* parent) -> QWidget* { return new Control(parent); }};
}

}  // namespace

BrowseControlsCollection::BrowseControlsCollection(QObject* parent) : QObject(parent) {
  const BrowseControlDescription descriptions[] = {
      describe<TYListBox>("YVclCtrl::TYListBox", "ui/browse/ylistbox.h", "ListBox1",
                          "A list of button-like items with check-box glyphs"),
      describe<TYDriveComboBox>("YVclCtrl::TYDriveComboBox", "ui/browse/ydrivecombobox.h",
                                "DriveComboBox1",
                                "A drive selector that refuses drives that are not ready"),
      describe<TYDirectoryListBox>("YVclCtrl::TYDirectoryListBox", "ui/browse/ydirectorylistbox.h",
                                   "DirectoryListBox1",
                                   "A directory list that refuses inaccessible folders"),
      describe<TYFileListBox>("YVclCtrl::TYFileListBox", "ui/browse/yfilelistbox.h", "FileListBox1",
                              "A file list with the system's file icons"),
  };
  for (const BrowseControlDescription& description : descriptions) {
    m_controls.append(new BrowseControlPlugin(description, this));
  }
}

}  // namespace YVclCtrl
