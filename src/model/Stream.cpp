#include "model/Stream.h"

#include "platform/LargeBuffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

std::string TStream::ReadToEnd()
{
    // The size is only a hint: reading goes on until the stream yields nothing.
    const std::uint64_t size = Size();
    const std::uint64_t position = Position();
    std::string bytes(position < size ? static_cast<std::size_t>(size - position) : 0, '\0');
    bytes.resize(Read(bytes.data(), bytes.size()));
    char chunk[1 << 16];
    while (const std::size_t count = Read(chunk, sizeof chunk))
        bytes.append(chunk, count);
    return bytes;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count)
{
    const std::size_t available = position < bytes.size() ? bytes.size() - position : 0;
    const std::size_t taken = std::min(count, available);
    if (taken != 0)
        std::memcpy(buffer, bytes.data() + position, taken);
    position += taken;
    return taken;
}

void TMemoryStream::Write(const void* buffer, std::size_t count)
{
    if (position > bytes.size())
        bytes.resize(position, '\0');
    const std::size_t overlap = std::min(count, bytes.size() - position);
    bytes.replace(position, overlap, static_cast<const char*>(buffer), count);
    position += count;
}

void TMemoryStream::SetPosition(std::uint64_t newPosition)
{
    position = static_cast<std::size_t>(newPosition);
}

void TMemoryStream::Reserve(std::uint64_t count)
{
    ReserveLargeBuffer(bytes, std::max<std::size_t>(bytes.size(), position + static_cast<std::size_t>(count)));
}

std::string TMemoryStream::ReleaseBytes()
{
    position = 0;
    return std::exchange(bytes, std::string());
}
