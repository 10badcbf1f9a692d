#pragma once

#include <gtest/gtest.h>

#include <string>
#include <zlib.h>

// The bytes of a raw Deflate stream, through zlib: at most Size and one more, so
// that a stream holding more shows; the stream must end exactly at its last byte.
inline std::string RawInflate(const std::string& deflated, std::size_t size)
{
    std::string out(size + 1, '\0');
    z_stream stream {};
    inflateInit2(&stream, -MAX_WBITS);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data()));
    stream.avail_in = static_cast<uInt>(deflated.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&stream, Z_FINISH);
    EXPECT_EQ(status, Z_STREAM_END);
    EXPECT_EQ(stream.avail_in, 0u) << "bytes after the end of the stream";
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return out;
}
