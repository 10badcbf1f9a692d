#pragma once

#include "archive/MemberDecoder.h"

#include <algorithm>
#include <string>

// What one call of a streaming decoder did.
struct TDecodeStep {
    std::size_t consumed;
    std::size_t produced;
    bool streamEnded;
    bool damaged;
};

// Whether Compressed bytes of a method that makes at most LargestExpansion bytes of
// each can hold Size bytes; a division, so that no product overflows.
inline bool CanHold(std::uint64_t compressed, std::uint64_t largestExpansion, std::uint64_t size)
{
    return size / largestExpansion + (size % largestExpansion != 0 ? 1 : 0) <= compressed;
}

// Reads Count bytes from the source, fewer only at its end; yields how many it read.
inline std::size_t ReadAhead(TMemberSource& source, char* buffer, std::size_t count)
{
    std::size_t filled = 0;
    while (filled < count) {
        const std::size_t got = source.Read(buffer + filled, count - filled);
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

// Feeds the source to Step in pieces and hands its output to the sink, holding the
// decoder to exactly Size bytes: more output, an early end or damage raise. A size
// that the compressed bytes cannot hold at LargestExpansion raises as soon as their
// end is seen, before the decoder runs on what is left.
// Step(input, inputSize, output, room) decodes what it can.
template <typename Step>
void DecodeBounded(TMemberSource& source, std::uint64_t size, std::uint64_t largestExpansion,
    const TDecodedSink& sink, Step step)
{
    std::string input(64 * 1024, '\0');
    std::string output(64 * 1024, '\0');
    const char* pending = input.data();
    std::size_t pendingSize = 0;
    std::uint64_t compressed = 0;
    bool sourceEnded = false;
    std::uint64_t left = size;
    for (;;) {
        if (pendingSize == 0 && !sourceEnded) {
            pendingSize = ReadAhead(source, input.data(), input.size());
            pending = input.data();
            compressed += pendingSize;
            sourceEnded = pendingSize < input.size();
            if (sourceEnded && !CanHold(compressed, largestExpansion, size))
                RaiseDamagedData();
        }
        // One byte of room beyond the declared size shows a stream that holds more.
        const std::size_t room = left < output.size() ? static_cast<std::size_t>(left) + 1 : output.size();
        const TDecodeStep done = step(pending, pendingSize, output.data(), room);
        pending += done.consumed;
        pendingSize -= done.consumed;
        if (done.damaged || done.produced > left)
            RaiseDamagedData();
        if (done.produced > 0)
            sink(std::string_view(output.data(), done.produced));
        left -= done.produced;
        if (done.streamEnded) {
            if (left != 0)
                RaiseDamagedData();
            return;
        }
        if (done.produced == 0 && done.consumed == 0 && pendingSize == 0 && sourceEnded)
            RaiseDamagedData();
    }
}
