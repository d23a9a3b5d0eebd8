// The regional settings that the log's date-time text and amounts use, read once
// from the locale of the calling thread (the one that loads the library).
#pragma once

#include <optional>
#include <string>

namespace Platform {

struct LocaleSettings {
    // Short date pattern in the Windows notation (d, dd, M, MM, yy, yyyy, '/' for
    // the date separator, quoted literals); empty when it could not be read.
    std::string shortDateFormat;
    char dateSeparator = '/';
    char timeSeparator = ':';
    bool hourLeadingZero = true;
    bool twelveHourClock = false;
    bool timeMarkerBefore = false;  // AM/PM text before the time instead of after it
    std::string amText = "AM";
    std::string pmText = "PM";
    char decimalSeparator = '.';
};

LocaleSettings ReadLocaleSettings();
// The decimal separator of ReadLocaleSettings, read once for the process.
char LocaleDecimalSeparator();

}  // namespace Platform
