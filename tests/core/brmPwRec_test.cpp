#include "model/brmPW.h"

#include <gtest/gtest.h>

namespace {

struct Fields {
    std::string siteName, userName, password, url, storedNotes;
};

void ExpectFields(const TbrmPwRec& record, const Fields& expected)
{
    EXPECT_EQ(record.SiteName(), expected.siteName);
    EXPECT_EQ(record.UserName(), expected.userName);
    EXPECT_EQ(record.Password(), expected.password);
    EXPECT_EQ(record.URL(), expected.url);
    EXPECT_EQ(EncodeNotes(record.Notes()), expected.storedNotes);
}

struct LineCase {
    const char* line;
    Fields fields;
};

class SiteLineReading : public testing::TestWithParam<LineCase> {};

TEST_P(SiteLineReading, FillsEveryField)
{
    TbrmPwRec record;
    record.SetSiteName("stale");
    record.SetNotes("stale");
    record.SetLine(GetParam().line);
    ExpectFields(record, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(Lines, SiteLineReading, testing::Values(
    LineCase { "Mail=joe", { "Mail", "joe", "", "", "" } },
    LineCase { "joe", { "", "joe", "", "", "" } },
    LineCase { " Mail = joe \t x ", { "Mail", "joe", "x", "", "" } },
    LineCase { "a=b=c", { "a", "b=c", "", "", "" } },
    LineCase { "=u\tp\turl\tnotes\tfifth\tsixth", { "", "u", "p", "url", "notes" } },
    LineCase { "=\t\t\t", { "", "", "", "", "" } },
    LineCase { "", { "", "", "", "", "" } },
    LineCase { "Bank=\t\t\t  spaced notes ", { "Bank", "", "", "", "  spaced notes " } },
    LineCase { "\xC3\xA9t\xC3\xA9=\xFF\x80\t\x01pw\x02", { "\xC3\xA9t\xC3\xA9", "\xFF\x80", "pw", "", "" } }));

TEST(SiteLine, WritesFieldsInLineOrderWithThreeTabs)
{
    TbrmPwRec record;
    EXPECT_EQ(record.GetLine(), "=\t\t\t");
    record.SetLine("Mail=joe");
    EXPECT_EQ(record.GetLine(), "Mail=joe\t\t\t");
    record.SetPassword("secret");
    record.SetURL("https://mail.example");
    record.SetNotes("one\r\ntwo");
    EXPECT_EQ(record.GetLine(), "Mail=joe\tsecret\thttps://mail.example\tone\\ntwo");
}

TEST(SiteLine, SettersTrimBlanksAndControlBytesButNotHighBytes)
{
    TbrmPwRec record;
    record.SetSiteName(" \t\r\n Site \x1F");
    record.SetUserName("\xA0user\x80");
    record.SetPassword("  in ner  ");
    record.SetURL("\x7F");
    EXPECT_EQ(record.SiteName(), "Site");
    EXPECT_EQ(record.UserName(), "\xA0user\x80");
    EXPECT_EQ(record.Password(), "in ner");
    EXPECT_EQ(record.URL(), "\x7F");
}

TEST(SiteLine, CloneIsAnExactIndependentCopy)
{
    TbrmPwRec record;
    record.SetLine("Shop=ann\tpw\thttp://shop\tline1\\nline2\\\\x");
    const std::unique_ptr<TbrmPwRec> copy = record.Clone();
    EXPECT_EQ(copy->GetLine(), record.GetLine());
    copy->SetPassword("changed");
    EXPECT_EQ(record.Password(), "pw");
}

TEST(SiteLine, HostileLinesNeverFail)
{
    const std::string huge(4 * 1024 * 1024, 'x');
    TbrmPwRec record;
    record.SetLine(huge + "=" + huge + "\t\t\t" + huge);
    EXPECT_EQ(record.SiteName().size(), huge.size());
    EXPECT_EQ(EncodeNotes(record.Notes()).size(), huge.size());

    record.SetLine(std::string("a\0b=c\0d", 7));
    EXPECT_EQ(record.SiteName(), std::string("a\0b", 3));
    EXPECT_EQ(record.UserName(), std::string("c\0d", 3));
}

struct NotesCase {
    const char* plain;
    const char* stored;
    const char* readBack;
};

class NotesEscaping : public testing::TestWithParam<NotesCase> {};

TEST_P(NotesEscaping, StoresEscapedAndReadsBackDecoded)
{
    TbrmPwRec record;
    record.SetNotes(GetParam().plain);
    EXPECT_EQ(record.GetLine(), std::string("=\t\t\t") + GetParam().stored);
    EXPECT_EQ(record.Notes(), GetParam().readBack);
}

INSTANTIATE_TEST_SUITE_P(Notes, NotesEscaping, testing::Values(
    NotesCase { "one\r\ntwo", "one\\ntwo", "one\r\ntwo" },
    NotesCase { "one\ntwo", "one\\ntwo", "one\r\ntwo" },
    NotesCase { "C:\\new\\table", "C:\\\\new\\\\table", "C:\\new\\table" },
    NotesCase { "\r\n\r\n  text  \r\n\r\n", "text", "text" },
    NotesCase { "a\tb\rc", "a\\tbc", "a\tbc" },
    NotesCase { "x\\", "x\\\\", "x\\" }));

struct DecodeCase {
    const char* stored;
    const char* decoded;
};

class NotesDecoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(NotesDecoding, DecodesInOnePass)
{
    EXPECT_EQ(DecodeNotes(GetParam().stored), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(Decoding, NotesDecoding, testing::Values(
    DecodeCase { "a\\Nb", "a\r\nb" },
    DecodeCase { "a\\Tb", "a\tb" },
    DecodeCase { "ends\\", "ends\\" },
    DecodeCase { "\\\\n", "\\n" },
    DecodeCase { "\\x\\", "\\x\\" },
    DecodeCase { "a\r\\\rnb", "a\r\nb" },
    DecodeCase { "lone\nlf", "lone\r\nlf" }));

TEST(FieldSplitting, CountsAndTakesFieldsWithoutMergingSeparators)
{
    struct Case {
        int n;
        const char* text;
        const char* field;
    };
    const Case cases[] = {
        { 1, "", "" }, { 2, "", "" }, { 0, "a\tb", "" }, { -1, "a", "" },
        { 1, "a\tb", "a" }, { 2, "a\tb", "b" }, { 3, "a\tb", "" },
        { 2, "a\t\tc", "" }, { 3, "a\t\tc", "c" }, { 2, "a\t", "" }, { 3, "\t\t", "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FieldAt(c.n, c.text, '\t'), c.field) << c.n << " of '" << c.text << "'";
    EXPECT_EQ(FieldCount("", '\t'), 1);
    EXPECT_EQ(FieldCount("a\t\tb\t", '\t'), 4);
}

} // namespace

namespace {

TEST(SiteLine, AWrittenLineIsOneItsRecordWritesBackUnchanged)
{
    for (const std::string line : { "a=b\tc\td\te", "a=\t\t\t", "=\t\t\t", "a b=c d\t\t\tnotes \\n ", "a", "a=b\tc\td",
             "a=b\tc\td\te\tf", " a=\t\t\t", "a =\t\t\t", "a= b\t\t\t", "a=\tpw \t\t", "a=\t\t\x01url\t",
             "a\tb=\t\t\t", "a=b=c\t\t\t", "\xC3\xA9=\t\t\t\xFF" }) {
        TbrmPwRec record;
        record.SetLine(line);
        EXPECT_EQ(IsWrittenLine(line), record.GetLine() == line) << line;
    }
}

} // namespace
