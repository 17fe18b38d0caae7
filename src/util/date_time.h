#pragma once

#include <string>

namespace tvx::platform {

// The desktop platform's date and time value: days since 1899-12-30 00:00; the fraction is the
// time of day (0.5 is noon). Years 1 to 9999.
struct TDateTime {
  double Value = 0.0;

  bool operator==(const TDateTime&) const = default;
};

// The present moment in local time, to the millisecond.
TDateTime Now();

// Raise EConvertError for values out of range.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);

// The date part and the time part of a value.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

// Text forms. This tool formats and reads dates and times the same way whatever the user's
// locale, in the order of the C locale ("%m/%d/%y", "%H:%M:%S") but with a four-digit year so
// that a date reads back unchanged:
//   time       "HH:MM:SS"              e.g. "07:05:09"
//   date       "MM/DD/YYYY"            e.g. "03/07/2024"
//   date-time  "MM/DD/YYYY HH:MM:SS"
// Reading accepts one or two digits per field, a time without seconds ("7:05"), a year of one
// to four digits (a two-digit year below 69 is 20yy, from 69 on 19yy), and spaces around the
// text. A date-time text may be a date alone, a time alone or a date, spaces and a time.
// Invalid texts raise EConvertError "'%s' is not a valid time" / "... date" /
// "... date and time".
std::string TimeToStr(TDateTime value);
std::string DateToStr(TDateTime value);
std::string DateTimeToStr(TDateTime value);
TDateTime StrToTime(const std::string& text);
TDateTime StrToDate(const std::string& text);
TDateTime StrToDateTime(const std::string& text);

}  // namespace tvx::platform
