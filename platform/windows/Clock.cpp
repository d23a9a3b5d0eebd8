#include "platform/Clock.h"

#include <windows.h>

namespace Platform {

LocalTime GetLocalTime() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    LocalTime result;
    result.year = now.wYear;
    result.month = now.wMonth;
    result.day = now.wDay;
    result.hour = now.wHour;
    result.minute = now.wMinute;
    result.second = now.wSecond;
    result.millisecond = now.wMilliseconds;
    return result;
}

}  // namespace Platform
