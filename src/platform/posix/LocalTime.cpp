#include "platform/LocalTime.h"

#include <ctime>

// The system's local clock.
TLocalTime LocalClockNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    return { local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec };
}
