#pragma once

#include <optional>

// A moment of the local clock.
struct TLocalTime {
    int year = 1980;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local clock now, or the moment tests fixed it at.
TLocalTime LocalNow();
void FixLocalNow(std::optional<TLocalTime> moment);
