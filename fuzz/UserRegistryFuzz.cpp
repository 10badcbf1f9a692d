#include "FuzzSupport.h"

#include "platform/TextCompare.h"
#include "platform/UserRegistry.h"

#include <fstream>
#include <iterator>
#include <map>

// Reads the input as the registry-style settings file, then sets and deletes a value
// of the program's key: the value must read back, every other value of the key must
// stay, and a file that does not parse must never be written.
namespace {

const std::string KeyPath = "Software\\SiteVault";
const std::string AddedName = "Fuzz \"added\"";
const std::string AddedValue = "C:\\path \"quoted\"";

std::string FileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

// Each value's type and bytes.
using TValues = std::map<std::string, std::pair<std::uint32_t, std::string>>;

TValues OtherValues(const TRegistryKey& key)
{
    TValues values;
    for (const std::string& name : key.ValueNames()) {
        TRegistryData data;
        if (CompareTextIgnoreCase(name, AddedName) != 0) {
            Require(key.ReadValue(name, data) == TRegistryKey::ReadResult::Read, "a listed value reads");
            values.emplace(name, std::pair(data.type, data.bytes));
        }
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = InputFile(".reg");
    const std::string input(InputText(data, size));
    WriteInputFile(path, input);
    PointUserRegistryAt(path);

    TValues before;
    if (const std::unique_ptr<TRegistryKey> existing = TRegistryKey::OpenForReading(KeyPath))
        before = OtherValues(*existing);

    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(KeyPath);
    if (!key) {
        Require(FileText(path) == input, "a file that does not parse is left alone");
        return 0;
    }
    Require(key->SetStringValue(AddedName, AddedValue), "a parsed file takes a value");
    TRegistryData added;
    Require(key->ReadValue(AddedName, added) == TRegistryKey::ReadResult::Read, "a set value reads");
    Require(added.type == 1 && added.bytes == AddedValue + '\0', "a set value reads back as set");
    Require(OtherValues(*key) == before, "setting a value leaves the others as they were");

    key->DeleteValue(AddedName);
    Require(key->ReadValue(AddedName, added) == TRegistryKey::ReadResult::Missing, "a deleted value is gone");
    Require(OtherValues(*key) == before, "deleting a value leaves the others as they were");
    return 0;
}
