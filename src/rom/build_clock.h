#pragma once

#include <functional>
#include <optional>
#include <string>

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

using BuildClock = std::function<BuildTime()>;

// The computer's local date and time, or, when the environment variable SOURCE_DATE_EPOCH is
// set, that many seconds after 1970-01-01 00:00:00 UTC (the reproducible-builds convention), so
// that two builds of the same project give the same image. A value that is not a decimal number
// of seconds raises EBuildError.
BuildClock SystemBuildClock();

// The time of SOURCE_DATE_EPOCH text; nothing (and why in error) when it is not a whole number
// of seconds from 0 to the end of the year 9999.
std::optional<BuildTime> BuildTimeFromEpochText(const std::string& text, std::string& error);

}  // namespace tvx
