#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <unistd.h>

namespace {

std::string ScratchFolder()
{
    if (::access("/dev/shm", W_OK | X_OK) == 0)
        return "/dev/shm";
    const char* temporary = std::getenv("TMPDIR");
    return temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp";
}

} // namespace

void Require(bool holds, std::string_view what)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

const std::string& InputFile(std::string_view extension)
{
    static std::map<std::string, std::string, std::less<>> files;
    auto found = files.find(extension);
    if (found == files.end()) {
        if (files.empty())
            std::atexit([] {
                for (const auto& [ignored, file] : files)
                    std::remove(file.c_str());
            });
        const std::string path = ScratchFolder() + "/sitevault-fuzz-" + std::to_string(::getpid()) + "-"
            + std::to_string(files.size()) + std::string(extension);
        found = files.emplace(std::string(extension), path).first;
    }
    return found->second;
}

void WriteInputFile(const std::string& path, std::string_view bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    Require(file.good(), "the input file is written");
}
