#include "ui/window/log_menu.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSaveFile>

#include "app/studio.h"
#include "project/project_file.h"
#include "ui/qt/display_text.h"
#include "ui/qt/report_exceptions.h"

namespace tvx {

namespace {

void copyLog(const QPlainTextEdit* log) {
  const QString selected = log->textCursor().selectedText();
  // A selection holds its line ends as paragraph separators.
  QApplication::clipboard()->setText(
      selected.isEmpty() ? log->toPlainText()
                         : QString(selected).replace(QChar::ParagraphSeparator, '\n'));
}

void saveLog(const QPlainTextEdit* log, Studio& studio) {
  const bool english = studio.language() == 0;
  const auto path = studio.host().chooseSaveFile(
      {"", english ? "Text file (*.txt)|*.txt" : "文字檔 (*.txt)|*.txt", studio.lastProjectFolder(),
       "tvx880-log.txt", "txt", studio.language()});
  if (!path) {
    return;
  }
  QSaveFile file(DisplayPath(*path));
  if (file.open(QIODevice::WriteOnly | QIODevice::Text) &&
      file.write((log->toPlainText() + '\n').toUtf8()) >= 0 && file.commit()) {
    return;
  }
  studio.host().showMessage(kProjectMessageCaption,
                            (english ? "The log could not be written to " : "無法寫入記錄檔 ") +
                                *path + ": " + file.errorString().toStdString());
}

}  // namespace

void InstallLogMenu(QPlainTextEdit* log, Studio& studio) {
  log->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(log, &QWidget::customContextMenuRequested, log, [log, &studio](QPoint at) {
    const bool english = studio.language() == 0;
    QMenu menu(log);
    QAction* copy = menu.addAction(english ? QStringLiteral("Copy") : QStringLiteral("複製"));
    copy->setObjectName("LogCopy");
    copy->setEnabled(!log->document()->isEmpty());
    QObject::connect(copy, &QAction::triggered, log, [log] { copyLog(log); });
    QAction* save =
        menu.addAction(english ? QStringLiteral("Save log as…") : QStringLiteral("另存記錄檔…"));
    save->setObjectName("LogSaveAs");
    QObject::connect(save, &QAction::triggered, log, [log, &studio] {
      YVclCtrl::RunReportingExceptions([log, &studio] { saveLog(log, studio); });
    });
    menu.exec(log->mapToGlobal(at));
  });
}

}  // namespace tvx
