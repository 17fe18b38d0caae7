#include <gtest/gtest.h>

#include <QApplication>
#include <QPluginLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <memory>

namespace {

// One application for the whole test program, gone before the program exits.
class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "designer_test";
    static char* argv[] = {name, nullptr};
    m_application = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { m_application.reset(); }

 private:
  std::unique_ptr<QApplication> m_application;
};

const ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// Loaded as Qt Designer loads it, the plugin offers each browsing control with its include
// file and palette bitmap, and makes one for a form.
TEST(DesignerPluginTest, OffersAndCreatesEachBrowsingControl) {
  QPluginLoader loader(QStringLiteral(TVX_DESIGNER_PLUGIN));
  ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
  auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader.instance());
  ASSERT_NE(collection, nullptr);

  struct Expected {
    const char* name;
    const char* includeFile;
  };
  const Expected expected[] = {
      {"YVclCtrl::TYListBox", "ui/browse/ylistbox.h"},
      {"YVclCtrl::TYDriveComboBox", "ui/browse/ydrivecombobox.h"},
      {"YVclCtrl::TYDirectoryListBox", "ui/browse/ydirectorylistbox.h"},
      {"YVclCtrl::TYFileListBox", "ui/browse/yfilelistbox.h"},
  };
  const QList<QDesignerCustomWidgetInterface*> controls = collection->customWidgets();
  ASSERT_EQ(controls.size(), std::size(expected));
  for (qsizetype i = 0; i < controls.size(); ++i) {
    QDesignerCustomWidgetInterface& control = *controls[i];
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(control.name(), expected[i].name);
    EXPECT_EQ(control.includeFile(), expected[i].includeFile);
    EXPECT_FALSE(control.icon().isNull());
    EXPECT_FALSE(control.isContainer());
    EXPECT_TRUE(control.domXml().contains(QStringLiteral("class=\"%1\"").arg(expected[i].name)));

    QWidget form;
    const QWidget* widget = control.createWidget(&form);
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), expected[i].name);
    EXPECT_EQ(widget->parentWidget(), &form);
  }
}

}  // namespace
