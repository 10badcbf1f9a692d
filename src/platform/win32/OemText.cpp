#include "platform/OemText.h"

#include <windows.h>

std::string OemToAnsi(std::string_view text)
{
    std::string out(text);
    if (!out.empty())
        OemToCharBuffA(out.data(), out.data(), static_cast<DWORD>(out.size()));
    return out;
}
