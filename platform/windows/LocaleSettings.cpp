#include "platform/LocaleSettings.h"

#include <windows.h>

namespace Platform {

namespace {

// One locale value as text; empty when it cannot be read.
std::string LocaleInfo(LCID locale, LCTYPE item) {
    char buffer[128];
    const int length = ::GetLocaleInfoA(locale, item, buffer, sizeof buffer);
    return length > 1 ? std::string(buffer, static_cast<size_t>(length - 1)) : std::string();
}

}  // namespace

LocaleSettings ReadLocaleSettings() {
    const LCID locale = ::GetThreadLocale();
    LocaleSettings settings;
    settings.shortDateFormat = LocaleInfo(locale, LOCALE_SSHORTDATE);
    if (const std::string text = LocaleInfo(locale, LOCALE_SDATE); text.size() == 1)
        settings.dateSeparator = text[0];
    if (const std::string text = LocaleInfo(locale, LOCALE_STIME); text.size() == 1)
        settings.timeSeparator = text[0];
    settings.hourLeadingZero = LocaleInfo(locale, LOCALE_ITLZERO) == "1";
    settings.twelveHourClock = LocaleInfo(locale, LOCALE_ITIME) == "0";
    settings.timeMarkerBefore = LocaleInfo(locale, LOCALE_ITIMEMARKPOSN) == "1";
    settings.amText = LocaleInfo(locale, LOCALE_S1159);
    settings.pmText = LocaleInfo(locale, LOCALE_S2359);
    if (const std::string text = LocaleInfo(locale, LOCALE_SDECIMAL); text.size() == 1)
        settings.decimalSeparator = text[0];
    return settings;
}

}  // namespace Platform
