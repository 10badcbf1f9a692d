#include "platform/Terminal.h"

#include <windows.h>

#include <cstdio>

std::optional<std::string> ReadSecretFromTerminal(const std::string& prompt)
{
    const HANDLE input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DWORD mode = 0;
    GetConsoleMode(input, &mode);
    SetConsoleMode(input, mode & ~ENABLE_ECHO_INPUT);
    std::fputs(prompt.c_str(), stderr);
    std::string line;
    char byte = 0;
    DWORD got = 0;
    while (ReadFile(input, &byte, 1, &got, nullptr) && got == 1 && byte != '\n')
        if (byte != '\r')
            line += byte;
    SetConsoleMode(input, mode);
    CloseHandle(input);
    std::fputs("\n", stderr);
    return line;
}
