#include "tools/ArgumentValues.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>

namespace TolvexHost {

namespace {

[[noreturn]] void Reject(const std::string& what, const std::string& text, const char* expected) {
    throw UsageError(what + ": \"" + text + "\" is not " + expected);
}

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

// The day number of 30 December 1899 counted from 1970-01-01.
const std::int64_t DayZero = DaysFromCivil(1899, 12, 30);

unsigned DaysInMonth(std::int64_t year, unsigned month) {
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

}  // namespace

std::int64_t ParseInteger(const std::string& what, const std::string& text, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error == std::errc::invalid_argument || end != last)
        Reject(what, text, "an integer");
    if (error == std::errc::result_out_of_range || value < low || value > high)
        throw UsageError(what + ": " + text + " is out of range " + std::to_string(low) + ".." +
                         std::to_string(high));
    return value;
}

std::int64_t ParseMoney(const std::string& what, const std::string& text) {
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    if (whole.empty() || whole == "-" || whole == "+" || fraction.size() > 2 ||
        (point != std::string::npos && fraction.empty()))
        Reject(what, text, "an amount with at most two decimals");
    for (char digit : fraction)
        if (!std::isdigit(static_cast<unsigned char>(digit))) Reject(what, text, "an amount with at most two decimals");
    const std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 100 - 1;
    const std::int64_t units = ParseInteger(what, whole, -limit, limit);
    std::int64_t hundredths = fraction.empty() ? 0 : std::stoll(fraction) * (fraction.size() == 1 ? 10 : 1);
    const bool negative = whole[0] == '-';
    return units * 100 + (negative ? -hundredths : hundredths);
}

std::uint32_t ParseDate(const std::string& what, const std::string& text) {
    if (text.find('-', 1) == std::string::npos)
        return static_cast<std::uint32_t>(ParseInteger(what, text, 0, std::numeric_limits<std::uint32_t>::max()));
    int year = 0;
    unsigned month = 0, day = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%4d-%2u-%2u%c", &year, &month, &day, &rest) != 3 || month < 1 || month > 12 ||
        day < 1 || day > DaysInMonth(year, month))
        Reject(what, text, "a date YYYY-MM-DD");
    const std::int64_t dayNumber = DaysFromCivil(year, month, day) - DayZero;
    if (dayNumber < 0) throw UsageError(what + ": " + text + " is before 1899-12-30");
    return static_cast<std::uint32_t>(dayNumber);
}

std::string FormatDate(std::uint32_t dayNumber) {
    // Civil date from days since 1970-01-01.
    const std::int64_t z = static_cast<std::int64_t>(dayNumber) + DayZero + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u", static_cast<long long>(year), month, day);
    return text;
}

std::string ParseHexBytes(const std::string& what, const std::string& text) {
    if (text.size() % 2 != 0) Reject(what, text, "an even number of hexadecimal digits");
    std::string bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
        if (error != std::errc() || end != text.data() + i + 2) Reject(what, text, "hexadecimal digits");
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

}  // namespace TolvexHost
