#include "rom/build_clock.h"

#include <charconv>
#include <cstdlib>
#include <ctime>

#include "rom/build_report.h"
#include "util/date_time.h"

namespace tvx {

namespace {

constexpr long long kLastEpochSecond = 253402300799;  // 9999-12-31 23:59:59 UTC

BuildTime localNow() {
  const platform::TDateTime now = platform::Now();
  BuildTime time;
  int millisecond = 0;
  platform::DecodeDate(now, time.year, time.month, time.day);
  platform::DecodeTime(now, time.hour, time.minute, time.second, millisecond);
  return time;
}

}  // namespace

std::optional<BuildTime> BuildTimeFromEpochText(const std::string& text, std::string& error) {
  long long seconds = -1;
  const auto [end, parseError] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || parseError != std::errc() || end != text.data() + text.size() ||
      seconds < 0 || seconds > kLastEpochSecond) {
    error = "SOURCE_DATE_EPOCH=\"" + text + "\" is not a number of seconds since 1970";
    return std::nullopt;
  }
  const auto value = static_cast<std::time_t>(seconds);
  std::tm utc{};
  if (gmtime_r(&value, &utc) == nullptr) {
    error = "SOURCE_DATE_EPOCH=\"" + text + "\" is out of range";
    return std::nullopt;
  }
  return BuildTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                   utc.tm_hour,        utc.tm_min,     utc.tm_sec};
}

BuildClock SystemBuildClock() {
  return [] {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch == nullptr) {
      return localNow();
    }
    std::string error;
    const std::optional<BuildTime> time = BuildTimeFromEpochText(epoch, error);
    if (!time) {
      throw EBuildError("Err: " + error);
    }
    return *time;
  };
}

}  // namespace tvx
