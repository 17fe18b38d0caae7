#pragma once

#include <functional>
#include <string>

#include "util/result.h"

// The date and time a build stamps into the configuration block.
namespace tvx {

struct BuildTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const BuildTime&) const = default;
};

// The time to stamp, or the error that ends the build.
using BuildClock = std::function<Result<BuildTime>()>;

// The computer's local date and time, or, when the environment variable SOURCE_DATE_EPOCH is
// set, that many seconds after 1970-01-01 00:00:00 UTC (the reproducible-builds convention), so
// that two builds of the same project give the same image. A value that is not a decimal number
// of seconds is an error naming it.
BuildClock SystemBuildClock();

// The time of SOURCE_DATE_EPOCH text, or an error naming it when it is not a whole number of
// seconds from 0 to the end of the year 9999.
Result<BuildTime> BuildTimeFromEpochText(const std::string& text);

}  // namespace tvx
