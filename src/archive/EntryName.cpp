#include "archive/EntryName.h"

#include "archive/ZipLayout.h"
#include "platform/OemText.h"

#include <algorithm>

namespace {

using ZipLayout::GetUInt16;
using ZipLayout::GetUInt32;

constexpr std::uint16_t UnicodePathId = 0x7075;
constexpr std::uint16_t NucxId = 0x554E;

bool HasHighBytes(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Utf16LeToUtf8(std::string_view bytes)
{
    std::string out;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        std::uint32_t code = GetUInt16(bytes, at);
        if (code >= 0xD800 && code < 0xDC00 && at + 3 < bytes.size()) {
            const std::uint32_t low = GetUInt16(bytes, at + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        AppendUtf8(out, code);
    }
    return out;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size() || (length == 2 && lead < 0xC2))
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

std::string ConvertEntryName(std::string_view rawName, std::string_view extra, std::uint16_t flags,
    std::uint8_t hostSystem)
{
    if ((flags & ZipLayout::FlagUtf8Name) || (HasHighBytes(rawName) && IsValidUtf8(rawName)))
        return std::string(rawName);
    const std::string_view unicodePath = ZipLayout::FindExtraField(extra, UnicodePathId).value_or("");
    if (unicodePath.size() >= 5 && unicodePath[0] == 1 && GetUInt32(unicodePath, 1) == ZipLayout::Crc32(rawName))
        return std::string(unicodePath.substr(5));
    const std::string_view nucx = ZipLayout::FindExtraField(extra, NucxId).value_or("");
    if (nucx.substr(0, 4) == "NUCX")
        return Utf16LeToUtf8(nucx.substr(4));
    if (hostSystem != ZipLayout::HostMsDos || !HasHighBytes(rawName))
        return std::string(rawName);
    return OemToAnsi(rawName);
}
