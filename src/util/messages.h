#pragma once

namespace tvx::platform {
class TComponent;
}

namespace YVclUtil {

// Shows a task-modal error box (through the installed diagnostic sink) with the formatted
// message; returns the message length.
int ShowErrMsgBox_Printf(const char* caption, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// The same with the owner's Name as caption (empty when the owner or its name is empty).
int ShowErrMsgBox_Printf(const tvx::platform::TComponent* owner, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Sends the formatted message to the debugger channel; returns its length.
int SendDbgString_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace YVclUtil
