#include "platform/TerminationSignals.h"

#include "platform/AppError.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> CaughtSignals = { SIGTERM, SIGHUP, SIGINT };

// The pipe the handler writes a byte into; -1 while no instance catches.
volatile sig_atomic_t wakeWriteEnd = -1;
int wakeReadEnd = -1;
std::array<struct sigaction, CaughtSignals.size()> earlierHandling {};

extern "C" void NoteTerminationRequest(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a request; the byte is not needed then.
    [[maybe_unused]] const ssize_t written = ::write(wakeWriteEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TTerminationSignals::TTerminationSignals()
{
    if (wakeWriteEnd >= 0)
        throw AppError("Termination signals are already caught.");
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw AppError("Cannot watch for termination signals. " + LastSystemErrorText());
    wakeReadEnd = ends[0];
    wakeWriteEnd = ends[1];
    struct sigaction handling {};
    handling.sa_handler = NoteTerminationRequest;
    sigemptyset(&handling.sa_mask);
    // Interrupted system calls go on, so no other code meets EINTR because of us.
    handling.sa_flags = SA_RESTART;
    for (std::size_t index = 0; index < CaughtSignals.size(); ++index)
        ::sigaction(CaughtSignals[index], &handling, &earlierHandling[index]);
}

TTerminationSignals::~TTerminationSignals()
{
    for (std::size_t index = 0; index < CaughtSignals.size(); ++index)
        ::sigaction(CaughtSignals[index], &earlierHandling[index], nullptr);
    const int writeEnd = wakeWriteEnd;
    wakeWriteEnd = -1;
    ::close(writeEnd);
    ::close(wakeReadEnd);
    wakeReadEnd = -1;
}

TTerminationSignals::TWaitable TTerminationSignals::Waitable() const
{
    return wakeReadEnd;
}

bool TTerminationSignals::TakeRequest()
{
    bool requested = false;
    char bytes[64];
    while (::read(wakeReadEnd, bytes, sizeof bytes) > 0)
        requested = true;
    return requested;
}
