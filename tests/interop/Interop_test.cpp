// Our archives against independent ZIP tools, in both directions.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string Cli = SITEVAULT_CLI;

struct Result {
    int exit;
    std::string output;
};

Result Shell(const std::string& command)
{
    Result result { -1, "" };
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 65536> buffer {};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class Interop : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "sitevault-interop-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string File(const std::string& name) const { return (folder / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    std::string In(const std::string& command) const { return "cd " + Quoted(folder.string()) + " && " + command; }

    // Our reading of an archive; the password comes on standard input.
    Result OurCat(const std::string& archive, const std::string& password) const
    {
        if (password.empty())
            return Shell(Cli + " cat " + Quoted(File(archive)) + " </dev/null");
        return Shell("printf '%s\\n' " + Quoted(password) + " | " + Cli + " cat " + Quoted(File(archive))
            + " --password-stdin");
    }

    std::filesystem::path folder;
};

std::string SortedSites(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string number = std::to_string(100000 + i);
        text += "Site " + number + "=user" + number + "\tp\xC3\xA4ss" + number + "\thttps://example.org/" + number
            + "\tnote\\nline\r\n";
    }
    return text;
}

TEST_F(Interop, PeersReadWhatWeWrite)
{
    // 60,000 sites make a text of several compression pieces.
    for (int count : { 0, 1, 3000, 60000 }) {
        for (const std::string password : { "", "s3cr\xC3\xABt pw" }) {
            SCOPED_TRACE(std::to_string(count) + " sites, password '" + password + "'");
            const std::string text = SortedSites(count);
            Write("list.txt", text);
            const std::string create = Cli + " create " + Quoted(File("ours.zip")) + " --from " + Quoted(File("list.txt"));
            const Result created = password.empty()
                ? Shell(create + " --no-password")
                : Shell("printf '%s\\n' " + Quoted(password) + " | " + create + " --password-stdin");
            ASSERT_EQ(created.exit, 0);
            const std::string p = Quoted(password);
            const std::string archive = Quoted(File("ours.zip"));
            const std::string readers[] = {
                "unzip -p -P " + p + " " + archive + " Data",
                "7zz e -so -p" + p + " " + archive + " Data 2>/dev/null",
                "bsdtar -xOf " + archive + (password.empty() ? "" : " --passphrase " + p) + " Data",
                "python3 -c 'import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); "
                "sys.stdout.buffer.write(z.read(\"Data\", pwd=sys.argv[2].encode() or None))' " + archive + " " + p,
            };
            for (const std::string& reader : readers) {
                const Result read = Shell(reader);
                EXPECT_EQ(read.exit, 0) << reader;
                EXPECT_EQ(read.output, text) << reader;
            }
        }
    }
}

TEST_F(Interop, WeReadWhatPeersWrite)
{
    const std::string text = SortedSites(2000);
    Write("Data", text);
    Write("other", "another member");
    struct Case {
        const char* name;
        std::string command;
        const char* password;
    };
    const Case cases[] = {
        { "deflate", "zip -q a.zip Data", "" },
        { "stored", "zip -q -0 a.zip Data", "" },
        { "deflate, password", "zip -q -P pw a.zip Data", "pw" },
        { "stored, password", "zip -q -0 -P pw a.zip Data", "pw" },
        { "bzip2", "zip -q -Z bzip2 -P pw a.zip Data", "pw" },
        { "zip64", "zip -q -fz -P pw a.zip Data", "pw" },
        { "comment and members", "zip -q -P pw a.zip other Data other && echo comment | zip -q -z a.zip", "pw" },
        { "leading bytes", "zip -q b.zip Data && head -c 5000 /dev/urandom > a.zip && cat b.zip >> a.zip", "" },
        { "7-Zip deflate", "7zz a -bso0 -tzip -mm=Deflate -mem=ZipCrypto -ppw a.zip Data", "pw" },
        { "7-Zip bzip2", "7zz a -bso0 -tzip -mm=BZip2 -mem=ZipCrypto -ppw a.zip Data", "pw" },
        { "7-Zip lzma", "7zz a -bso0 -tzip -mm=LZMA -mem=ZipCrypto -ppw a.zip Data", "pw" },
        { "7-Zip copy", "7zz a -bso0 -tzip -mm=Copy -mem=ZipCrypto -ppw a.zip Data", "pw" },
        { "data descriptors", "python3 -c 'import sys,zipfile; z=zipfile.ZipFile(sys.stdout.buffer, \"w\", "
                              "zipfile.ZIP_DEFLATED); z.writestr(\"Data\", open(\"Data\",\"rb\").read()); z.close()' "
                              "| cat > a.zip", "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(File("a.zip"));
        std::filesystem::remove(File("b.zip"));
        ASSERT_EQ(Shell(In(c.command)).exit, 0) << c.command;
        const Result read = OurCat("a.zip", c.password);
        EXPECT_EQ(read.exit, 0);
        EXPECT_TRUE(read.output == text) << "read " << read.output.size() << " bytes";
    }
}

TEST_F(Interop, OtherNamesAreNotTheMember)
{
    Write("DATA", "upper case");
    ASSERT_EQ(Shell(In("zip -q upper.zip DATA")).exit, 0);
    EXPECT_EQ(OurCat("upper.zip", "").output, "upper case");

    std::filesystem::create_directory(File("dir"));
    Write("dir/Data", "in a folder");
    ASSERT_EQ(Shell(In("zip -q nested.zip dir/Data")).exit, 0);
    const Result nested = OurCat("nested.zip", "");
    EXPECT_EQ(nested.exit, 0);
    EXPECT_EQ(nested.output, "");
}

// Commands that ask for a password on a terminal of their own.
class TerminalPrompts : public Interop {
protected:
    // The exit status and what the terminal showed.
    Result OnTerminal(const std::string& command, const std::vector<std::string>& typed) const
    {
        std::string line = "python3 " + Quoted(TERMINAL_SESSION) + " " + Quoted(In(command));
        for (const std::string& answer : typed)
            line += " " + Quoted(answer);
        Result result = Shell(line);
        const std::size_t firstLineEnd = result.output.find('\n');
        if (firstLineEnd == std::string::npos)
            return { -1, result.output };
        return { std::stoi(result.output.substr(0, firstLineEnd)), result.output.substr(firstLineEnd + 1) };
    }

    std::string Read(const std::string& name) const
    {
        std::ifstream file(File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
};

TEST_F(TerminalPrompts, CreateAsksTwiceWithoutEchoAndCatAsksThreeTimes)
{
    const std::string text = SortedSites(20);
    Write("list.txt", text);
    const Result created = OnTerminal(Cli + " create t.zip --from list.txt", { "typed pw", "typed pw" });
    EXPECT_EQ(created.exit, 0) << created.output;
    EXPECT_NE(created.output.find("New password: "), std::string::npos) << created.output;
    EXPECT_NE(created.output.find("Confirm password: "), std::string::npos) << created.output;
    EXPECT_EQ(created.output.find("typed pw"), std::string::npos) << "the password was echoed";
    EXPECT_EQ(Shell("unzip -p -P 'typed pw' " + Quoted(File("t.zip")) + " Data").output, text);

    const Result mismatch = OnTerminal(Cli + " create u.zip --from list.txt", { "one", "two" });
    EXPECT_EQ(mismatch.exit, 3);
    EXPECT_NE(mismatch.output.find("New password and confirmation must be the same"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(File("u.zip")));

    // One wrong password in 256 passes the cipher's header check and fails later, so
    // only passwords that the check rejects stand for wrong ones here.
    std::vector<std::string> wrong;
    for (int i = 0; wrong.size() < 3; ++i) {
        const std::string candidate = "wrong " + std::to_string(i);
        if (OurCat("t.zip", candidate).exit == 3)
            wrong.push_back(candidate);
    }
    const Result third = OnTerminal(Cli + " cat t.zip > out", { wrong[0], wrong[1], "typed pw" });
    EXPECT_EQ(third.exit, 0) << third.output;
    EXPECT_EQ(Read("out"), text);

    const Result refused = OnTerminal(Cli + " cat t.zip > out", { wrong[0], wrong[1], wrong[2], "never asked" });
    EXPECT_EQ(refused.exit, 3) << refused.output;
    EXPECT_NE(refused.output.find("Cannot extract file - invalid password"), std::string::npos);
    std::size_t prompts = 0;
    for (std::size_t at = refused.output.find("Password: "); at != std::string::npos;
         at = refused.output.find("Password: ", at + 1))
        ++prompts;
    EXPECT_EQ(prompts, 3u);
    EXPECT_EQ(Read("out"), "") << "nothing reaches standard output on a failure";
}

} // namespace
