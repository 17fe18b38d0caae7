#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPoint>
#include <memory>

#include "ui/qt/qt_catalogue.h"
#include "ui/window/form_captions.h"
#include "ui/window/recent_projects.h"
#include "ui/window/window_growth.h"

class QAction;
class QMenu;
class QPushButton;

namespace tvx {

class BackgroundPage;
class BuildPage;
class BuildRunner;
class QtEventLoop;
class CodeTablePage;
class StylePage;
class Studio;
class UploadSession;
class WizardTabs;

// The main window: the menu, the four pages shown one at a time like a wizard, and the page
// buttons. Everything the window shows is the studio's project and state; the pages edit the
// project and the studio does the rest. Dialogs and messages go through the studio's host. The
// window owns the program's upload session (the port PcUart1), which the build page shows.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kWidth = 895;
  static constexpr int kHeight = 581;

  // The studio must outlive the window. The window does not start the studio: call startUp()
  // once (or refreshFromStudio() for a studio that already runs). The window runs on the
  // process UI loop (SetUiEventLoop); without one it installs a Qt loop of its own.
  explicit TForm1(Studio& studio, QWidget* parent = nullptr);
  ~TForm1() override;

  // Start-up of the program: the studio reads the settings and the library, the upload header
  // is prepared, then the window shows the default project on page 1.
  void startUp();
  // Shows everything from the studio's project and state.
  void refreshFromStudio();

  // Menu commands. New and Load do nothing while a transfer or the wait for the port runs (their
  // commands are disabled then). New, Load and Exit first ask what becomes of unsaved changes.
  void N2Click();
  void N4Click();
  void N5Click();
  void N7Click();
  // Loads a project file as "載入專案" does once the file is chosen (the recent projects).
  void openProject(const std::string& path);
  // Page buttons.
  void SpeedButton1Click();
  void SpeedButton2Click();
  void showPage(int page);
  int currentPage() const;

  StylePage* stylePage() const { return m_stylePage; }
  BackgroundPage* backgroundPage() const { return m_backgroundPage; }
  CodeTablePage* codeTablePage() const { return m_codeTablePage; }
  BuildPage* buildPage() const { return m_buildPage; }
  BuildRunner& buildRunner() { return *m_buildRunner; }
  UploadSession& uploadSession() { return *m_uploadSession; }
  Studio& studio() { return m_studio; }
  RecentProjects& recentProjects() { return m_recent; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildMenu();
  void buildPages();
  void wirePages();
  void applySettings();
  void applyPanels();
  // The studio's title, marked "*" while the project has unsaved changes.
  void showTitle();
  // Whether the project may be replaced or the window closed: asks what becomes of unsaved
  // changes; Save saves as "儲存專案" does and goes on only when the project was saved.
  bool mayDropProject();
  bool saveProject();
  void noteRecentProject();
  // Brings the title mark and the commands that wait for a transfer up to date; the window does
  // it each time its loop falls idle, so that no edit of any page goes unnoticed.
  void syncWithStudio();
  void buildGrowth();
  // While a build runs the project is the build's: editing and the menu are locked.
  void lockForBuild(bool locked);
  void buildFinished();

  Studio& m_studio;
  // The window's loop when the program installed none (tests of single pages, tools).
  std::unique_ptr<QtEventLoop> m_ownLoop;
  // Made on the window's loop; outlives the pages, which show it.
  std::unique_ptr<UploadSession> m_uploadSession;
  FormCaptions m_captions{this};
  QtCatalogue m_qtCatalogue;
  RecentProjects m_recent;
  WindowGrowth m_growth;
  QAction* m_newProject = nullptr;   // N2
  QAction* m_loadProject = nullptr;  // N4
  QMenu* m_recentMenu = nullptr;
  WizardTabs* m_pages = nullptr;      // PageControl1
  QPushButton* m_previous = nullptr;  // SpeedButton1
  QPushButton* m_next = nullptr;      // SpeedButton2
  StylePage* m_stylePage = nullptr;
  BackgroundPage* m_backgroundPage = nullptr;
  CodeTablePage* m_codeTablePage = nullptr;
  BuildPage* m_buildPage = nullptr;
  QHash<QString, QPoint> m_designPanelPositions;
  std::unique_ptr<BuildRunner> m_buildRunner;
  bool m_closeAfterBuild = false;
  bool m_shutDown = false;
};

}  // namespace tvx
