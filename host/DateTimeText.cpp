#include "host/DateTimeText.h"

#include <charconv>

namespace Tolvex29 {

namespace {

// The pattern used when the locale gives no short date format.
constexpr const char* FallbackShortDateFormat = "m/d/yy";

// The value in decimal, padded with zeros after any sign to at least `digits` characters.
void AppendNumber(std::string& text, int value, int digits) {
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char buffer[16];
    char* const end = std::to_chars(buffer, buffer + sizeof buffer, magnitude).ptr;
    const int length = static_cast<int>(end - buffer) + (value < 0 ? 1 : 0);
    if (value < 0) text += '-';
    if (length < digits) text.append(static_cast<std::size_t>(digits - length), '0');
    text.append(buffer, static_cast<std::size_t>(end - buffer));
}

// Renders a short date pattern: d/dd day, M/MM (or m/mm) month, y/yy/yyyy year,
// '/' the date separator, text in quotes literally, anything else as it stands.
std::string FormatDate(const Platform::LocalTime& time, const Platform::LocaleSettings& settings) {
    const std::string& pattern =
        settings.shortDateFormat.empty() ? std::string(FallbackShortDateFormat) : settings.shortDateFormat;
    std::string text;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        switch (c) {
            case 'd':
                AppendNumber(text, time.day, run >= 2 ? 2 : 1);
                break;
            case 'M':
            case 'm':
                AppendNumber(text, time.month, run >= 2 ? 2 : 1);
                break;
            case 'y':
                if (run >= 3)
                    AppendNumber(text, time.year, 4);
                else
                    AppendNumber(text, time.year % 100, run == 2 ? 2 : 1);
                break;
            case '/':
                text.append(run, settings.dateSeparator);
                break;
            case '\'':
            case '"': {
                const size_t close = pattern.find(c, i + 1);
                const size_t end = close == std::string::npos ? pattern.size() : close;
                text.append(pattern, i + 1, end - i - 1);
                i = close == std::string::npos ? pattern.size() : close + 1;
                continue;
            }
            default:
                text.append(run, c);
                break;
        }
        i += run;
    }
    return text;
}

std::string FormatTime(const Platform::LocalTime& time, const Platform::LocaleSettings& settings) {
    int hour = time.hour;
    std::string marker;
    if (settings.twelveHourClock) {
        marker = hour < 12 ? settings.amText : settings.pmText;
        hour %= 12;
        if (hour == 0) hour = 12;
    }
    std::string clock;
    AppendNumber(clock, hour, settings.hourLeadingZero ? 2 : 1);
    clock += settings.timeSeparator;
    AppendNumber(clock, time.minute, 2);
    clock += settings.timeSeparator;
    AppendNumber(clock, time.second, 2);
    if (marker.empty()) return clock;
    return settings.timeMarkerBefore ? marker + ' ' + clock : clock + ' ' + marker;
}

}  // namespace

std::string FormatLogDateTime(const Platform::LocalTime& time, const Platform::LocaleSettings& settings) {
    std::string text = FormatDate(time, settings);
    if (time.hour != 0 || time.minute != 0 || time.second != 0) text += ' ' + FormatTime(time, settings);
    return text;
}

}  // namespace Tolvex29
