#include "model/SiteListStream.h"

#include "model/brmPW.h"
#include "platform/AppError.h"

#include <gtest/gtest.h>

namespace {

TbrmPwList ListOf(const std::string& text)
{
    TbrmPwList list;
    list.LoadFromText(text);
    return list;
}

std::string Saved(const TbrmPwList& list)
{
    TMemoryStream stream;
    list.SaveToStream(stream);
    return stream.Bytes();
}

std::string ReadAll(TStream& stream, std::size_t chunk)
{
    std::string bytes;
    std::string buffer(chunk, '\0');
    while (const std::size_t count = stream.Read(buffer.data(), buffer.size()))
        bytes.append(buffer, 0, count);
    return bytes;
}

TEST(SiteListStream, ReadsWhatTheListSavesInAnyChunks)
{
    const TbrmPwList list = ListOf("b=2\tpw\t\t\nA=1\t\t\t\r\n\nc=3\tx\ty\tnote\\n\r");
    const std::string saved = Saved(list);
    for (const std::size_t chunk : { 1, 2, 3, 7, 4096 }) {
        SCOPED_TRACE(chunk);
        TSiteListStream stream(list);
        EXPECT_EQ(stream.Size(), saved.size());
        EXPECT_EQ(ReadAll(stream, chunk), saved);
        EXPECT_EQ(stream.Position(), saved.size());
    }
}

TEST(SiteListStream, SeeksForwardAndBack)
{
    const TbrmPwList list = ListOf("a=1\r\nbb=22\r\nccc=333\r\n");
    const std::string saved = Saved(list);
    TSiteListStream stream(list);
    for (const std::size_t position : { std::size_t { 4 }, std::size_t { 5 }, std::size_t { 11 }, std::size_t { 0 },
             saved.size() - 1, saved.size(), std::size_t { 3 } }) {
        SCOPED_TRACE(position);
        stream.SetPosition(position);
        EXPECT_EQ(ReadAll(stream, 5), saved.substr(position));
    }
    stream.SetPosition(saved.size() + 10);
    EXPECT_EQ(ReadAll(stream, 5), "");
    stream.SetPosition(2);
    EXPECT_EQ(ReadAll(stream, 5), saved.substr(2));
}

TEST(SiteListStream, EmptyListIsEmptyAndWritingIsRefused)
{
    const TbrmPwList list;
    TSiteListStream stream(list);
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_EQ(ReadAll(stream, 8), "");
    try {
        stream.Write("x", 1);
        FAIL() << "writing should be refused";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "Stream write error");
    }
}

} // namespace
