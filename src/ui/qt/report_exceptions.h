#pragma once

#include <functional>

namespace YVclCtrl {

// Runs what a user action on a browsing control does. An exception must not cross Qt's
// event loop, so one raised here is shown the way the application shows any uncaught
// error: an error box captioned with the application's name and the exception's text.
void RunReportingExceptions(const std::function<void()>& action);

}  // namespace YVclCtrl
