#include "platform/Clock.h"

#include <ctime>

namespace Platform {

LocalTime GetLocalTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    LocalTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    result.millisecond = static_cast<int>(now.tv_nsec / 1000000);
    return result;
}

}  // namespace Platform
