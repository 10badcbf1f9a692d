#include "archive/DeflateEncoder.h"

#include "ChunkedStream.h"
#include "RawInflate.h"

#include <gtest/gtest.h>

#include <random>
#include <zlib.h>

namespace {

// Lines that repeat across piece boundaries, so matches reach back into the window.
std::string Text(std::size_t size)
{
    std::mt19937 generator(3);
    std::string text;
    while (text.size() < size)
        text += "Site " + std::to_string(generator() % 5000) + "=user\tpw" + std::to_string(generator() % 97) + "\r\n";
    text.resize(size);
    return text;
}

std::uint32_t Crc(const std::string& text)
{
    return static_cast<std::uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
}

TEST(DeflateEncoder, PiecesJoinIntoOneStreamOfTheWholeText)
{
    const std::size_t piece = DeflatePieceSize;
    for (const std::size_t size : { std::size_t { 0 }, std::size_t { 1 }, piece - 1, piece, piece + 1, 2 * piece,
             3 * piece + 12345 }) {
        SCOPED_TRACE(size);
        const std::string text = Text(size);
        TMemoryStream stream(text);
        std::string out = "front";
        const TDeflated deflated = AppendDeflated(stream, out);
        ASSERT_EQ(out.substr(0, 5), "front");
        EXPECT_EQ(RawInflate(out.substr(5), size), text);
        EXPECT_EQ(deflated.size, size);
        EXPECT_EQ(deflated.crc, Crc(text));
        if (size > 1000) {
            EXPECT_LT(out.size(), size / 3) << "each piece should draw on the window before it";
        }
    }
}

TEST(DeflateEncoder, ReadsToTheEndWhateverTheStreamClaimsAndGivesTheSameBytesEveryTime)
{
    const std::string text = Text(2 * DeflatePieceSize + 777);
    TMemoryStream whole(text);
    std::string expected;
    AppendDeflated(whole, expected);
    for (const std::uint64_t claimed : { std::uint64_t { 0 }, std::uint64_t { 10 }, std::uint64_t { 1 } << 40 }) {
        SCOPED_TRACE(claimed);
        ChunkedStream chunked(text, 1000, claimed);
        std::string out;
        const TDeflated deflated = AppendDeflated(chunked, out);
        EXPECT_EQ(deflated.size, text.size());
        EXPECT_EQ(out, expected);
    }
}

TEST(DeflateEncoder, StartsAtTheStreamPosition)
{
    TMemoryStream stream("skipped|kept");
    stream.SetPosition(8);
    std::string out;
    const TDeflated deflated = AppendDeflated(stream, out);
    EXPECT_EQ(RawInflate(out, 4), "kept");
    EXPECT_EQ(deflated.size, 4u);
}

} // namespace
