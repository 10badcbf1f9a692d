#include "platform/LargeBuffer.h"

#include <cstdint>
#include <sys/mman.h>

void ReserveLargeBuffer(std::string& bytes, std::size_t size)
{
    constexpr std::uintptr_t largePage = std::uintptr_t { 2 } << 20;
    bytes.reserve(size);
    if (size < 4 * largePage)
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(bytes.data() + bytes.size());
    const auto end = reinterpret_cast<std::uintptr_t>(bytes.data() + bytes.capacity());
    const std::uintptr_t alignedStart = (start + largePage - 1) & ~(largePage - 1);
    const std::uintptr_t alignedEnd = end & ~(largePage - 1);
    // Only a hint: where the system declines, the buffer works with small pages.
    if (alignedEnd > alignedStart)
        ::madvise(reinterpret_cast<void*>(alignedStart), alignedEnd - alignedStart, MADV_HUGEPAGE);
}
