#include "base/DateTime.h"

#include <cmath>

#include "base/Exception.h"
#include "base/Format.h"

namespace Platform {

namespace {

constexpr std::int64_t MillisecondsPerDay = 86400000;
// Day number of 0001-01-01 counted from 1899-12-30, and of 9999-12-31.
constexpr std::int64_t FirstDay = -693593;
constexpr std::int64_t LastDay = 2958465;

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days since 0001-01-01 of the first day of the year.
std::int64_t DaysBeforeYear(int year) {
    const std::int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

struct DayAndTime {
    std::int64_t day;          // days since 1899-12-30
    std::int64_t millisecond;  // of the day, counted forward from its midnight
};

// Rounds to whole milliseconds; the time of day counts forward from the day's
// midnight also for days before 1899-12-30 (-1.25 is day -1, 06:00).
DayAndTime Split(double dateTime) {
    constexpr double limit = static_cast<double>((LastDay + 1) * MillisecondsPerDay);
    const double total = std::round(dateTime * MillisecondsPerDay);
    if (!(total > -limit && total < limit))
        throw EConvertError(Format("'%.15g' is not a valid date and time", dateTime));
    const auto milliseconds = static_cast<std::int64_t>(total);
    const std::int64_t day = milliseconds / MillisecondsPerDay;
    const std::int64_t time = milliseconds % MillisecondsPerDay;
    if (day < FirstDay) throw EConvertError(Format("'%.15g' is not a valid date and time", dateTime));
    return {day, time < 0 ? -time : time};
}

}  // namespace

double EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        throw EConvertError("Invalid argument to date encode");
    std::int64_t days = DaysBeforeYear(year) + day - 1;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return static_cast<double>(days + FirstDay);
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        throw EConvertError("Invalid argument to time encode");
    const std::int64_t total = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(total) / MillisecondsPerDay;
}

double ComposeDateTime(double date, double time) { return date < 0 ? date - time : date + time; }

DateParts DecodeDate(double dateTime) {
    std::int64_t days = Split(dateTime).day - FirstDay;  // since 0001-01-01, >= 0
    DateParts parts;
    // Four-hundred-year cycles, then centuries, four-year cycles and years.
    const std::int64_t cycles400 = days / 146097;
    days %= 146097;
    std::int64_t centuries = days / 36524;
    if (centuries == 4) centuries = 3;
    days -= centuries * 36524;
    const std::int64_t cycles4 = days / 1461;
    days %= 1461;
    std::int64_t years = days / 365;
    if (years == 4) years = 3;
    days -= years * 365;
    parts.year = static_cast<int>(cycles400 * 400 + centuries * 100 + cycles4 * 4 + years + 1);
    parts.month = 1;
    while (days >= DaysInMonth(parts.year, parts.month)) days -= DaysInMonth(parts.year, parts.month++);
    parts.day = static_cast<int>(days) + 1;
    return parts;
}

TimeParts DecodeTime(double dateTime) {
    const std::int64_t time = Split(dateTime).millisecond;
    TimeParts parts;
    parts.hour = static_cast<int>(time / 3600000);
    parts.minute = static_cast<int>(time / 60000 % 60);
    parts.second = static_cast<int>(time / 1000 % 60);
    parts.millisecond = static_cast<int>(time % 1000);
    return parts;
}

}  // namespace Platform
