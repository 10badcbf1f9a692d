#pragma once

// A moment of the local clock.
struct TLocalTime {
    int year = 1980;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

TLocalTime LocalNow();
