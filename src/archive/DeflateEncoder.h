#pragma once

#include "model/Stream.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The fixed piece length of the encoder.
constexpr std::size_t DeflatePieceSize = std::size_t { 4 } << 20;

struct TDeflated {
    std::uint64_t size = 0; // bytes read from the stream
    std::uint32_t crc = 0;  // their CRC-32
};

// Appends the raw Deflate stream (32 KiB window, the "normal" match search) of the
// stream's bytes, from its position to its end, to Out. The bytes are read in fixed
// pieces that all processors compress while the next ones are read, each primed
// with the 32 KiB before it, so the stream is the same on every machine and the
// whole text is never held at once.
TDeflated AppendDeflated(TStream& stream, std::string& out);
