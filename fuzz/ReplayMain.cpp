#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Feeds saved inputs to a fuzz target without libFuzzer, so the corpus and the saved
// reproducers run in every test build. Arguments: files or folders (every file below
// them, in name order); "--if-present" before one lets it be missing.
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsUnder(const fs::path& path)
{
    if (!fs::is_directory(path))
        return { path };
    std::vector<fs::path> inputs;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path))
        if (entry.is_regular_file())
            inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

void Replay(const fs::path& input)
{
    std::ifstream file(input, std::ios::binary);
    const std::string bytes { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
    Require(!file.bad(), "the input is read");
    std::fprintf(stderr, "%s\n", input.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    bool optional = false;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "--if-present") {
            optional = true;
            continue;
        }
        if (!fs::exists(argument) && optional) {
            optional = false;
            continue;
        }
        Require(fs::exists(argument), "every input named is there: " + argument);
        for (const fs::path& input : InputsUnder(argument)) {
            Replay(input);
            ++replayed;
        }
        optional = false;
    }
    std::printf("%d inputs replayed\n", replayed);
    return 0;
}
