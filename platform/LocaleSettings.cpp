#include "platform/LocaleSettings.h"

namespace Platform {

char LocaleDecimalSeparator() {
    static const char separator = ReadLocaleSettings().decimalSeparator;
    return separator;
}

}  // namespace Platform
