#include "archive/DeflateEncoder.h"

#include "model/Parallel.h"
#include "platform/AppError.h"
#include "platform/LargeBuffer.h"

#include <algorithm>
#include <vector>
#include <zlib.h>

namespace {

constexpr std::size_t PieceSize = std::size_t { 4 } << 20;
constexpr std::size_t WindowSize = std::size_t { 1 } << MAX_WBITS;

struct Piece {
    std::string compressed;
    std::uint32_t crc = 0;
};

class DeflateStream {
public:
    DeflateStream()
    {
        if (deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw AppError("Stream write error. Out of memory");
        // The "normal" match search: stop at 16 bytes, chains of 32, no lazy look from 24.
        deflateTune(&stream, 8, 24, 16, 32);
    }
    ~DeflateStream() { deflateEnd(&stream); }
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    void Prime(std::string_view window)
    {
        if (deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(window.data()),
                static_cast<uInt>(window.size())) != Z_OK)
            throw AppError("Stream write error. Compression failed");
    }

    // A piece short of the last ends on a byte boundary without closing the stream,
    // so the pieces' outputs join into one stream.
    std::string Compress(std::string_view piece, bool last)
    {
        std::string out;
        char buffer[1 << 16];
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
        stream.avail_in = static_cast<uInt>(piece.size());
        const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
        for (;;) {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            const int status = deflate(&stream, flush);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                throw AppError("Stream write error. Compression failed");
            out.append(buffer, sizeof buffer - stream.avail_out);
            if (status == Z_STREAM_END || (!last && stream.avail_in == 0 && stream.avail_out != 0))
                return out;
        }
    }

private:
    z_stream stream {};
};

Piece CompressPiece(std::string_view text, std::size_t start, bool last)
{
    const std::string_view piece = text.substr(start, PieceSize);
    DeflateStream deflater;
    if (start != 0)
        deflater.Prime(text.substr(start - std::min(start, WindowSize), std::min(start, WindowSize)));
    Piece result;
    result.compressed = deflater.Compress(piece, last);
    result.crc = static_cast<std::uint32_t>(
        crc32_z(0, reinterpret_cast<const Bytef*>(piece.data()), piece.size()));
    return result;
}

} // namespace

std::uint32_t AppendDeflated(std::string_view text, std::string& out)
{
    const std::size_t count = std::max<std::size_t>(1, (text.size() + PieceSize - 1) / PieceSize);
    std::vector<Piece> pieces(count);
    ForEachPiece(PieceBounds(count, 1), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            pieces[i] = CompressPiece(text, i * PieceSize, i + 1 == count);
    });
    std::size_t total = out.size();
    for (const Piece& piece : pieces)
        total += piece.compressed.size();
    ReserveLargeBuffer(out, total);
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        out += pieces[i].compressed;
        const std::size_t length = std::min(PieceSize, text.size() - i * PieceSize);
        crc = static_cast<std::uint32_t>(crc32_combine(crc, pieces[i].crc, static_cast<z_off_t>(length)));
        pieces[i].compressed = std::string();
    }
    return crc;
}
