#include "platform/AppError.h"

#include "platform/Files.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>

#include <iomanip>
#include <sstream>

std::string LastSystemErrorText()
{
    return std::strerror(errno);
}

std::string DescribeCodeAddress(const void* address)
{
    Dl_info info {};
    std::ostringstream text;
    if (address != nullptr && ::dladdr(address, &info) != 0 && info.dli_fname != nullptr) {
        const auto offset = reinterpret_cast<std::uintptr_t>(address)
            - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        // The main program is reported by the name it was started with; name its file.
        const bool relative = info.dli_fname[0] != '/';
        text << (relative ? ExecutablePath() : std::string(info.dli_fname)) << " at " << std::hex << std::setw(8) << std::setfill('0') << offset;
    } else {
        text << ExecutablePath() << " at an unknown address";
    }
    return text.str();
}
