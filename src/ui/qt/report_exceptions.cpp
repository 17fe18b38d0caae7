#include "ui/qt/report_exceptions.h"

#include <QCoreApplication>
#include <exception>

#include "util/messages.h"

namespace YVclCtrl {

void RunReportingExceptions(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    const QByteArray caption = QCoreApplication::applicationName().toUtf8();
    YVclUtil::ShowErrMsgBox_Printf(caption.constData(), "%s", error.what());
  }
}

}  // namespace YVclCtrl
