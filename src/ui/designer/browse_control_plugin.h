#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

namespace YVclCtrl {

// What Qt Designer needs to know of one browsing control.
struct BrowseControlDescription {
  QString className;    // with its namespace, as generated code names it
  QString includeFile;  // as generated code includes it
  QString objectName;   // of the first one placed on a form
  QString toolTip;
  std::function<QWidget*(QWidget* parent)> create;
};

// One browsing control in Designer's widget box, shown with the palette bitmap named after
// its class.
class BrowseControlPlugin : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  BrowseControlPlugin(BrowseControlDescription description, QObject* parent);

  QString name() const override { return m_description.className; }
  QString group() const override;
  QString toolTip() const override { return m_description.toolTip; }
  QString whatsThis() const override { return m_description.toolTip; }
  QString includeFile() const override { return m_description.includeFile; }
  QIcon icon() const override;
  bool isContainer() const override { return false; }
  QWidget* createWidget(QWidget* parent) override { return m_description.create(parent); }
  bool isInitialized() const override { return m_initialized; }
  void initialize(QDesignerFormEditorInterface*) override { m_initialized = true; }
  QString domXml() const override;

 private:
  BrowseControlDescription m_description;
  bool m_initialized = false;
};

}  // namespace YVclCtrl
