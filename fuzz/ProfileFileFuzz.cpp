#include "FuzzSupport.h"

#include "platform/ProfileFile.h"
#include "platform/ProfileText.h"
#include "platform/TextCompare.h"
#include "platform/TextFileLines.h"

#include <fstream>
#include <iterator>
#include <map>

// Input: a section, a key and a value, one a line, then the INI file. Writing the
// value, then deleting the key, must read back as asked and leave every other key
// of the section reading as before.
namespace {

constexpr std::size_t Unlimited = std::size_t(1) << 30;
const std::string Absent = std::string("\x01 absent", 9);

struct TRequest {
    std::string section;
    std::string key;
    std::string value;
    std::string file;
};

TRequest RequestOf(std::string_view input)
{
    TRequest request;
    std::string* fields[] = { &request.section, &request.key, &request.value };
    for (std::string* field : fields) {
        const std::size_t newline = std::min(input.find('\n'), input.size());
        *field = std::string(input.substr(0, newline));
        input.remove_prefix(std::min(newline + 1, input.size()));
    }
    request.file = std::string(input);
    return request;
}

std::string FileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

// The values of the section's keys other than Key, as the store reads them.
std::map<std::string, std::string> OtherValues(const std::string& path, const TRequest& request)
{
    std::map<std::string, std::string> values;
    for (const std::string& name : ProfileKeyNames(path, request.section, Unlimited))
        if (CompareTextIgnoreCase(Trimmed(name), Trimmed(request.key)) != 0)
            values.emplace(name, ProfileString(path, request.section, name, Absent, Unlimited));
    return values;
}

void CheckValueQuoting(std::string_view value)
{
    if (!HasLineBreakOrZero(value))
        Require(Unquoted(Trimmed(StoredValue(value))) == value, "a stored value reads back as it was");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TRequest request = RequestOf(InputText(data, size));
    CheckValueQuoting(request.value);
    const std::string& path = InputFile(".ini");
    WriteInputFile(path, request.file);
    const std::map<std::string, std::string> before = OtherValues(path, request);

    const bool written = WriteProfileString(path, request.section, request.key, request.value);
    if (!CanBeStored(request.section, request.key, request.value)) {
        Require(!written, "what would not read back is refused");
        Require(FileText(path) == request.file, "a refused write changes nothing");
        return 0;
    }
    Require(written, "a writable file takes the value");
    Require(ProfileString(path, request.section, request.key, Absent, Unlimited) == request.value,
        "a written value reads back");
    Require(OtherValues(path, request) == before, "writing a key leaves the others as they were");

    DeleteProfileKey(path, request.section, request.key);
    Require(ProfileString(path, request.section, request.key, Absent, Unlimited) == Absent,
        "a deleted key reads as absent");
    Require(OtherValues(path, request) == before, "deleting a key leaves the others as they were");
    return 0;
}
