#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends the raw Deflate stream (32 KiB window, the "normal" match search) of
// Text to Out and yields the text's CRC-32. Long texts are cut into fixed pieces
// compressed on all processors, each primed with the 32 KiB before it, so the
// stream is the same on every machine.
std::uint32_t AppendDeflated(std::string_view text, std::string& out);
