#include "platform/LargeBuffer.h"

// Large pages need a privilege that ordinary users lack, so a plain reservation.
void ReserveLargeBuffer(std::string& bytes, std::size_t size)
{
    bytes.reserve(size);
}
