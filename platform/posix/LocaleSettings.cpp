// The environment's locale, translated into the settings a Windows locale gives.
#include "platform/LocaleSettings.h"

#include <langinfo.h>
#include <locale.h>

namespace Platform {

namespace {

// Translates a strftime date format ("%d.%m.%Y") into the Windows notation ("dd.MM.yyyy").
std::string TranslateDateFormat(const std::string& format, char& separator) {
    std::string pattern;
    bool separatorSeen = false;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            if (!separatorSeen) {
                separator = c;
                separatorSeen = true;
            }
            pattern += c;
            continue;
        }
        if (++i == format.size()) return {};
        switch (format[i]) {
            case 'd': pattern += "dd"; break;
            case 'e': pattern += "d"; break;
            case 'm': pattern += "MM"; break;
            case 'y': pattern += "yy"; break;
            case 'Y': pattern += "yyyy"; break;
            case 'D': pattern += "MM/dd/yy"; separator = '/'; separatorSeen = true; break;
            case 'F': pattern += "yyyy-MM-dd"; separator = '-'; separatorSeen = true; break;
            default: return {};  // a field a short date cannot show: no usable format
        }
    }
    return pattern;
}

void ReadTimeFormat(const std::string& format, LocaleSettings& settings) {
    bool hourSeen = false;
    for (size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != '%') continue;
        const char field = format[++i];
        switch (field) {
            case 'H': settings.hourLeadingZero = true; hourSeen = true; break;
            case 'k': settings.hourLeadingZero = false; hourSeen = true; break;
            case 'I': settings.twelveHourClock = true; settings.hourLeadingZero = true; hourSeen = true; break;
            case 'l': settings.twelveHourClock = true; settings.hourLeadingZero = false; hourSeen = true; break;
            case 'p': settings.timeMarkerBefore = !hourSeen; break;
            default: continue;
        }
        if ((field == 'H' || field == 'k' || field == 'I' || field == 'l') && i + 1 < format.size() &&
            format[i + 1] != '%')
            settings.timeSeparator = format[i + 1];
    }
}

}  // namespace

LocaleSettings ReadLocaleSettings() {
    LocaleSettings settings;
    locale_t locale = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) return settings;

    settings.shortDateFormat = TranslateDateFormat(nl_langinfo_l(D_FMT, locale), settings.dateSeparator);
    std::string timeFormat = nl_langinfo_l(T_FMT, locale);
    if (timeFormat.find("%r") != std::string::npos) timeFormat = nl_langinfo_l(T_FMT_AMPM, locale);
    if (timeFormat.find("%T") != std::string::npos) timeFormat = "%H:%M:%S";
    ReadTimeFormat(timeFormat, settings);
    const std::string am = nl_langinfo_l(AM_STR, locale);
    const std::string pm = nl_langinfo_l(PM_STR, locale);
    if (!am.empty()) settings.amText = am;
    if (!pm.empty()) settings.pmText = pm;
    const std::string radix = nl_langinfo_l(RADIXCHAR, locale);
    if (radix.size() == 1) settings.decimalSeparator = radix[0];
    freelocale(locale);
    return settings;
}

}  // namespace Platform
