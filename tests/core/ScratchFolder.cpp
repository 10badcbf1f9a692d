#include "ScratchFolder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "sitevault-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder");
    path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string ScratchFolder::Read(const std::string& name) const
{
    std::ifstream file(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream(File(name), std::ios::binary) << bytes;
}

std::size_t ScratchFolder::EntryCount() const
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path), {}));
}
