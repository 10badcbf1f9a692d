#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// An entry's stored name as the platform's text: UTF-8 when flagged or valid,
// else from an Info-ZIP Unicode Path field or a "NUCX" UTF-16 field, else the raw
// bytes, converted from the DOS code page when an MS-DOS host wrote them.
std::string ConvertEntryName(std::string_view rawName, std::string_view extra, std::uint16_t flags,
    std::uint8_t hostSystem);

bool IsValidUtf8(std::string_view text);
