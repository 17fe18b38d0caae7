#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

namespace YVclCtrl {

// The Qt Designer plugin of the browsing controls: TYListBox, TYDriveComboBox,
// TYDirectoryListBox and TYFileListBox for forms.
class BrowseControlsCollection : public QObject, public QDesignerCustomWidgetCollectionInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
  Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

 public:
  explicit BrowseControlsCollection(QObject* parent = nullptr);

  QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return m_controls; }

 private:
  QList<QDesignerCustomWidgetInterface*> m_controls;
};

}  // namespace YVclCtrl
