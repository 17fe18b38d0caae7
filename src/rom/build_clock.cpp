#include "rom/build_clock.h"

#include <charconv>
#include <cstdlib>
#include <ctime>

#include "rom/build_texts.h"
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

Result<BuildTime> BuildTimeFromEpochText(const std::string& text) {
  const std::string setting = "SOURCE_DATE_EPOCH=\"" + text + "\"";
  long long seconds = -1;
  const auto [end, parseError] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || parseError != std::errc() || end != text.data() + text.size() ||
      seconds < 0 || seconds > kLastEpochSecond) {
    return Error::Stated(setting, build_text::kNotEpochSeconds);
  }
  const auto value = static_cast<std::time_t>(seconds);
  std::tm utc{};
  if (gmtime_r(&value, &utc) == nullptr) {
    return Error::Stated(setting, build_text::kEpochOutOfRange);
  }
  return BuildTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                   utc.tm_hour,        utc.tm_min,     utc.tm_sec};
}

BuildClock SystemBuildClock() {
  return []() -> Result<BuildTime> {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch == nullptr) {
      return localNow();
    }
    return BuildTimeFromEpochText(epoch);
  };
}

}  // namespace tvx
