#ifndef _WIN32

#include "platform/DesktopShortcut.h"

#include "platform/AppError.h"

#include "EnvironmentVariable.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <sys/stat.h>

namespace {

using Arguments = std::vector<std::string>;

// The value of Key in a launcher's text, as written.
std::string ValueOf(const std::string& text, const std::string& key)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(key + "="))
            return line.substr(key.size() + 1);
    }
    ADD_FAILURE() << "no " << key << " in " << text;
    return std::string();
}

// Reads an Exec value back as a desktop does: the string escapes first, then the
// double quotes with their backslashes, then "%%".
Arguments ExecArguments(const std::string& value)
{
    std::string unescaped;
    for (std::size_t index = 0; index < value.size(); ++index) {
        if (value[index] != '\\' || index + 1 == value.size()) {
            unescaped += value[index];
            continue;
        }
        const char escape = value[++index];
        unescaped += escape == 's' ? ' ' : escape == 'n' ? '\n' : escape == 't' ? '\t' : escape == 'r' ? '\r' : escape;
        EXPECT_NE(std::string("sntr\\").find(escape), std::string::npos) << "stray escape in " << value;
    }
    Arguments arguments;
    std::optional<std::string> current;
    bool inQuotes = false;
    for (std::size_t index = 0; index < unescaped.size(); ++index) {
        const char character = unescaped[index];
        if (!inQuotes && character == ' ') {
            if (current)
                arguments.push_back(*current);
            current.reset();
            continue;
        }
        std::string& argument = current ? *current : current.emplace();
        if (character == '"')
            inQuotes = !inQuotes;
        else if (inQuotes && character == '\\' && index + 1 < unescaped.size())
            argument += unescaped[++index];
        else
            argument += character;
    }
    EXPECT_FALSE(inQuotes) << "unclosed quote in " << value;
    if (current)
        arguments.push_back(*current);
    for (std::string& argument : arguments) {
        std::string expanded;
        for (std::size_t index = 0; index < argument.size(); ++index) {
            expanded += argument[index];
            if (argument[index] == '%') {
                EXPECT_TRUE(index + 1 < argument.size() && argument[index + 1] == '%') << "field code in " << value;
                ++index;
            }
        }
        argument = expanded;
    }
    return arguments;
}

TDesktopShortcut Shortcut(const std::string& target, bool useIni, const std::string& archivePath)
{
    return TDesktopShortcut { "Home", target, useIni, archivePath, "/opt/sitevault" };
}

// Archive paths that a command line could get wrong, beside plain ones.
const std::string TrickyPaths[] = {
    "/home/me/vault.zip",
    "",
    "/home/me/My Vault.zip",
    "/home/me/say \"hi\".zip",
    "/home/me/$HOME and ${PATH}.zip",
    "/home/me/a\\b\\\\c.zip",
    "/home/me/`id`.zip",
    "/home/me/100%.zip",
    "/home/me/50%u %f%%.zip",
    "/home/me/it's <a>|b&c;d*?#(e)~.zip",
    "/home/me/line\nbreak\ttab\rreturn.zip",
    " leading and trailing ",
    "-useini",
};

TEST(DesktopShortcutEntry, WholeTextOfAPlainLauncher)
{
    EXPECT_EQ(DesktopEntryText(Shortcut("/opt/sitevault/sitevault", false, "/home/me/vault.zip")),
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Home\n"
        "Comment=Home\n"
        "Exec=/opt/sitevault/sitevault /home/me/vault.zip\n"
        "Path=/opt/sitevault\n");
}

TEST(DesktopShortcutEntry, ExecQuotesOnlyWhatNeedsIt)
{
    struct Case {
        std::string target;
        bool useIni;
        std::string archivePath;
        std::string exec;
    };
    const Case cases[] = {
        { "/opt/sv/sitevault", true, "/home/me/vault.zip", "/opt/sv/sitevault -useini /home/me/vault.zip" },
        { "/opt/sv/sitevault", false, "", "/opt/sv/sitevault \"\"" },
        { "/opt/sv/sitevault", true, "", "/opt/sv/sitevault -useini \"\"" },
        { "/opt/Site Vault/sitevault", false, "/a b.zip", "\"/opt/Site Vault/sitevault\" \"/a b.zip\"" },
        { "/opt/sv/sitevault", false, "/say \"hi\".zip", "/opt/sv/sitevault \"/say \\\\\"hi\\\\\".zip\"" },
        { "/opt/sv/sitevault", false, "/$HOME.zip", "/opt/sv/sitevault \"/\\\\$HOME.zip\"" },
        { "/opt/sv/sitevault", false, "/a\\b.zip", "/opt/sv/sitevault \"/a\\\\\\\\b.zip\"" },
        { "/opt/sv/sitevault", false, "/`id`.zip", "/opt/sv/sitevault \"/\\\\`id\\\\`.zip\"" },
        { "/opt/100%/sitevault", false, "/100% sure.zip", "/opt/100%%/sitevault \"/100%% sure.zip\"" },
        { "/opt/sv/sitevault", false, "/a\nb.zip", "/opt/sv/sitevault \"/a\\nb.zip\"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValueOf(DesktopEntryText(Shortcut(c.target, c.useIni, c.archivePath)), "Exec"), c.exec)
            << c.archivePath;
}

TEST(DesktopShortcutEntry, NameAndFolderKeepTheirTextThroughTheStringEscapes)
{
    struct Case {
        std::string text;
        std::string written;
    };
    const Case cases[] = {
        { "", "" },
        { "My vault", "My vault" },
        { "  padded  ", "\\s\\spadded\\s\\s" },
        { " ", "\\s" },
        { "a\\b", "a\\\\b" },
        { "tab\there\nline\rend", "tab\\there\\nline\\rend" },
        { "caf\xC3\xA9 100% \"x\" $y", "caf\xC3\xA9 100% \"x\" $y" },
    };
    for (const Case& c : cases) {
        const std::string text = DesktopEntryText(TDesktopShortcut { c.text, "/p", false, "", c.text });
        EXPECT_EQ(ValueOf(text, "Name"), c.written);
        EXPECT_EQ(ValueOf(text, "Comment"), c.written);
        EXPECT_EQ(ValueOf(text, "Path"), c.written);
    }
}

class DesktopShortcutFolder : public testing::Test {
protected:
    std::string Home() const { return folder.File("home"); }
    void WriteUserDirs(const std::string& configFolder, const std::string& text) const
    {
        std::filesystem::create_directories(configFolder);
        std::ofstream(configFolder + "/user-dirs.dirs", std::ios::binary) << text;
    }

    ScratchFolder folder;
    TEnvironmentVariable home { "HOME", folder.File("home") };
    TEnvironmentVariable configHome { "XDG_CONFIG_HOME", std::nullopt };
};

TEST_F(DesktopShortcutFolder, FollowsTheUserDirsFile)
{
    struct Case {
        std::string userDirs;
        std::string folder; // below the home folder when it starts with no "/"
    };
    const Case cases[] = {
        { "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", "Schreibtisch" },
        { "XDG_DESKTOP_DIR=\"/srv/desk\"\n", "/srv/desk" },
        { "XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\" \\$x\"\n", "My \"Desk\" $x" },
        { "# written by hand\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n \tXDG_DESKTOP_DIR \t= \t\"$HOME/D\"\n", "D" },
        { "XDG_DESKTOP_DIR=\"$HOME/Desk//\"\n", "Desk" },
        { "XDG_DESKTOP_DIR=\"$HOME/First\"\nXDG_DESKTOP_DIR=\"$HOME/Second\"\n", "Second" },
        { "XDG_DESKTOP_DIR=\"$HOME/\"\n", "" },
        { "XDG_DESKTOP_DIR=\"Relative\"\n", "Desktop" },
        { "XDG_DESKTOP_DIR=\"$HOMEX/y\"\n", "Desktop" },
        { "XDG_DESKTOP_DIRECTORY=\"/srv/no\"\n", "Desktop" },
        { "#XDG_DESKTOP_DIR=\"/srv/no\"\n", "Desktop" },
        { "", "Desktop" },
    };
    for (const Case& c : cases) {
        WriteUserDirs(Home() + "/.config", c.userDirs);
        const std::string expected =
            c.folder.starts_with('/') ? c.folder : c.folder.empty() ? Home() : Home() + "/" + c.folder;
        EXPECT_EQ(DesktopFolder(), expected) << c.userDirs;
    }
}

TEST_F(DesktopShortcutFolder, WithoutUserDirsFileIsTheHomeDesktop)
{
    EXPECT_EQ(DesktopFolder(), Home() + "/Desktop");
    const TEnvironmentVariable rootHome("HOME", "/");
    const TEnvironmentVariable emptyConfig("XDG_CONFIG_HOME", folder.File("config"));
    EXPECT_EQ(DesktopFolder(), "/Desktop");
}

TEST_F(DesktopShortcutFolder, ReadsTheFileUnderAnAbsoluteConfigHomeOnly)
{
    const std::string config = folder.File("config");
    WriteUserDirs(config, "XDG_DESKTOP_DIR=\"/srv/configured\"\n");
    WriteUserDirs(Home() + "/.config", "XDG_DESKTOP_DIR=\"/srv/default\"\n");
    {
        const TEnvironmentVariable absolute("XDG_CONFIG_HOME", config);
        EXPECT_EQ(DesktopFolder(), "/srv/configured");
    }
    const TEnvironmentVariable relative("XDG_CONFIG_HOME", "config");
    EXPECT_EQ(DesktopFolder(), "/srv/default");
}

mode_t ModeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class DesktopShortcut : public testing::Test {
protected:
    DesktopShortcut()
    {
        std::filesystem::create_directories(Desktop());
        folder.Write("sitevault", "#!/bin/sh\n");
    }

    std::string Desktop() const { return folder.File("home/Desktop"); }
    std::string Launcher(const std::string& name) const { return Desktop() + "/" + name + ".desktop"; }
    std::size_t DesktopEntryCount() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(Desktop()), {}));
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    TDesktopShortcut Named(const std::string& name, const std::string& archivePath = "/home/me/vault.zip") const
    {
        return TDesktopShortcut { name, folder.File("sitevault"), false, archivePath, "/opt/sitevault" };
    }

    ScratchFolder folder;
    TEnvironmentVariable home { "HOME", folder.File("home") };
    TEnvironmentVariable configHome { "XDG_CONFIG_HOME", std::nullopt };
};

TEST_F(DesktopShortcut, WritesAnExecutableLauncherOnTheDesktop)
{
    const TDesktopShortcut shortcut = Named("Home");
    CreateDesktopShortcut(shortcut);
    EXPECT_EQ(Read(Launcher("Home")), DesktopEntryText(shortcut));
    EXPECT_EQ(ModeOf(Launcher("Home")), 0700u);
    CreateDesktopShortcut(Named(""));
    EXPECT_EQ(Read(Launcher("")), DesktopEntryText(Named("")));
    EXPECT_EQ(DesktopEntryCount(), 2u);
}

TEST_F(DesktopShortcut, ReplacesALauncherOfTheSameName)
{
    std::ofstream(Launcher("Home")) << "[Desktop Entry]\nExec=/old\n";
    ::chmod(Launcher("Home").c_str(), 0644);
    CreateDesktopShortcut(Named("Home", "/home/me/new.zip"));
    EXPECT_EQ(Read(Launcher("Home")), DesktopEntryText(Named("Home", "/home/me/new.zip")));
    EXPECT_EQ(ModeOf(Launcher("Home")), 0755u);
    EXPECT_EQ(DesktopEntryCount(), 1u);
}

TEST_F(DesktopShortcut, CreatesNothingWhereItCannot)
{
    TDesktopShortcut missingTarget = Named("Home");
    missingTarget.target = folder.File("no-such-program");
    const TDesktopShortcut cases[] = {
        Named("a/b"),
        Named("../Escaped"),
        Named(std::string("a\0b", 3)),
        Named(std::string(256, 'x')),
        missingTarget,
    };
    for (const TDesktopShortcut& shortcut : cases)
        EXPECT_THROW(CreateDesktopShortcut(shortcut), AppError) << shortcut.name;
    EXPECT_EQ(DesktopEntryCount(), 0u);
    EXPECT_EQ(folder.EntryCount(), 2u); // the program and the home folder

    std::filesystem::remove(Desktop());
    EXPECT_THROW(CreateDesktopShortcut(Named("Home")), AppError);
    EXPECT_FALSE(std::filesystem::exists(Desktop()));
}

TEST_F(DesktopShortcut, ExecLineGivesTheArgumentsBack)
{
    const std::string tricky = "Site \"Vault\" $HOME `id` 100% a\\b";
    folder.Write(tricky, "#!/bin/sh\n");
    for (const bool useIni : { false, true }) {
        for (const std::string& archivePath : TrickyPaths) {
            TDesktopShortcut shortcut = Named("Home", archivePath);
            shortcut.target = folder.File(tricky);
            shortcut.useIni = useIni;
            CreateDesktopShortcut(shortcut);
            const Arguments expected = useIni ? Arguments { shortcut.target, "-useini", archivePath }
                                              : Arguments { shortcut.target, archivePath };
            EXPECT_EQ(ExecArguments(ValueOf(Read(Launcher("Home")), "Exec")), expected) << archivePath;
        }
    }
}

} // namespace

#endif
