#include "util/date_time.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string_view>

#include "util/platform_exception.h"
#include "util/printf_format.h"

namespace tvx::platform {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date.
constexpr std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0));
}

constexpr std::int64_t kEpochDays = daysFromCivil(1899, 12, 30);

bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool validDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= daysInMonth(year, month);
}

bool validTime(int hour, int minute, int second, int millisecond) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
         millisecond >= 0 && millisecond < 1000;
}

// Whole days and milliseconds of the day; before the epoch the fraction counts forwards from
// the (negative) day as the platform does.
void split(TDateTime value, std::int64_t& days, std::int64_t& ms) {
  if (!std::isfinite(value.Value)) {
    throw EConvertError("Invalid date and time value");
  }
  const double whole = std::trunc(value.Value);
  days = static_cast<std::int64_t>(whole);
  ms = std::llround(std::fabs(value.Value - whole) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {
    ms = kMsPerDay - 1;
  }
}

// A small cursor over the text being read.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : m_text(text) {}

  void skipSpaces() {
    while (m_at < m_text.size() && m_text[m_at] == ' ') {
      ++m_at;
    }
  }
  bool atEnd() const { return m_at == m_text.size(); }
  bool accept(char c) {
    if (m_at < m_text.size() && m_text[m_at] == c) {
      ++m_at;
      return true;
    }
    return false;
  }
  std::optional<int> number(std::size_t maxDigits) {
    std::size_t digits = 0;
    int value = 0;
    while (m_at < m_text.size() && digits < maxDigits && m_text[m_at] >= '0' &&
           m_text[m_at] <= '9') {
      value = value * 10 + (m_text[m_at] - '0');
      ++m_at;
      ++digits;
    }
    if (digits == 0) {
      return std::nullopt;
    }
    return value;
  }
  std::size_t position() const { return m_at; }
  void rewind(std::size_t at) { m_at = at; }

 private:
  std::string_view m_text;
  std::size_t m_at = 0;
};

std::optional<TDateTime> scanTime(Scanner& in) {
  const auto hour = in.number(2);
  if (!hour || !in.accept(':')) {
    return std::nullopt;
  }
  const auto minute = in.number(2);
  if (!minute) {
    return std::nullopt;
  }
  int second = 0;
  if (in.accept(':')) {
    const auto seconds = in.number(2);
    if (!seconds) {
      return std::nullopt;
    }
    second = *seconds;
  }
  if (!validTime(*hour, *minute, second, 0)) {
    return std::nullopt;
  }
  return EncodeTime(*hour, *minute, second);
}

std::optional<TDateTime> scanDate(Scanner& in) {
  const auto month = in.number(2);
  if (!month || !in.accept('/')) {
    return std::nullopt;
  }
  const auto day = in.number(2);
  if (!day || !in.accept('/')) {
    return std::nullopt;
  }
  const std::size_t yearStart = in.position();
  auto year = in.number(4);
  if (!year) {
    return std::nullopt;
  }
  if (in.position() - yearStart <= 2) {
    *year += *year < 69 ? 2000 : 1900;
  }
  if (!validDate(*year, *month, *day)) {
    return std::nullopt;
  }
  return EncodeDate(*year, *month, *day);
}

[[noreturn]] void invalid(const char* what, const std::string& text) {
  throw EConvertError(YVclUtil::FormatPrintf("'%s' is not a valid %s", text.c_str(), what));
}

}  // namespace

TDateTime Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  const TDateTime date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const TDateTime time = EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                                    static_cast<int>(now.tv_nsec / 1000000));
  return TDateTime{date.Value + time.Value};
}

TDateTime EncodeDate(int year, int month, int day) {
  if (!validDate(year, month, day)) {
    throw EConvertError("Invalid argument to date encode");
  }
  return TDateTime{static_cast<double>(
      daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochDays)};
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (!validTime(hour, minute, second, millisecond)) {
    throw EConvertError("Invalid argument to time encode");
  }
  const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return TDateTime{static_cast<double>(ms) / static_cast<double>(kMsPerDay)};
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  std::int64_t days = 0;
  std::int64_t ms = 0;
  split(value, days, ms);
  civilFromDays(days + kEpochDays, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
  std::int64_t days = 0;
  std::int64_t ms = 0;
  split(value, days, ms);
  millisecond = static_cast<int>(ms % 1000);
  second = static_cast<int>(ms / 1000 % 60);
  minute = static_cast<int>(ms / 60000 % 60);
  hour = static_cast<int>(ms / 3600000);
}

TDateTime DateOf(TDateTime value) {
  return TDateTime{std::trunc(value.Value)};
}

TDateTime TimeOf(TDateTime value) {
  return TDateTime{std::fabs(value.Value - std::trunc(value.Value))};
}

std::string TimeToStr(TDateTime value) {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  DecodeTime(value, hour, minute, second, millisecond);
  return YVclUtil::FormatPrintf("%02d:%02d:%02d", hour, minute, second);
}

std::string DateToStr(TDateTime value) {
  int year = 0;
  int month = 0;
  int day = 0;
  DecodeDate(value, year, month, day);
  return YVclUtil::FormatPrintf("%02d/%02d/%04d", month, day, year);
}

std::string DateTimeToStr(TDateTime value) {
  return DateToStr(value) + " " + TimeToStr(value);
}

TDateTime StrToTime(const std::string& text) {
  Scanner in(text);
  in.skipSpaces();
  const auto time = scanTime(in);
  in.skipSpaces();
  if (!time || !in.atEnd()) {
    invalid("time", text);
  }
  return *time;
}

TDateTime StrToDate(const std::string& text) {
  Scanner in(text);
  in.skipSpaces();
  const auto date = scanDate(in);
  in.skipSpaces();
  if (!date || !in.atEnd()) {
    invalid("date", text);
  }
  return *date;
}

TDateTime StrToDateTime(const std::string& text) {
  Scanner in(text);
  in.skipSpaces();
  const std::size_t start = in.position();
  std::optional<TDateTime> result = scanDate(in);
  if (result) {
    const std::size_t afterDate = in.position();
    in.skipSpaces();
    if (in.position() > afterDate && !in.atEnd()) {
      const auto time = scanTime(in);
      if (!time) {
        invalid("date and time", text);
      }
      // Before the epoch the time counts away from zero, as the date's sign.
      result =
          TDateTime{result->Value < 0 ? result->Value - time->Value : result->Value + time->Value};
    }
  } else {
    in.rewind(start);
    result = scanTime(in);
  }
  in.skipSpaces();
  if (!result || !in.atEnd()) {
    invalid("date and time", text);
  }
  return *result;
}

}  // namespace tvx::platform
