#include "archive/EntryName.h"

#include "archive/ZipLayout.h"

#include <gtest/gtest.h>

namespace {

using namespace ZipLayout;

std::string ExtraField(std::uint16_t id, const std::string& data)
{
    std::string field;
    PutUInt16(field, id);
    PutUInt16(field, static_cast<std::uint16_t>(data.size()));
    return field + data;
}

std::string UnicodePath(const std::string& rawName, const std::string& name, std::uint32_t crcDelta = 0)
{
    std::string data(1, '\1');
    PutUInt32(data, Crc32(rawName) + crcDelta);
    return ExtraField(0x7075, data + name);
}

TEST(EntryName, ConvertsByFlagFieldsAndHost)
{
    // "Däta" in the DOS code page (0x84), in UTF-8, and in UTF-16.
    const std::string dos = "D\x84ta";
    const std::string utf8 = "D\xC3\xA4ta";
    const std::string utf16 = std::string("D\0\xE4\0t\0a\0", 8);
    struct Case {
        const char* what;
        std::string raw, extra;
        std::uint16_t flags;
        std::uint8_t host;
        std::string expected;
    };
    const Case cases[] = {
        { "plain ASCII", "Data", "", 0, HostMsDos, "Data" },
        { "UTF-8 flag", utf8, "", FlagUtf8Name, HostMsDos, utf8 },
        { "UTF-8 flag on bytes that do not decode", dos, "", FlagUtf8Name, HostMsDos, dos },
        { "valid UTF-8 without the flag", utf8, "", 0, HostMsDos, utf8 },
        { "Unicode path field", dos, UnicodePath(dos, "Data"), 0, HostMsDos, "Data" },
        { "Unicode path field of another name", dos, UnicodePath(dos, "Data", 1), 0, 3, dos },
        { "Unicode path field after another field", dos, ExtraField(0x5455, "12345") + UnicodePath(dos, "Data"), 0,
            HostMsDos, "Data" },
        { "NUCX field", dos, ExtraField(0x554E, "NUCX" + utf16), 0, HostMsDos, utf8 },
        { "NUCX tag missing", "Data", ExtraField(0x554E, "XXXX" + utf16), 0, HostMsDos, "Data" },
        { "DOS host, DOS code page", dos, "", 0, HostMsDos, utf8 },
        { "Unix host keeps the bytes", dos, "", 0, 3, dos },
        { "folders keep their separators", "dir/Data", "", 0, HostMsDos, "dir/Data" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertEntryName(c.raw, c.extra, c.flags, c.host), c.expected) << c.what;
}

TEST(EntryName, RecognisesUtf8)
{
    const std::pair<std::string, bool> cases[] = {
        { "", true }, { "abc", true }, { "\xC3\xA4", true }, { "\xE2\x82\xAC", true }, { "\xF0\x9F\x94\x91", true },
        { "\xC3", false }, { "\x84", false }, { "\xC0\x80", false }, { "\xE2\x82", false }, { "\xF8\x88\x80\x80", false },
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(IsValidUtf8(text), valid) << testing::PrintToString(text);
}

} // namespace
