// The date-time text that begins every call line of the log.
#pragma once

#include <string>

#include "platform/Clock.h"
#include "platform/LocaleSettings.h"

namespace Tolvex29 {

// The date in the short date format of the settings, then, unless hour, minute and
// second are all zero, a blank and the time in the settings' long time form.
std::string FormatLogDateTime(const Platform::LocalTime& time, const Platform::LocaleSettings& settings);

}  // namespace Tolvex29
