#include "ui/window/main_window.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "app/studio.h"
#include "app/upload_session.h"
#include "ui/qt/display_text.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/qt/report_exceptions.h"
#include "ui/window/background_page.h"
#include "ui/window/build_page.h"
#include "ui/window/build_runner.h"
#include "ui/window/code_table_page.h"
#include "ui/window/log_menu.h"
#include "ui/window/screen_preview.h"
#include "ui/window/style_page.h"
#include "ui/window/unsaved_changes.h"
#include "ui/window/widget_factory.h"
#include "ui/window/wizard_tabs.h"

namespace tvx {

namespace {

constexpr int kPageCount = 4;

QString fromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TForm1::TForm1(Studio& studio, QWidget* parent) : QMainWindow(parent), m_studio(studio) {
  if (UiEventLoop() == nullptr) {
    m_ownLoop = std::make_unique<QtEventLoop>();
    SetUiEventLoop(m_ownLoop.get());
  }
  m_uploadSession = std::make_unique<UploadSession>(m_studio.log(), UiEventLoop());
  setObjectName("Form1");
  // Chinese captions in the traditional forms of the glyphs, whichever font draws the Latin.
  QFont captions = font();
  captions.setFamilies(
      {captions.family(), "Noto Sans CJK TC", "Noto Sans TC", "PingFang TC", "Microsoft JhengHei"});
  setFont(captions);
  setWindowTitle(fromView(kDesignCaption));
  buildMenu();
  buildPages();
  wirePages();
  buildGrowth();
  // Larger than the design size, never smaller.
  setMinimumSize(kWidth, kHeight);
  resize(kWidth, kHeight);
  showPage(1);
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &TForm1::syncWithStudio);
}

TForm1::~TForm1() {
  disconnect(QAbstractEventDispatcher::instance(), nullptr, this, nullptr);
  // The build first (it may still use the pages), then the pages, then the session (it closes
  // the port of a transfer still running); the loop last.
  m_buildRunner.reset();
  delete takeCentralWidget();
  m_uploadSession.reset();
  if (m_ownLoop && UiEventLoop() == m_ownLoop.get()) {
    SetUiEventLoop(nullptr);
  }
}

void TForm1::buildMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("檔案"));
  file->setObjectName("N1");
  auto addCommand = [this, file](const char* name, const QString& caption,
                                 QKeySequence::StandardKey key, void (TForm1::*handler)()) {
    QAction* action = file->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, [this, handler] {
      YVclCtrl::RunReportingExceptions([this, handler] { (this->*handler)(); });
    });
    return action;
  };
  m_newProject = addCommand("N2", QStringLiteral("新專案"), QKeySequence::New, &TForm1::N2Click);
  file->addSeparator()->setObjectName("N3");
  m_loadProject =
      addCommand("N4", QStringLiteral("載入專案"), QKeySequence::Open, &TForm1::N4Click);
  m_recentMenu = file->addMenu(QStringLiteral("最近的專案"));
  m_recentMenu->setObjectName("RecentProjects");
  connect(m_recentMenu, &QMenu::aboutToShow, this, [this] {
    m_recent.fillMenu(m_recentMenu, m_studio.language(), [this](const QString& path) {
      YVclCtrl::RunReportingExceptions([this, &path] { openProject(StoragePath(path)); });
    });
  });
  addCommand("N5", QStringLiteral("儲存專案"), QKeySequence::Save, &TForm1::N5Click);
  file->addSeparator()->setObjectName("N6");
  addCommand("N7", QStringLiteral("離開"), QKeySequence::Quit, &TForm1::N7Click);
}

void TForm1::buildPages() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  m_pages = form::Place(new WizardTabs(central), "PageControl1", {8, 6, 873, 457});
  m_stylePage = new StylePage(m_studio);
  m_backgroundPage = new BackgroundPage(m_studio);
  m_codeTablePage = new CodeTablePage(m_studio);
  m_buildPage = new BuildPage(m_studio, *m_uploadSession);
  m_pages->addTab(m_stylePage, QStringLiteral("樣式"));
  m_pages->addTab(m_backgroundPage, QStringLiteral("背景"));
  m_pages->addTab(m_codeTablePage, QStringLiteral("編碼表"));
  m_pages->addTab(m_buildPage, QStringLiteral("製作"));
  m_previous = form::Button(central, "SpeedButton1", QStringLiteral("上一頁"), {8, 470, 130, 34});
  m_next = form::Button(central, "SpeedButton2", QStringLiteral("下一頁"), {751, 470, 130, 34});
  connect(m_previous, &QPushButton::clicked, this, &TForm1::SpeedButton1Click);
  connect(m_next, &QPushButton::clicked, this, &TForm1::SpeedButton2Click);
  // The page keys of the tab control follow the page buttons, and do nothing where they do.
  connect(m_pages, &WizardTabs::nextPageAsked, this, [this] {
    if (m_next->isVisible() && m_next->isEnabled()) {
      SpeedButton2Click();
    }
  });
  connect(m_pages, &WizardTabs::previousPageAsked, this, [this] {
    if (m_previous->isVisible() && m_previous->isEnabled()) {
      SpeedButton1Click();
    }
  });
  InstallLogMenu(m_buildPage->findChild<QPlainTextEdit*>("Memo1"), m_studio);

  m_buildRunner =
      std::make_unique<BuildRunner>(m_studio, *m_buildPage, *m_uploadSession, *UiEventLoop());
  m_buildPage->setBuildAndUpload([this] { m_buildRunner->start(); });
  connect(m_buildRunner.get(), &BuildRunner::started, this, [this] { lockForBuild(true); });
  connect(m_buildRunner.get(), &BuildRunner::finished, this, &TForm1::buildFinished);
}

void TForm1::lockForBuild(bool locked) {
  menuBar()->setEnabled(!locked);
  for (QAction* command : findChildren<QAction*>()) {
    command->setEnabled(!locked);
  }
  m_previous->setEnabled(!locked);
  m_next->setEnabled(!locked);
  for (QWidget* page : {static_cast<QWidget*>(m_stylePage), static_cast<QWidget*>(m_backgroundPage),
                        static_cast<QWidget*>(m_codeTablePage)}) {
    page->setEnabled(!locked);
  }
  m_buildPage->setBuilding(locked);
  if (!locked) {
    syncWithStudio();
  }
}

void TForm1::buildFinished() {
  lockForBuild(false);
  const std::optional<BuildResult>& result = m_buildRunner->lastResult();
  m_buildPage->setBuiltImage(result && result->outcome == BuildOutcome::kBuilt
                                 ? std::optional<std::string>(result->romImagePath)
                                 : std::nullopt);
  // The build saved the project and may have cleaned values of it: show it as it is now.
  refreshFromStudio();
  if (m_closeAfterBuild) {
    close();
  }
}

void TForm1::wirePages() {
  ScreenPreview* preview = m_buildPage->preview();
  connect(m_stylePage, &StylePage::dateTimeDisplayChanged, this, [this, preview](bool on) {
    m_buildPage->dateTimeDisplayChanged(on);
    preview->ShowBuildPreview();
  });
  connect(m_stylePage, &StylePage::previewChanged, preview, &ScreenPreview::ShowBuildPreview);
  connect(m_backgroundPage, &BackgroundPage::arrangementChanged, preview,
          &ScreenPreview::ShowBuildPreview);
  connect(m_backgroundPage, &BackgroundPage::previewChanged, preview,
          &ScreenPreview::ShowBuildPreview);
  connect(m_backgroundPage, &BackgroundPage::backgroundColourChanged, preview,
          &ScreenPreview::fillBackground);
  connect(m_backgroundPage, &BackgroundPage::backgroundPictureShown, preview,
          &ScreenPreview::showBackgroundPicture);
}

void TForm1::startUp() {
  m_studio.StartUp();
  m_uploadSession->prepareHeader(m_studio.state().LibraryLoaded);
  refreshFromStudio();
}

void TForm1::refreshFromStudio() {
  applySettings();
  m_stylePage->refresh();
  m_backgroundPage->refresh();
  m_codeTablePage->refresh();
  m_buildPage->refresh();
  m_buildPage->dateTimeDisplayChanged(m_studio.project().USE_DATETIME != 0);
  m_backgroundPage->showPreview(m_studio.window().BackgroundPreviewShown);
  m_codeTablePage->showFloorBackgroundPanel(m_studio.window().FloorBackgroundPreviewShown);
  m_buildPage->preview()->fillBackground();
  m_buildPage->preview()->ShowBuildPreview();
  showTitle();
  noteRecentProject();
  showPage(m_studio.window().CurrentPage);
}

void TForm1::applySettings() {
  m_captions.apply(m_studio.window().captions);
  m_qtCatalogue.useLanguage(m_studio.language());
  m_recentMenu->setTitle(m_studio.language() == 0 ? QStringLiteral("Recent projects")
                                                  : QStringLiteral("最近的專案"));
  m_backgroundPage->setHeadings(m_studio.language());
  m_codeTablePage->setHeadings(m_studio.language());
  applyPanels();
}

void TForm1::applyPanels() {
  const ProtocolPanels& panels = m_studio.window().panels;
  const std::pair<const char*, const PanelState*> all[] = {
      {"Panel6", &panels.Panel6},   {"Panel8", &panels.Panel8},   {"Panel9", &panels.Panel9},
      {"Panel10", &panels.Panel10}, {"Panel12", &panels.Panel12}, {"Panel13", &panels.Panel13},
      {"Panel14", &panels.Panel14}, {"Panel15", &panels.Panel15}};
  for (const auto& [name, state] : all) {
    auto* panel = findChild<QWidget*>(name);
    if (panel == nullptr) {
      continue;
    }
    if (!m_designPanelPositions.contains(name)) {
      m_designPanelPositions.insert(name, panel->pos());
    }
    panel->move(state->position ? QPoint(state->position->left, state->position->top)
                                : m_designPanelPositions.value(name));
    panel->setVisible(state->visible);
    if (state->visible) {
      panel->raise();
    }
  }
}

void TForm1::showTitle() {
  const QString title = DisplayText(m_studio.title());
  const QString shown = m_studio.modified() ? '*' + title : title;
  if (windowTitle() != shown) {
    setWindowTitle(shown);
  }
}

void TForm1::syncWithStudio() {
  // While a build runs, the project is the build thread's; the window is locked meanwhile.
  if (m_buildRunner == nullptr || m_buildRunner->running() || m_shutDown) {
    return;
  }
  showTitle();
  const bool idle = !m_uploadSession->busy();
  m_newProject->setEnabled(idle);
  m_loadProject->setEnabled(idle);
  m_recentMenu->setEnabled(idle);
}

void TForm1::noteRecentProject() {
  const std::string& path = m_studio.project().ProjectPath;
  if (!path.empty()) {
    m_recent.add(DisplayPath(path));
  }
}

bool TForm1::mayDropProject() {
  if (!m_studio.modified()) {
    return true;
  }
  switch (AskAboutUnsavedChanges(this, m_studio.language())) {
    case UnsavedChoice::kSave:
      return saveProject();
    case UnsavedChoice::kDiscard:
      return true;
    case UnsavedChoice::kCancel:
      break;
  }
  return false;
}

bool TForm1::saveProject() {
  const auto path = m_studio.chooseProjectToSave();
  const bool saved = path && m_studio.SaveProject(*path);
  if (saved) {
    noteRecentProject();
  }
  showTitle();
  return saved;
}

int TForm1::currentPage() const {
  return m_studio.window().CurrentPage;
}

void TForm1::showPage(int page) {
  page = std::clamp(page, 1, kPageCount);
  m_studio.window().CurrentPage = page;
  m_pages->setTabVisible(page - 1, true);
  m_pages->setCurrentIndex(page - 1);
  for (int index = 0; index < kPageCount; ++index) {
    if (index != page - 1) {
      m_pages->setTabVisible(index, false);
    }
  }
  m_previous->setVisible(page > 1);
  m_next->setVisible(page < kPageCount);
  if (page == kPageCount) {
    m_buildPage->preview()->ShowBuildPreview();
  }
}

void TForm1::SpeedButton1Click() {
  showPage(currentPage() - 1);
}

void TForm1::SpeedButton2Click() {
  showPage(currentPage() + 1);
}

void TForm1::N2Click() {
  // The log and the project stay while packets go out or the port is awaited.
  if (m_uploadSession->busy() || !mayDropProject()) {
    return;
  }
  m_studio.NewProject();
  refreshFromStudio();
}

void TForm1::N4Click() {
  if (m_uploadSession->busy() || !mayDropProject()) {
    return;
  }
  const auto path = m_studio.chooseProjectToOpen();
  if (path && m_studio.LoadProject(*path)) {
    refreshFromStudio();
  }
}

void TForm1::openProject(const std::string& path) {
  if (m_uploadSession->busy() || !mayDropProject()) {
    return;
  }
  if (m_studio.LoadProject(path)) {
    refreshFromStudio();
  }
}

void TForm1::N5Click() {
  saveProject();
}

void TForm1::N7Click() {
  close();
}

void TForm1::buildGrowth() {
  using Follow = WindowGrowth::Follow;
  const std::pair<const char*, WindowGrowth::Follows> controls[] = {
      {"PageControl1", Follow::kGrowWidth | Follow::kGrowHeight},
      {"SpeedButton1", Follow::kMoveDown},
      {"SpeedButton2", Follow::kMoveRight | Follow::kMoveDown},
      // Page 2: the background lists grow, what lies below and beside them moves.
      {"PageControl2", Follow::kGrowWidth | Follow::kGrowHeight},
      {"GroupBox6", Follow::kMoveDown},
      {"GroupBox4", Follow::kMoveDown},
      {"Label1", Follow::kMoveRight},
      {"Image11", Follow::kMoveRight},
      // Page 3: the code table shows more rows; its columns have their design widths.
      {"StringGrid2", Follow::kGrowHeight},
      // Page 4: the log and the tools column above it widen, the log grows down.
      {"ComboBox2", Follow::kGrowWidth},
      {"ProgressBar1", Follow::kGrowWidth},
      {"Memo1", Follow::kGrowWidth | Follow::kGrowHeight},
      {"SheetButton", Follow::kMoveDown},
  };
  for (const auto& [name, follows] : controls) {
    m_growth.add(findChild<QWidget*>(name), follows);
  }
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  m_growth.apply(size() - QSize(kWidth, kHeight));
}

void TForm1::closeEvent(QCloseEvent* event) {
  // A build is not cut off halfway (its files would be left half written): the window closes
  // when it is over.
  if (m_buildRunner->running()) {
    m_closeAfterBuild = true;
    event->ignore();
    return;
  }
  if (!m_shutDown && !mayDropProject()) {
    event->ignore();
    return;
  }
  // A transfer still running is aborted: the port is closed and the close is logged.
  m_uploadSession->abort();
  if (!m_shutDown) {
    m_shutDown = true;
    m_studio.ShutDown();
  }
  event->accept();
}

}  // namespace tvx
