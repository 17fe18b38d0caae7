#pragma once

#include <QString>
#include <map>
#include <string>

#include "project/host.h"
#include "util/diagnostic_sink.h"

class QWidget;

namespace tvx {

// A filter of the design's form "Bitmaps (*.bmp)|*.bmp" (description and patterns in pairs)
// as Qt's file dialogs take it; patterns also match upper-case extensions ("*.BMP").
QString QtFileFilter(const std::string& filter);

// The dialogs and message boxes of the window: Qt's own. Each kind of file dialog (one per
// filter) opens where it was left last time when the request names no folder.
class QtHost : public Host {
 public:
  // Dialogs are centred on the window when one is given.
  explicit QtHost(QWidget* window = nullptr) : m_window(window) {}
  void setWindow(QWidget* window) { m_window = window; }

  void showMessage(const std::string& caption, const std::string& text) override;
  std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
  std::optional<Colour> chooseColour(Colour initial) override;
  // Keeps the window painted, without taking user input, while it pauses.
  void pause(std::chrono::milliseconds duration) override;

 private:
  QString startPath(const FileDialogRequest& request) const;
  void remember(const FileDialogRequest& request, const QString& chosen);

  QWidget* m_window;
  std::map<std::string, QString> m_lastFolder;  // by filter
};

// Error boxes of the libraries as Qt message boxes; trace lines on stderr. A box asked for
// from another thread is shown by the GUI thread without making the caller wait (the GUI
// thread may be waiting for that very thread, closing a serial port).
class QtDiagnosticSink : public YVclUtil::DiagnosticSink {
 public:
  void showErrorBox(const std::string& caption, const std::string& text) override;
  void debugString(const std::string& text) override;
};

}  // namespace tvx
