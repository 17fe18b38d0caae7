#include "ui/qt/qt_host.h"

#include <QApplication>
#include <QColorDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "ui/qt/colours.h"
#include "ui/qt/display_text.h"
#include "ui/qt/replace_question.h"

namespace tvx {

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList qtFilters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    const qsizetype parenthesis = description.indexOf('(');
    if (parenthesis >= 0) {
      description = description.left(parenthesis).trimmed();
    }
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      const QString trimmed = pattern.trimmed();
      patterns << trimmed;
      if (trimmed.toUpper() != trimmed) {
        patterns << trimmed.toUpper();
      }
    }
    qtFilters << description + " (" + patterns.join(' ') + ")";
  }
  return qtFilters.join(";;");
}

void QtHost::showMessage(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, DisplayText(caption), DisplayText(text).trimmed(),
                  QMessageBox::Ok, m_window);
  box.exec();
}

QString QtHost::startPath(const FileDialogRequest& request) const {
  QString folder = DisplayPath(request.initialDirectory);
  if (folder.isEmpty()) {
    const auto last = m_lastFolder.find(request.filter);
    if (last != m_lastFolder.end()) {
      folder = last->second;
    }
  }
  if (request.fileName.empty()) {
    return folder;
  }
  const QString name = DisplayPath(request.fileName);
  if (QFileInfo(name).isAbsolute()) {
    return name;
  }
  return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

void QtHost::remember(const FileDialogRequest& request, const QString& chosen) {
  m_lastFolder[request.filter] = QFileInfo(chosen).absolutePath();
}

std::optional<std::string> QtHost::chooseOpenFile(const FileDialogRequest& request) {
  const QString chosen =
      QFileDialog::getOpenFileName(m_window, QString::fromStdString(request.title),
                                   startPath(request), QtFileFilter(request.filter));
  if (chosen.isEmpty()) {
    return std::nullopt;
  }
  remember(request, chosen);
  return StoragePath(chosen);
}

std::optional<std::string> QtHost::chooseSaveFile(const FileDialogRequest& request) {
  QFileDialog dialog(m_window, QString::fromStdString(request.title), startPath(request),
                     QtFileFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The question before a file is replaced is asked here, in the program's language.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  // Keeping the file goes back to the dialog, to choose another name.
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    const QString chosen = dialog.selectedFiles().front();
    if (QFileInfo::exists(chosen) && !AskToReplace(m_window, chosen, request.language)) {
      continue;
    }
    remember(request, chosen);
    return StoragePath(chosen);
  }
  return std::nullopt;
}

std::optional<Colour> QtHost::chooseColour(Colour initial) {
  const QColor chosen = QColorDialog::getColor(ToQColor(initial), m_window);
  if (!chosen.isValid()) {
    return std::nullopt;
  }
  return FromQColor(chosen);
}

void QtHost::pause(std::chrono::milliseconds duration) {
  QEventLoop loop;
  QTimer::singleShot(duration, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void QtDiagnosticSink::showErrorBox(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  auto show = [caption, text] {
    QMessageBox::critical(QApplication::activeWindow(), DisplayText(caption),
                          DisplayText(text).trimmed());
  };
  if (QThread::currentThread() == qApp->thread()) {
    show();
  } else {
    QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
  }
}

void QtDiagnosticSink::debugString(const std::string& text) {
  std::fprintf(stderr, "debug: %s\n", text.c_str());
}

}  // namespace tvx
