#pragma once

#include "model/Stream.h"

#include <algorithm>
#include <cstring>
#include <string>

// A read-only stream that hands out at most Chunk bytes per read and claims a size
// of its own, as a stream that is not held in memory may.
class ChunkedStream : public TStream {
public:
    ChunkedStream(std::string bytes, std::size_t chunk, std::uint64_t claimedSize)
        : bytes(std::move(bytes)), chunk(chunk), claimedSize(claimedSize) {}

    std::size_t Read(void* buffer, std::size_t count) override
    {
        const std::size_t taken = std::min({ count, chunk, bytes.size() - std::min(position, bytes.size()) });
        std::memcpy(buffer, bytes.data() + position, taken);
        position += taken;
        return taken;
    }
    void Write(const void*, std::size_t) override {}
    std::uint64_t Position() const override { return position; }
    void SetPosition(std::uint64_t newPosition) override { position = static_cast<std::size_t>(newPosition); }
    std::uint64_t Size() const override { return claimedSize; }

private:
    std::string bytes;
    std::size_t chunk;
    std::uint64_t claimedSize;
    std::size_t position = 0;
};
