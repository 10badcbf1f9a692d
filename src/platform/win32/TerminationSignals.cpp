#include "platform/TerminationSignals.h"

#include "platform/AppError.h"

#include <windows.h>

namespace {

// Made once and kept for the process: a console handler may still be waiting on
// them while an instance goes.
HANDLE requestEvent = nullptr;
HANDLE releasedEvent = nullptr;
bool catching = false;

BOOL WINAPI NoteConsoleControl(DWORD control)
{
    switch (control) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        SetEvent(requestEvent);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        // The system ends the process as soon as this returns, so it waits until
        // the program has finished on its own (the system's own time-out applies).
        SetEvent(requestEvent);
        WaitForSingleObject(releasedEvent, INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

HANDLE MakeEvent()
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr)
        throw AppError("Cannot watch for termination signals. " + LastSystemErrorText());
    return event;
}

} // namespace

TTerminationSignals::TTerminationSignals()
{
    if (catching)
        throw AppError("Termination signals are already caught.");
    if (requestEvent == nullptr)
        requestEvent = MakeEvent();
    if (releasedEvent == nullptr)
        releasedEvent = MakeEvent();
    ResetEvent(requestEvent);
    ResetEvent(releasedEvent);
    if (!SetConsoleCtrlHandler(NoteConsoleControl, TRUE))
        throw AppError("Cannot watch for termination signals. " + LastSystemErrorText());
    catching = true;
}

TTerminationSignals::~TTerminationSignals()
{
    SetConsoleCtrlHandler(NoteConsoleControl, FALSE);
    SetEvent(releasedEvent);
    catching = false;
}

TTerminationSignals::TWaitable TTerminationSignals::Waitable() const
{
    return reinterpret_cast<TWaitable>(requestEvent);
}

bool TTerminationSignals::TakeRequest()
{
    const bool requested = WaitForSingleObject(requestEvent, 0) == WAIT_OBJECT_0;
    ResetEvent(requestEvent);
    return requested;
}
