#include "platform/UserRegistry.h"

#include "platform/AppError.h"
#include "platform/AtomicFile.h"
#include "platform/Files.h"
#include "platform/TextCompare.h"
#include "platform/TextFileLines.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

// The store is the text the registry editor exports (version 5), so a person can
// read it and the program's settings can move to and from Windows. Every operation
// reads the file afresh; a change replaces it whole, touching only the lines it is
// about, and a file that does not parse is never written.
namespace {

constexpr std::string_view FileHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view RootKeyName = "HKEY_CURRENT_USER";
constexpr std::size_t NotFound = std::string_view::npos;
constexpr std::size_t WrapWidth = 80;

std::optional<std::string> pointedFile;

std::optional<std::string> ConfigurationFolder()
{
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && configured[0] == '/')
        return std::string(configured);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.config";
    const passwd* user = ::getpwuid(::getuid());
    if (user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] != '\0')
        return std::string(user->pw_dir) + "/.config";
    return std::nullopt;
}

std::optional<std::string> RegistryFile()
{
    if (pointedFile)
        return pointedFile;
    const std::optional<std::string> folder = ConfigurationFolder();
    return folder ? std::optional<std::string>(*folder + "/sitevault/user-registry.reg") : std::nullopt;
}

bool IsFolder(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Settings are private: folders made for them are open to their owner only.
bool CreateFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!IsFolder(part) && ::mkdir(part.c_str(), S_IRWXU) != 0 && errno != EEXIST)
            return false;
        if (slash == NotFound)
            return true;
    }
}

// As the registry refuses to open a key for writing that it would not let us change.
bool CanReplace(const std::string& file)
{
    return (::access(file.c_str(), W_OK) == 0 || errno == ENOENT)
        && ::access(FolderOf(file).c_str(), W_OK | X_OK) == 0;
}

// Key names between single "\", as the registry takes a path; none of them empty.
bool IsKeyPath(std::string_view path)
{
    return !HasLineBreakOrZero(path)
        && (path.empty() || (path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == NotFound));
}

bool SameName(std::string_view a, std::string_view b)
{
    return CompareTextIgnoreCase(a, b) == 0;
}

// Raised inside the parser only; a file that raises it is left alone.
struct TUnparsable {};

[[noreturn]] void Unparsable()
{
    throw TUnparsable {};
}

int HexDigitValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

class TCursor {
public:
    explicit TCursor(std::string_view text) : rest(text) {}

    bool AtEnd() const { return rest.empty(); }
    std::string_view Rest() const { return rest; }

    bool Take(char wanted)
    {
        if (rest.empty() || rest.front() != wanted)
            return false;
        rest.remove_prefix(1);
        return true;
    }

    bool Take(std::string_view wanted)
    {
        if (rest.substr(0, wanted.size()) != wanted)
            return false;
        rest.remove_prefix(wanted.size());
        return true;
    }

    void Expect(char wanted)
    {
        if (!Take(wanted))
            Unparsable();
    }

    char Next()
    {
        if (rest.empty())
            Unparsable();
        const char character = rest.front();
        rest.remove_prefix(1);
        return character;
    }

    void SkipBlanks() { rest = rest.substr(std::min(rest.find_first_not_of(" \t"), rest.size())); }

    void ExpectEnd()
    {
        SkipBlanks();
        if (!rest.empty())
            Unparsable();
    }

    // A hexadecimal number of one to MaxDigits digits.
    std::uint32_t HexNumber(std::size_t maxDigits)
    {
        std::uint32_t number = 0;
        std::size_t digits = 0;
        while (digits < maxDigits && !rest.empty() && HexDigitValue(rest.front()) >= 0) {
            number = number * 16 + static_cast<std::uint32_t>(HexDigitValue(Next()));
            ++digits;
        }
        if (digits == 0)
            Unparsable();
        return number;
    }

private:
    std::string_view rest;
};

// A quoted text with "\\" and "\"" standing for the backslash and the quote.
std::string QuotedText(TCursor& cursor)
{
    cursor.Expect('"');
    std::string text;
    for (char character = cursor.Next(); character != '"'; character = cursor.Next()) {
        if (character == '\\') {
            character = cursor.Next();
            if (character != '\\' && character != '"')
                Unparsable();
        }
        text += character;
    }
    return text;
}

std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char character : text) {
        if (character == '\\' || character == '"')
            quoted += '\\';
        quoted += character;
    }
    return quoted + "\"";
}

std::string HexBytes(std::string_view list)
{
    TCursor cursor(list);
    cursor.SkipBlanks();
    std::string bytes;
    if (cursor.AtEnd())
        return bytes;
    do {
        cursor.SkipBlanks();
        bytes += static_cast<char>(cursor.HexNumber(2));
        cursor.SkipBlanks();
    } while (cursor.Take(','));
    cursor.ExpectEnd();
    return bytes;
}

std::string LittleEndian(std::uint32_t number)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((number >> shift) & 0xFF);
    return bytes;
}

std::string HexPair(char byte)
{
    constexpr char Digits[] = "0123456789abcdef";
    const auto value = static_cast<unsigned char>(byte);
    return { Digits[value >> 4], Digits[value & 0x0F] };
}

// Long lists wrap as the registry editor wraps them: after a comma, with "\" ending
// the line and the list going on, indented, on the next one.
std::string WrappedHexList(std::string line, std::string_view bytes, const std::string& lineEnd)
{
    std::string text;
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        const std::string item = HexPair(bytes[index]) + (index + 1 < bytes.size() ? "," : "");
        if (index > 0 && line.size() + item.size() >= WrapWidth) {
            text += line + "\\" + lineEnd;
            line = "  ";
        }
        line += item;
    }
    return text + line;
}

// A string's bytes are its text and one zero byte; the quoted form holds exactly that,
// on one line. Anything else is written as a list of bytes.
std::string StringEntryText(std::string_view name, std::string_view value, const std::string& lineEnd)
{
    const std::string start = (name.empty() ? std::string("@") : Quoted(name)) + "=";
    if (!HasLineBreakOrZero(value))
        return start + Quoted(value);
    return WrappedHexList(start + "hex(" + std::to_string(RegistryString) + "):", std::string(value) + '\0', lineEnd);
}

struct TStoredValue {
    std::string name;
    TRegistryData data;
    std::size_t firstLine = 0;
    std::size_t lastLine = 0;
};

struct TStoredKey {
    std::string path;
    std::size_t headerLine = 0;
    std::vector<TStoredValue> values;

    std::size_t LastLine() const { return values.empty() ? headerLine : values.back().lastLine; }

    // The first value of that name counts.
    const TStoredValue* FindValue(std::string_view name) const
    {
        for (const TStoredValue& value : values)
            if (SameName(value.name, name))
                return &value;
        return nullptr;
    }
};

// The path below the root of a "[HKEY_CURRENT_USER\...]" header.
std::string KeyPathOf(std::string_view header)
{
    const std::string_view root = header.substr(0, RootKeyName.size());
    const std::string_view below = header.substr(root.size());
    if (!SameName(root, RootKeyName) || (!below.empty() && below.front() != '\\'))
        Unparsable();
    return std::string(below.empty() ? below : below.substr(1));
}

class TRegistryText : private TTextWithLines {
public:
    // None when the text is not a registry export of the form we read.
    static std::optional<TRegistryText> Parse(std::string text)
    {
        try {
            return TRegistryText(std::move(text));
        } catch (const TUnparsable&) {
            return std::nullopt;
        }
    }

    static TRegistryText Empty() { return TRegistryText(std::string(FileHeader) + "\n"); }

    const std::string& Text() const { return text; }

    const TStoredKey* FindKey(std::string_view path) const
    {
        for (const TStoredKey& key : keys)
            if (SameName(key.path, path))
                return &key;
        return nullptr;
    }

    std::string WithKey(std::string_view path) const
    {
        const std::string root(RootKeyName);
        const std::string header = path.empty() ? root : root + "\\" + std::string(path);
        return Separated() + "[" + header + "]" + lineEnd;
    }

    std::string WithStringValue(const TStoredKey& key, std::string_view name, std::string_view value) const
    {
        const TStoredValue* stored = key.FindValue(name);
        if (!stored)
            return WithTextAfter(key.LastLine(), StringEntryText(name, value, lineEnd));
        if (stored->data.type == RegistryString && stored->data.bytes == std::string(value) + '\0')
            return text;
        return text.substr(0, lines[stored->firstLine].begin) + StringEntryText(stored->name, value, lineEnd)
            + text.substr(lines[stored->lastLine].contentEnd);
    }

    // Every value of the name goes, so no later duplicate comes to light.
    std::string WithoutValue(const TStoredKey& key, std::string_view name) const
    {
        std::string edited;
        std::size_t copied = 0;
        for (const TStoredValue& value : key.values) {
            if (!SameName(value.name, name))
                continue;
            edited.append(text, copied, lines[value.firstLine].begin - copied);
            copied = lines[value.lastLine].end;
        }
        return edited.append(text, copied);
    }

private:
    explicit TRegistryText(std::string bytes) : TTextWithLines(std::move(bytes))
    {
        if (lines.empty() || Content(0) != FileHeader)
            Unparsable();
        for (std::size_t index = 1; index < lines.size(); ++index) {
            const std::string_view line = Trimmed(Content(index));
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[')
                keys.push_back(KeyAt(index, line));
            else if (keys.empty())
                Unparsable();
            else
                keys.back().values.push_back(ValueAt(index));
        }
    }

    static TStoredKey KeyAt(std::size_t index, std::string_view line)
    {
        if (line.size() < 2 || line.back() != ']')
            Unparsable();
        return TStoredKey { KeyPathOf(line.substr(1, line.size() - 2)), index, {} };
    }

    // Moves Index past the lines the value takes.
    TStoredValue ValueAt(std::size_t& index) const
    {
        TStoredValue value;
        value.firstLine = index;
        TCursor cursor(Content(index));
        cursor.SkipBlanks();
        value.name = cursor.Take('@') ? std::string() : QuotedText(cursor);
        cursor.SkipBlanks();
        cursor.Expect('=');
        cursor.SkipBlanks();
        value.data = DataAt(cursor, index);
        value.lastLine = index;
        return value;
    }

    TRegistryData DataAt(TCursor& cursor, std::size_t& index) const
    {
        if (cursor.Rest().substr(0, 1) == "\"") {
            std::string bytes = QuotedText(cursor) + '\0';
            cursor.ExpectEnd();
            return { RegistryString, std::move(bytes) };
        }
        if (cursor.Take("dword:")) {
            const std::uint32_t number = cursor.HexNumber(8);
            cursor.ExpectEnd();
            return { RegistryDWord, LittleEndian(number) };
        }
        if (!cursor.Take("hex"))
            Unparsable();
        std::uint32_t type = RegistryBinary;
        if (cursor.Take('(')) {
            type = cursor.HexNumber(8);
            cursor.Expect(')');
        }
        cursor.Expect(':');
        return { type, HexBytes(HexListFrom(cursor.Rest(), index)) };
    }

    // The list with its continuation lines joined; Index ends at its last line.
    std::string HexListFrom(std::string_view firstPart, std::size_t& index) const
    {
        std::string list;
        std::string_view part = Trimmed(firstPart);
        while (!part.empty() && part.back() == '\\') {
            list += part.substr(0, part.size() - 1);
            if (++index == lines.size())
                Unparsable();
            part = Trimmed(Content(index));
        }
        return list.append(part);
    }

    std::string WithTextAfter(std::size_t index, const std::string& added) const
    {
        const TLine& before = lines[index];
        if (!before.HasLineEnd())
            return Ended() + added;
        return text.substr(0, before.end) + added + lineEnd + text.substr(before.end);
    }

    std::vector<TStoredKey> keys;
};

// The registry in the file: empty when there is no file yet, none when the file
// cannot be read or parsed.
std::optional<TRegistryText> LoadRegistry(const std::string& file)
{
    try {
        struct stat status {};
        if (::stat(file.c_str(), &status) != 0 && errno == ENOENT)
            return TRegistryText::Empty();
        return TRegistryText::Parse(ReadWholeFile(file));
    } catch (const AppError&) {
        return std::nullopt;
    }
}

// Replaces the file with the edited text unless that is what it holds; false when
// the system refuses.
bool Store(const std::string& file, const TRegistryText& registry, const std::string& edited)
{
    if (edited == registry.Text())
        return true;
    try {
        TAtomicFile replacement(file);
        replacement.Write(edited);
        replacement.Commit();
        return true;
    } catch (const AppError&) {
        return false;
    }
}

} // namespace

struct TRegistryKey::Implementation {
    std::string file;
    std::string path;
};

TRegistryKey::TRegistryKey(std::unique_ptr<Implementation> opened) : implementation(std::move(opened)) {}

TRegistryKey::~TRegistryKey() = default;

std::unique_ptr<TRegistryKey> TRegistryKey::OpenForReading(const std::string& path)
{
    const std::optional<std::string> file = RegistryFile();
    if (!file || !IsKeyPath(path))
        return nullptr;
    const std::optional<TRegistryText> registry = LoadRegistry(*file);
    if (!registry || !registry->FindKey(path))
        return nullptr;
    auto opened = std::make_unique<Implementation>(Implementation { *file, path });
    return std::unique_ptr<TRegistryKey>(new TRegistryKey(std::move(opened)));
}

std::unique_ptr<TRegistryKey> TRegistryKey::OpenForWriting(const std::string& path)
{
    const std::optional<std::string> file = RegistryFile();
    if (!file || !IsKeyPath(path) || !CreateFolders(FolderOf(*file)))
        return nullptr;
    const std::optional<TRegistryText> registry = LoadRegistry(*file);
    if (!registry || !CanReplace(*file))
        return nullptr;
    if (!registry->FindKey(path) && !Store(*file, *registry, registry->WithKey(path)))
        return nullptr;
    auto opened = std::make_unique<Implementation>(Implementation { *file, path });
    return std::unique_ptr<TRegistryKey>(new TRegistryKey(std::move(opened)));
}

std::vector<std::string> TRegistryKey::ValueNames() const
{
    const std::optional<TRegistryText> registry = LoadRegistry(implementation->file);
    const TStoredKey* key = registry ? registry->FindKey(implementation->path) : nullptr;
    std::vector<std::string> names;
    if (key)
        for (const TStoredValue& value : key->values)
            names.push_back(value.name);
    return names;
}

TRegistryKey::ReadResult TRegistryKey::ReadValue(const std::string& name, TRegistryData& data) const
{
    const std::optional<TRegistryText> registry = LoadRegistry(implementation->file);
    if (!registry)
        return ReadResult::Failed;
    const TStoredKey* key = registry->FindKey(implementation->path);
    const TStoredValue* value = key ? key->FindValue(name) : nullptr;
    if (!value)
        return ReadResult::Missing;
    data = value->data;
    return ReadResult::Read;
}

bool TRegistryKey::SetStringValue(const std::string& name, const std::string& value)
{
    if (HasLineBreakOrZero(name))
        return false;
    std::optional<TRegistryText> registry = LoadRegistry(implementation->file);
    if (registry && !registry->FindKey(implementation->path))
        registry = TRegistryText::Parse(registry->WithKey(implementation->path));
    const TStoredKey* key = registry ? registry->FindKey(implementation->path) : nullptr;
    return key && Store(implementation->file, *registry, registry->WithStringValue(*key, name, value));
}

void TRegistryKey::DeleteValue(const std::string& name)
{
    const std::optional<TRegistryText> registry = LoadRegistry(implementation->file);
    const TStoredKey* key = registry ? registry->FindKey(implementation->path) : nullptr;
    if (key)
        Store(implementation->file, *registry, registry->WithoutValue(*key, name));
}

void PointUserRegistryAt(std::optional<std::string> file)
{
    pointedFile = std::move(file);
}
