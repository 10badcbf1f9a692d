#pragma once

#include <filesystem>
#include <string>

// A folder of its own for one test, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return (path / name).string(); }
    std::string Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    std::size_t EntryCount() const;

private:
    std::filesystem::path path;
};
