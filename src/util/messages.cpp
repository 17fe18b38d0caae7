#include "util/messages.h"

#include <cstdarg>

#include "util/component.h"
#include "util/diagnostic_sink.h"
#include "util/printf_format.h"

namespace YVclUtil {
namespace {

int showBox(const std::string& caption, const char* format, va_list args) {
  const std::string text = FormatPrintfV(format, args);
  CurrentDiagnosticSink().showErrorBox(caption, text);
  return static_cast<int>(text.size());
}

}  // namespace

int ShowErrMsgBox_Printf(const char* caption, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = showBox(caption != nullptr ? caption : "", format, args);
  va_end(args);
  return length;
}

int ShowErrMsgBox_Printf(const tvx::platform::TComponent* owner, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = showBox(owner != nullptr ? owner->pr_Name() : std::string(), format, args);
  va_end(args);
  return length;
}

int SendDbgString_Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatPrintfV(format, args);
  va_end(args);
  CurrentDiagnosticSink().debugString(text);
  return static_cast<int>(text.size());
}

}  // namespace YVclUtil
