#include "platform/ProfileFile.h"

#include "platform/AppError.h"
#include "platform/AtomicFile.h"
#include "platform/Files.h"
#include "platform/ProfileText.h"
#include "platform/TextCompare.h"
#include "platform/TextFileLines.h"

#include <cerrno>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

// Edits touch only the lines they are about; every other byte of the file, comments
// and unknown lines included, is written back as it was.
namespace {

constexpr std::size_t NotFound = std::string_view::npos;

bool SameName(std::string_view a, std::string_view b)
{
    return CompareTextIgnoreCase(a, b) == 0;
}

// The name of a "[name]" line; the last "]" closes it, so a name may hold one.
std::optional<std::string_view> SectionNameOf(std::string_view line)
{
    const std::string_view text = Trimmed(line);
    const std::size_t close = text.rfind(']');
    if (text.empty() || text.front() != '[' || close == NotFound)
        return std::nullopt;
    return Trimmed(text.substr(1, close - 1));
}

// A key line: the name before the first "=", and the value after it when there is one.
struct TEntry {
    std::string_view name;
    std::optional<std::string_view> value;
};

std::optional<TEntry> EntryOf(std::string_view line)
{
    const std::string_view text = Trimmed(line);
    if (text.empty() || text.front() == ';' || text.front() == '[')
        return std::nullopt;
    const std::size_t equals = text.find('=');
    if (equals == NotFound)
        return TEntry { text, std::nullopt };
    const std::string_view name = Trimmed(text.substr(0, equals));
    if (name.empty())
        return std::nullopt;
    return TEntry { name, Trimmed(text.substr(equals + 1)) };
}

// A section's header line and the index of the line after its last one.
struct TSectionLines {
    std::size_t header = 0;
    std::size_t end = 0;
};

class TProfile : private TTextWithLines {
public:
    explicit TProfile(std::string bytes) : TTextWithLines(std::move(bytes)) {}

    // The first section of that name counts.
    std::optional<TSectionLines> FindSection(std::string_view section) const
    {
        std::optional<TSectionLines> found;
        for (std::size_t index = 0; index < lines.size(); ++index) {
            const std::optional<std::string_view> name = SectionNameOf(Content(index));
            if (!name)
                continue;
            if (found) {
                found->end = index;
                return found;
            }
            if (SameName(*name, section))
                found = TSectionLines { index, lines.size() };
        }
        return found;
    }

    std::vector<std::string> KeyNames(const TSectionLines& section) const
    {
        std::vector<std::string> names;
        for (std::size_t index = section.header + 1; index < section.end; ++index)
            if (const std::optional<TEntry> entry = EntryOf(Content(index)))
                names.emplace_back(entry->name);
        return names;
    }

    // The first key of that name counts.
    std::optional<TEntry> FindKey(const TSectionLines& section, std::string_view key) const
    {
        const std::vector<std::size_t> found = KeyLines(section, key);
        return found.empty() ? std::nullopt : EntryOf(Content(found.front()));
    }

    std::string WithValue(std::string_view section, std::string_view key, std::string_view value) const
    {
        const std::optional<TSectionLines> found = FindSection(section);
        if (!found)
            return Separated() + "[" + std::string(section) + "]" + lineEnd + KeyLine(key, value) + lineEnd;
        const std::vector<std::size_t> keyLines = KeyLines(*found, key);
        if (keyLines.empty())
            return WithLineAfter(LastKeyLine(*found), KeyLine(key, value));
        const TEntry entry = *EntryOf(Content(keyLines.front()));
        if (entry.value && Unquoted(*entry.value) == value)
            return text;
        return WithLineReplaced(keyLines.front(), KeyLine(entry.name, value));
    }

    // Every line of the key goes, so no later duplicate comes to light.
    std::string WithoutKey(std::string_view section, std::string_view key) const
    {
        const std::optional<TSectionLines> found = FindSection(section);
        if (!found)
            return text;
        std::string edited;
        std::size_t copied = 0;
        for (const std::size_t index : KeyLines(*found, key)) {
            edited.append(text, copied, lines[index].begin - copied);
            copied = lines[index].end;
        }
        return edited.append(text, copied);
    }

private:
    std::vector<std::size_t> KeyLines(const TSectionLines& section, std::string_view key) const
    {
        std::vector<std::size_t> found;
        for (std::size_t index = section.header + 1; index < section.end; ++index) {
            const std::optional<TEntry> entry = EntryOf(Content(index));
            if (entry && SameName(entry->name, key))
                found.push_back(index);
        }
        return found;
    }

    // A new key goes after the section's last key, ahead of blank lines and comments
    // that may introduce the next section.
    std::size_t LastKeyLine(const TSectionLines& section) const
    {
        for (std::size_t index = section.end - 1; index > section.header; --index)
            if (EntryOf(Content(index)))
                return index;
        return section.header;
    }

    static std::string KeyLine(std::string_view key, std::string_view value)
    {
        return std::string(key) + "=" + StoredValue(value);
    }

    std::string WithLineAfter(std::size_t index, const std::string& line) const
    {
        const TLine& before = lines[index];
        if (!before.HasLineEnd())
            return Ended() + line;
        return text.substr(0, before.end) + line + lineEnd + text.substr(before.end);
    }

    std::string WithLineReplaced(std::size_t index, const std::string& line) const
    {
        return text.substr(0, lines[index].begin) + line + text.substr(lines[index].contentEnd);
    }

};

// The file's text; none when there is no file, AppError when it cannot be read.
std::optional<std::string> ReadIfPresent(const std::string& file)
{
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0 && errno == ENOENT)
        return std::nullopt;
    return ReadWholeFile(file);
}

// A file that cannot be read reads as absent.
std::optional<TProfile> ReadProfile(const std::string& file)
{
    try {
        std::optional<std::string> text = ReadIfPresent(file);
        return text ? std::optional<TProfile>(TProfile(std::move(*text))) : std::nullopt;
    } catch (const AppError&) {
        return std::nullopt;
    }
}

std::optional<std::string> FoundValue(const std::string& file, std::string_view section, std::string_view key)
{
    const std::optional<TProfile> profile = ReadProfile(file);
    const std::optional<TSectionLines> lines = profile ? profile->FindSection(section) : std::nullopt;
    const std::optional<TEntry> entry = lines ? profile->FindKey(*lines, key) : std::nullopt;
    if (!entry || !entry->value)
        return std::nullopt;
    return std::string(Unquoted(*entry->value));
}

// What one buffer of BufferSize bytes holds: each name with its zero byte and one
// more zero byte ending the list. The name that does not fit is cut to the room
// left, and the names after it are lost.
std::vector<std::string> NamesThatFit(std::vector<std::string> names, std::size_t bufferSize)
{
    std::size_t room = bufferSize == 0 ? 0 : bufferSize - 1;
    std::vector<std::string> fitting;
    for (std::string& name : names) {
        if (room < 2)
            break;
        if (name.size() + 1 > room) {
            fitting.push_back(name.substr(0, room - 1));
            break;
        }
        room -= name.size() + 1;
        fitting.push_back(std::move(name));
    }
    return fitting;
}

std::string CutToBuffer(std::string_view text, std::size_t bufferSize)
{
    return std::string(text.substr(0, bufferSize == 0 ? 0 : bufferSize - 1));
}

// The default goes through the same buffer as a value, less its trailing spaces.
std::string_view WithoutTrailingSpaces(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

void ReplaceFile(const std::string& file, const std::string& text)
{
    TAtomicFile replacement(file, TAtomicFile::NewFileAccess::EveryoneReads);
    replacement.Write(text);
    replacement.Commit();
}

// Applies Edit to the file's text (empty when there is no file) and replaces the file
// when that changes it. False when the file cannot be read or replaced; a read-only
// file is refused even where the folder would let it be replaced.
template <typename Edit>
bool Rewrite(const std::string& file, Edit edit)
{
    try {
        const std::optional<std::string> text = ReadIfPresent(file);
        const std::string edited = edit(TProfile(text.value_or(std::string())));
        if (edited == text.value_or(std::string()))
            return true;
        if (text && ::access(file.c_str(), W_OK) != 0)
            return false;
        ReplaceFile(file, edited);
        return true;
    } catch (const AppError&) {
        return false;
    }
}

} // namespace

std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section,
    std::size_t bufferSize)
{
    const std::optional<TProfile> profile = ReadProfile(file);
    const std::optional<TSectionLines> lines = profile ? profile->FindSection(Trimmed(section)) : std::nullopt;
    if (!lines)
        return {};
    return NamesThatFit(profile->KeyNames(*lines), bufferSize);
}

std::string ProfileString(const std::string& file, const std::string& section, const std::string& key,
    const std::string& defaultValue, std::size_t bufferSize)
{
    const std::optional<std::string> value = FoundValue(file, Trimmed(section), Trimmed(key));
    return CutToBuffer(value ? std::string_view(*value) : WithoutTrailingSpaces(defaultValue), bufferSize);
}

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
    const std::string& value)
{
    if (!CanBeStored(section, key, value))
        return false;
    return Rewrite(file,
        [&](const TProfile& profile) { return profile.WithValue(Trimmed(section), Trimmed(key), value); });
}

void DeleteProfileKey(const std::string& file, const std::string& section, const std::string& key)
{
    Rewrite(file, [&](const TProfile& profile) { return profile.WithoutKey(Trimmed(section), Trimmed(key)); });
}
