#include "platform/AppError.h"

#include "platform/Files.h"

#include <windows.h>

#include <cstdio>

std::string LastSystemErrorText()
{
    const DWORD error = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 ? std::string(text, length) : "System error " + std::to_string(error);
    LocalFree(text);
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= 0x20)
        message.pop_back();
    return message;
}

std::string DescribeCodeAddress(const void* address)
{
    if (address == nullptr)
        return ExecutablePath() + " at an unknown address";
    HMODULE module = nullptr;
    char name[MAX_PATH] = "unknown module";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<const char*>(address), &module))
        GetModuleFileNameA(module, name, MAX_PATH);
    char offset[32];
    std::snprintf(offset, sizeof offset, "%08llX",
        static_cast<unsigned long long>(static_cast<const char*>(address) - reinterpret_cast<const char*>(module)));
    return std::string(name) + " at " + offset;
}
