#include "platform/Terminal.h"

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

std::optional<std::string> ReadSecretFromTerminal(const std::string& prompt)
{
    const int terminal = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (terminal < 0)
        return std::nullopt;
    termios saved {};
    const bool canSilence = ::tcgetattr(terminal, &saved) == 0;
    if (canSilence) {
        termios silent = saved;
        silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
        silent.c_lflag |= ECHONL;
        ::tcsetattr(terminal, TCSAFLUSH, &silent);
    }
    [[maybe_unused]] const ssize_t shown = ::write(terminal, prompt.data(), prompt.size());
    std::string line;
    char byte = 0;
    bool complete = false;
    while (::read(terminal, &byte, 1) == 1) {
        if (byte == '\n') {
            complete = true;
            break;
        }
        line += byte;
    }
    if (canSilence)
        ::tcsetattr(terminal, TCSAFLUSH, &saved);
    ::close(terminal);
    if (!complete && line.empty())
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}
