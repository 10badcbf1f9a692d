#include "platform/LocalTime.h"

#include <windows.h>

// The system's local clock.
TLocalTime LocalClockNow()
{
    SYSTEMTIME now {};
    GetLocalTime(&now);
    return { now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond };
}
