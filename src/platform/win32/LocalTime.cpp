#include "platform/LocalTime.h"

#include <windows.h>

TLocalTime LocalNow()
{
    SYSTEMTIME now {};
    GetLocalTime(&now);
    return { now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond };
}
