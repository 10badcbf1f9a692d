#include "platform/SystemRandom.h"

#include "platform/AppError.h"

#include <windows.h>
#include <bcrypt.h>

std::uint32_t SystemRandom32()
{
    std::uint32_t value = 0;
    if (BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
        throw AppError("Cannot draw random bytes.");
    return value;
}

std::uint64_t HighResolutionCounter()
{
    LARGE_INTEGER counter {};
    if (QueryPerformanceCounter(&counter))
        return static_cast<std::uint64_t>(counter.QuadPart);
    return GetTickCount();
}
