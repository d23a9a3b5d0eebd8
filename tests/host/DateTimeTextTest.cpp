#include "host/DateTimeText.h"

#include <gtest/gtest.h>

namespace {

using Platform::LocaleSettings;
using Platform::LocalTime;

LocaleSettings Settings(std::string shortDate, char dateSeparator, char timeSeparator, bool leadingZero,
                        bool twelveHour = false, bool markerBefore = false, std::string am = "AM",
                        std::string pm = "PM") {
    LocaleSettings settings;
    settings.shortDateFormat = std::move(shortDate);
    settings.dateSeparator = dateSeparator;
    settings.timeSeparator = timeSeparator;
    settings.hourLeadingZero = leadingZero;
    settings.twelveHourClock = twelveHour;
    settings.timeMarkerBefore = markerBefore;
    settings.amText = std::move(am);
    settings.pmText = std::move(pm);
    return settings;
}

LocalTime At(int year, int month, int day, int hour, int minute, int second) {
    LocalTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    return time;
}

struct DateTimeCase {
    const char* name;
    LocaleSettings settings;
    LocalTime time;
    const char* expected;
};

class LogDateTimeText : public ::testing::TestWithParam<DateTimeCase> {};

TEST_P(LogDateTimeText, Formats) {
    EXPECT_EQ(Tolvex29::FormatLogDateTime(GetParam().time, GetParam().settings), GetParam().expected);
}

const LocaleSettings russian = Settings("dd.MM.yyyy", '.', ':', true);
const LocaleSettings american = Settings("M/d/yyyy", '/', ':', false, true);

INSTANTIATE_TEST_SUITE_P(
    Locales, LogDateTimeText,
    ::testing::Values(
        DateTimeCase{"DayMonthYear24h", russian, At(2026, 12, 8, 10, 15, 30), "08.12.2026 10:15:30"},
        DateTimeCase{"MidnightShowsTheDateAlone", russian, At(2026, 12, 8, 0, 0, 0), "08.12.2026"},
        DateTimeCase{"OneSecondPastMidnight", russian, At(2026, 1, 2, 0, 0, 1), "02.01.2026 00:00:01"},
        DateTimeCase{"TwelveHourAfternoon", american, At(2026, 12, 8, 15, 4, 5), "12/8/2026 3:04:05 PM"},
        DateTimeCase{"TwelveHourMorning", american, At(2026, 3, 9, 9, 0, 7), "3/9/2026 9:00:07 AM"},
        DateTimeCase{"NoonIsTwelvePM", american, At(2026, 3, 9, 12, 30, 0), "3/9/2026 12:30:00 PM"},
        DateTimeCase{"HalfPastMidnightIsTwelveAM", american, At(2026, 3, 9, 0, 30, 0),
                     "3/9/2026 12:30:00 AM"},
        DateTimeCase{"MarkerBeforeTheTime", Settings("yyyy/MM/dd", '/', ':', true, true, true, "AM", "PM"),
                     At(2026, 12, 8, 21, 5, 6), "2026/12/08 PM 09:05:06"},
        DateTimeCase{"SlashStandsForTheDateSeparator", Settings("dd/MM/yy", '-', '.', true),
                     At(2026, 12, 8, 7, 8, 9), "08-12-26 07.08.09"},
        DateTimeCase{"QuotedTextIsLiteral", Settings("d 'de' MM yyyy", '/', ':', true),
                     At(2026, 2, 3, 1, 2, 3), "3 de 02 2026 01:02:03"},
        DateTimeCase{"UnreadableFormatFallsBackToMonthDayYear", Settings("", '/', ':', true),
                     At(2026, 12, 8, 10, 15, 30), "12/8/26 10:15:30"},
        DateTimeCase{"NoLeadingZeroIn24h", Settings("dd.MM.yyyy", '.', ':', false),
                     At(2026, 12, 8, 7, 5, 3), "08.12.2026 7:05:03"}),
    [](const ::testing::TestParamInfo<DateTimeCase>& info) { return std::string(info.param.name); });

}  // namespace
