#pragma once

#include <string>
#include <zlib.h>

// Text as a raw Deflate stream made by zlib at Level, as another ZIP tool would
// store a member.
inline std::string RawDeflate(const std::string& text, int level)
{
    std::string out(compressBound(static_cast<uLong>(text.size())) + 64, '\0');
    z_stream stream {};
    deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}
