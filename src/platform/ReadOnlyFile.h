#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file opened for reading that others may still read and write.
class TReadOnlyFile {
public:
    // Raises "Cannot open file "<path>". <reason>" when it cannot be opened.
    explicit TReadOnlyFile(const std::string& path);
    ~TReadOnlyFile();
    TReadOnlyFile(const TReadOnlyFile&) = delete;
    TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

    std::uint64_t Size() const { return size; }
    // Reads up to Count bytes at Offset; fewer only at the end of the file.
    // Raises "Stream read error. <reason>" when the system fails the read.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const;

private:
    std::intptr_t handle = -1;
    std::uint64_t size = 0;
};
