#include "archive/DeflateEncoder.h"

#include "model/Parallel.h"
#include "platform/AppError.h"
#include "platform/LargeBuffer.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <zlib.h>

namespace {

constexpr std::size_t PieceSize = DeflatePieceSize;
constexpr std::size_t WindowSize = std::size_t { 1 } << MAX_WBITS;

struct Piece {
    std::string compressed;
    std::uint32_t crc = 0;
    std::size_t size = 0;
    bool last = false;
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
        if (!window.empty()
            && deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(window.data()),
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

// Hands out the stream's pieces in order, one reader at a time, each with the
// window of bytes before it.
class PieceReader {
public:
    explicit PieceReader(TStream& stream) : stream(stream) {}

    // Fills Window and Text with the next piece; false once the stream has ended.
    Piece* Next(std::string& window, std::string& text)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (ended)
            return nullptr;
        window = lastWindow;
        text.resize(PieceSize);
        std::size_t got = 0;
        while (got < text.size()) {
            const std::size_t count = stream.Read(text.data() + got, text.size() - got);
            if (count == 0)
                break;
            got += count;
        }
        text.resize(got);
        // Only a short read ends the stream, whatever its size claims; one that ends
        // exactly after a piece is found out by the next, empty piece, which then
        // closes the Deflate stream.
        ended = got < PieceSize;
        const std::size_t kept = std::min(WindowSize, text.size());
        lastWindow = lastWindow.substr(lastWindow.size() - std::min(lastWindow.size(), WindowSize - kept))
            + text.substr(text.size() - kept);
        Piece& piece = pieces.emplace_back();
        piece.size = got;
        piece.last = ended;
        return &piece;
    }

    // After a failure the other workers take no further piece.
    void Stop()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ended = true;
    }

    std::deque<Piece>& Pieces() { return pieces; }

private:
    TStream& stream;
    std::mutex mutex;
    std::string lastWindow;
    bool ended = false;
    std::deque<Piece> pieces; // grows at the back only, so handed-out pieces stay put
};

void CompressPieces(PieceReader& reader)
{
    std::string window;
    std::string text;
    try {
        while (Piece* piece = reader.Next(window, text)) {
            DeflateStream deflater;
            deflater.Prime(window);
            piece->compressed = deflater.Compress(text, piece->last);
            piece->crc = static_cast<std::uint32_t>(
                crc32_z(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
        }
    } catch (...) {
        reader.Stop();
        throw;
    }
}

} // namespace

TDeflated AppendDeflated(TStream& stream, std::string& out)
{
    PieceReader reader(stream);
    RunOnEveryProcessor([&] { CompressPieces(reader); });
    std::deque<Piece>& pieces = reader.Pieces();
    std::size_t total = out.size();
    for (const Piece& piece : pieces)
        total += piece.compressed.size();
    ReserveLargeBuffer(out, total);
    TDeflated result;
    for (Piece& piece : pieces) {
        out += piece.compressed;
        piece.compressed = std::string();
        result.crc = static_cast<std::uint32_t>(crc32_combine(result.crc, piece.crc, static_cast<z_off_t>(piece.size)));
        result.size += piece.size;
    }
    return result;
}
