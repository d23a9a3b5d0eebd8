// The current local date and time, broken into its fields.
#pragma once

namespace Platform {

struct LocalTime {
    int year = 0;
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

LocalTime GetLocalTime();

}  // namespace Platform
