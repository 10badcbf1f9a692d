#include "platform/SystemRandom.h"

#include "platform/AppError.h"

#include <cerrno>
#include <sys/random.h>
#include <time.h>

std::uint32_t SystemRandom32()
{
    std::uint32_t value = 0;
    for (;;) {
        const ssize_t count = ::getrandom(&value, sizeof value, 0);
        if (count == static_cast<ssize_t>(sizeof value))
            return value;
        if (count < 0 && errno != EINTR)
            throw AppError("Cannot draw random bytes. " + LastSystemErrorText());
    }
}

std::uint64_t HighResolutionCounter()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}
