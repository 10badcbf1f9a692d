#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Shared by the fuzz targets: each is a LLVMFuzzerTestOneInput that libFuzzer drives
// and the replay test feeds saved inputs to.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

inline std::string_view InputText(const std::uint8_t* data, std::size_t size)
{
    return { reinterpret_cast<const char*>(data), size };
}

// A broken promise of the code under test: prints what broke and aborts, so both
// libFuzzer and the replay report the input.
void Require(bool holds, std::string_view what);

// A file of this process's own, named with Extension, replaced by the input for every
// run; kept in memory-backed storage where there is some, as the code under test
// flushes what it writes.
const std::string& InputFile(std::string_view extension);
void WriteInputFile(const std::string& path, std::string_view bytes);
