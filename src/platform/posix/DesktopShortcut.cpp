#include "platform/DesktopShortcut.h"

#include "platform/AppError.h"
#include "platform/AtomicFile.h"
#include "platform/Files.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

// The shortcut is a freedesktop launcher: "<name>.desktop" in the desktop folder
// that the user's xdg-user-dirs name, executable, as desktops only start those.
namespace {

constexpr std::size_t NotFound = std::string_view::npos;
constexpr std::string_view DesktopKey = "XDG_DESKTOP_DIR";
constexpr std::string_view HomeVariable = "$HOME";
// The characters that make a launcher's command line quote an argument.
constexpr std::string_view ReservedInArgument = " \t\n\r\"'\\><~|&;$*?#()`";
constexpr std::string_view EscapedInQuotes = "\"`$\\";

// The escapes of a string value. A space is escaped only at the value's ends, where
// a reader would trim it.
std::string EscapedString(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    std::string escaped;
    for (std::size_t index = 0; index < text.size(); ++index) {
        switch (text[index]) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        case ' ': escaped += index < first || index > last ? "\\s" : " "; break;
        default: escaped += text[index];
        }
    }
    return escaped;
}

// One argument of the command line, in double quotes when it holds a reserved
// character or is empty; "%" is doubled everywhere, as a lone one starts a field code.
std::string QuotedArgument(std::string_view argument)
{
    const bool quoted = argument.empty() || argument.find_first_of(ReservedInArgument) != NotFound;
    std::string result = quoted ? "\"" : "";
    for (const char character : argument) {
        if (quoted && EscapedInQuotes.find(character) != NotFound)
            result += '\\';
        result += character;
        if (character == '%')
            result += '%';
    }
    return quoted ? result + '"' : result;
}

std::string CommandLine(const TDesktopShortcut& shortcut)
{
    std::string line = QuotedArgument(shortcut.target);
    if (shortcut.useIni)
        line += " -useini";
    return line + ' ' + QuotedArgument(shortcut.archivePath);
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string AsFolder(std::string path)
{
    path = WithoutTrailingSlashes(std::move(path));
    return path.empty() ? "/" : path;
}

// The home folder without its trailing slash, so that "/" becomes empty and paths
// below it are the home folder followed by "/...".
std::string HomePrefix()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return WithoutTrailingSlashes(home);
    const passwd* user = ::getpwuid(::getuid());
    if (user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] != '\0')
        return WithoutTrailingSlashes(user->pw_dir);
    throw AppError("Cannot find the home folder.");
}

std::string UserDirsFile(const std::string& home)
{
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = configured != nullptr && configured[0] == '/' ? configured : home + "/.config";
    return folder + "/user-dirs.dirs";
}

void SkipBlanks(std::string_view& text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
}

bool Consume(std::string_view& text, std::string_view expected)
{
    if (!text.starts_with(expected))
        return false;
    text.remove_prefix(expected.size());
    return true;
}

// The text up to the closing quote (or the line's end), each backslash taking the
// character after it literally.
std::string Unescaped(std::string_view text)
{
    std::string value;
    for (std::size_t index = 0; index < text.size() && text[index] != '"'; ++index) {
        if (text[index] == '\\' && index + 1 < text.size())
            ++index;
        value += text[index];
    }
    return value;
}

// The folder of a line XDG_DESKTOP_DIR="$HOME/..." or XDG_DESKTOP_DIR="/...";
// other lines, comments and relative values give none.
std::optional<std::string> DesktopFolderOfLine(std::string_view line, const std::string& home)
{
    SkipBlanks(line);
    if (!Consume(line, DesktopKey))
        return std::nullopt;
    SkipBlanks(line);
    if (!Consume(line, "="))
        return std::nullopt;
    SkipBlanks(line);
    if (!Consume(line, "\""))
        return std::nullopt;
    if (Consume(line, HomeVariable) && (line.empty() || line.front() == '/' || line.front() == '"'))
        return AsFolder(home + Unescaped(line));
    if (!line.starts_with('/'))
        return std::nullopt;
    return AsFolder(Unescaped(line));
}

// A "/" would put the launcher into another folder, a zero byte would cut its name.
// A name too long for the file system fails when the file is made.
void RaiseUnlessFileName(const std::string& fileName)
{
    if (fileName.find_first_of(std::string_view("/\0", 2)) != NotFound)
        throw AppError("The shortcut's name cannot be a file name.");
}

// Executable wherever it is readable: 0700 for a new launcher, 0755 for a replaced 0644 one.
void MakeExecutable(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        throw AppError("Cannot make \"" + path + "\" executable. " + LastSystemErrorText());
    const mode_t mode = status.st_mode & 07777;
    if (::chmod(path.c_str(), mode | ((mode & 0444) >> 2)) != 0)
        throw AppError("Cannot make \"" + path + "\" executable. " + LastSystemErrorText());
}

} // namespace

std::string DesktopEntryText(const TDesktopShortcut& shortcut)
{
    const std::string name = EscapedString(shortcut.name);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + name + "\n"
           "Comment=" + name + "\n"
           "Exec=" + EscapedString(CommandLine(shortcut)) + "\n"
           "Path=" + EscapedString(shortcut.workingFolder) + "\n";
}

std::string DesktopFolder()
{
    const std::string home = HomePrefix();
    std::optional<std::string> folder;
    std::ifstream file(UserDirsFile(home));
    // The last line naming the folder counts, as with the tools that write the file.
    for (std::string line; std::getline(file, line);) {
        if (std::optional<std::string> named = DesktopFolderOfLine(line, home))
            folder = std::move(named);
    }
    return folder ? *folder : home + "/Desktop";
}

void CreateDesktopShortcut(const TDesktopShortcut& shortcut)
{
    if (!IsExistingFile(shortcut.target))
        throw AppError("The program file \"" + shortcut.target + "\" does not exist.");
    const std::string fileName = shortcut.name + ".desktop";
    RaiseUnlessFileName(fileName);
    const std::string folder = DesktopFolder();
    const std::string path = (folder == "/" ? folder : folder + "/") + fileName;
    // A missing desktop folder is not made (no desktop shows it), so the file cannot be.
    TAtomicFile file(path);
    file.Write(DesktopEntryText(shortcut));
    file.Commit();
    MakeExecutable(path);
}
