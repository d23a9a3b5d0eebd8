// Dates and times as doubles counting days since 1899-12-30, the fraction being
// the time of day (for days before that date the fraction still counts forward
// from midnight: -1.25 is 1899-12-29 06:00).
#pragma once

#include <cstdint>

namespace Platform {

struct DateParts {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct TimeParts {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Years 1 to 9999; otherwise EConvertError "Invalid argument to date encode".
double EncodeDate(int year, int month, int day);
// Hours 0-23, minutes and seconds 0-59, milliseconds 0-999; otherwise
// EConvertError "Invalid argument to time encode". The result is a day fraction.
double EncodeTime(int hour, int minute, int second, int millisecond);
// A date plus a time of day, the time counting forward from the date's midnight.
double ComposeDateTime(double date, double time);

// Decoding rounds to whole milliseconds first. A value outside 0001-01-01 ..
// 9999-12-31 23:59:59.999 (or not finite) fails with EConvertError.
DateParts DecodeDate(double dateTime);
TimeParts DecodeTime(double dateTime);

}  // namespace Platform
