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

// Feeds the source to Step in pieces and hands its output to the sink, holding the
// decoder to exactly Size bytes: more output, an early end or damage raise.
// Step(input, inputSize, output, room) decodes what it can.
template <typename Step>
void DecodeBounded(TMemberSource& source, std::uint64_t size, const TDecodedSink& sink, Step step)
{
    std::string input(64 * 1024, '\0');
    std::string output(64 * 1024, '\0');
    const char* pending = input.data();
    std::size_t pendingSize = 0;
    bool sourceEnded = false;
    std::uint64_t left = size;
    for (;;) {
        if (pendingSize == 0 && !sourceEnded) {
            pendingSize = source.Read(input.data(), input.size());
            pending = input.data();
            sourceEnded = pendingSize == 0;
        }
        // One byte of room beyond the declared size shows a stream that holds more.
        const std::size_t room = static_cast<std::size_t>(std::min<std::uint64_t>(left + 1, output.size()));
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
