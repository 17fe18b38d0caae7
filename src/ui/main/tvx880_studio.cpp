// tvx880-studio: the window of the TVX880 floor indicator tool.

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>

#include "app/program_home.h"
#include "app/studio.h"
#include "serial/port_map.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/qt/qt_host.h"
#include "ui/window/build_page.h"
#include "ui/window/main_window.h"
#include "ui/window/port_combo_box.h"
#include "ui/window/studio_options.h"
#include "util/error_text.h"

namespace {

// Why the window program cannot start, in English (the settings are not read yet): on stderr
// and, once there is a screen, in a box.
int refuse(const tvx::Error& error, bool inBox, int status) {
  const std::string message = tvx::ErrorText(error, 0);
  std::fprintf(stderr, "tvx880-studio: %s\n", message.c_str());
  if (inBox) {
    QMessageBox::critical(nullptr, "TVX880", QString::fromStdString(message));
  }
  return status;
}

}  // namespace

// Whether a window can be opened at all (Qt would abort without telling why in plain words).
bool displayAvailable() {
  return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
         !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int main(int argc, char** argv) {
  // The settings store of the window (the recent projects) is named after these.
  QCoreApplication::setOrganizationName("tvx880");
  QCoreApplication::setApplicationName("tvx880-studio");
  QCoreApplication::setApplicationVersion(TVX_VERSION);
  // The command line is read before the window system is asked for, so that --help works
  // anywhere.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  const tvx::Result<tvx::StudioOptions> parsed = tvx::ParseStudioOptions(arguments);
  if (!parsed) {
    return refuse(parsed.error(), false, 2);
  }
  if (parsed->helpShown) {
    std::fputs(parsed->helpText.c_str(), stdout);
    std::fputc('\n', stdout);
    return 0;
  }
  if (!displayAvailable()) {
    std::fputs(
        "tvx880-studio: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
        "empty); the command-line tool tvx880 builds and uploads without one\n",
        stderr);
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationDisplayName("TVX880");
  QApplication::setDesktopFileName("tvx880-studio");
  QApplication::setWindowIcon(QIcon(":/icons/tvx880-studio.png"));

  const tvx::StudioOptions& options = *parsed;
  for (const std::string& mapping : options.portMappings) {
    if (tvx::Result<void> added = tvx::platform::CurrentPortMap().addMapping(mapping); !added) {
      return refuse(added.error(), true, 2);
    }
  }
  const tvx::Result<std::string> home = tvx::FindProgramDir(options.home);
  if (!home) {
    return refuse(home.error(), true, 1);
  }

  tvx::QtEventLoop loop;
  tvx::ScopedUiEventLoop uiLoop(loop);
  tvx::QtDiagnosticSink sink;
  YVclUtil::ScopedDiagnosticSink scopedSink(sink);
  tvx::QtHost host;
  tvx::Studio studio(*home, &host);
  tvx::TForm1 window(studio);
  host.setWindow(&window);
  window.show();
  window.startUp();
  if (options.project && studio.LoadProject(*options.project)) {
    window.refreshFromStudio();
  }
  if (options.port) {
    const auto port = tvx::platform::ParsePortName(*options.port);
    tvx::PortComboBox* ports = window.buildPage()->portList();
    if (port->number) {
      ports->selectNumber(*port->number);
    } else {
      ports->selectPath(port->path);
    }
  }
  return QApplication::exec();
}
