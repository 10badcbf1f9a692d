#pragma once

#include <cstdint>

// The requests to end the program that come from outside it: SIGTERM, SIGHUP and
// SIGINT on POSIX; Ctrl+C, Ctrl+Break and closing the console on Windows. The
// handlers only note a request and wake an object the event loop watches; the
// loop then takes the request, so nothing else runs inside a handler.
//
// While an instance lives the requests are caught; one instance at a time.
class TTerminationSignals {
public:
    // On POSIX a file descriptor that becomes readable, on Windows an event handle
    // that becomes signalled.
    using TWaitable = std::intptr_t;

    // Raises AppError when the object to watch cannot be made, or when another
    // instance already catches the requests.
    TTerminationSignals();
    // Gives the requests back to the handling they had before.
    ~TTerminationSignals();
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    TWaitable Waitable() const;
    // Whether a request came since the last call; the waitable is quiet again.
    bool TakeRequest();
};
