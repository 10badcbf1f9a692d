#include "cli/CliCommands.h"

#include "FixedEncryptionHeaders.h"
#include "ScratchFolder.h"
#include "model/PasswordGenerator.h"
#include "model/Random.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>

namespace {

const std::string ListText = "b=2\t\t\t\r\nA=1\tpw\t\t\r\n";
const std::string SortedText = "A=1\tpw\t\t\r\nb=2\t\t\t\r\n";

// Runs the companion with a scripted standard input and terminal.
struct CliRun {
    explicit CliRun(std::vector<std::string> arguments, std::string input = "", std::deque<std::string> typed = {})
        : in(std::move(input)), answers(std::move(typed))
    {
        TCliStreams streams { in, out, err, [this](const std::string& prompt) -> std::optional<std::string> {
            prompts.push_back(prompt);
            if (answers.empty())
                return std::nullopt;
            std::string answer = answers.front();
            answers.pop_front();
            return answer;
        } };
        exit = RunCli(arguments, streams);
    }

    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    std::deque<std::string> answers;
    std::vector<std::string> prompts;
    int exit = -1;
};

class Cli : public testing::Test {
protected:
    void SetUp() override { folder.Write("list.txt", ListText); }

    std::string Archive() const { return folder.File("a.zip"); }
    int Create(const std::string& password)
    {
        return CliRun({ "create", Archive(), "--from", folder.File("list.txt"), "--password-stdin" }, password + "\n").exit;
    }

    FixedEncryptionHeaders fixedHeaders;
    ScratchFolder folder;
};

TEST_F(Cli, CreateThenCatAndLsWithThePasswordFromStandardInput)
{
    ASSERT_EQ(Create("secret"), ExitSuccess);
    CliRun cat({ "cat", Archive(), "--password-stdin" }, "secret\r\nignored");
    EXPECT_EQ(cat.exit, ExitSuccess);
    EXPECT_EQ(cat.out.str(), SortedText);
    CliRun ls({ "ls", Archive(), "--password-stdin" }, "secret");
    EXPECT_EQ(ls.out.str(), "A\nb\n");
    EXPECT_TRUE(cat.prompts.empty());
}

TEST_F(Cli, WrongPasswordsGiveExitThreeAndNoOutput)
{
    ASSERT_EQ(Create("secret"), ExitSuccess);
    CliRun stdinWrong({ "cat", Archive(), "--password-stdin" }, "wrong\n");
    EXPECT_EQ(stdinWrong.exit, ExitPassword);
    EXPECT_EQ(stdinWrong.out.str(), "");
    EXPECT_EQ(stdinWrong.err.str(), "Cannot extract file - invalid password\n");
    EXPECT_TRUE(stdinWrong.prompts.empty());

    CliRun typedWrong({ "cat", Archive() }, "", { "a", "b", "c", "secret" });
    EXPECT_EQ(typedWrong.exit, ExitPassword);
    EXPECT_EQ(typedWrong.prompts.size(), 3u);
    EXPECT_EQ(typedWrong.out.str(), "");

    CliRun thirdRight({ "ls", Archive() }, "", { "a", "b", "secret" });
    EXPECT_EQ(thirdRight.exit, ExitSuccess);
    EXPECT_EQ(thirdRight.out.str(), "A\nb\n");

    CliRun noTerminal({ "cat", Archive() });
    EXPECT_EQ(noTerminal.exit, ExitPassword);
}

TEST_F(Cli, CreateAsksTwiceOnTheTerminal)
{
    CliRun mismatch({ "create", Archive(), "--from", folder.File("list.txt") }, "", { "one", "two" });
    EXPECT_EQ(mismatch.exit, ExitPassword);
    EXPECT_EQ(mismatch.prompts.size(), 2u);
    EXPECT_EQ(folder.EntryCount(), 1u) << "no archive written";

    CliRun match({ "create", Archive(), "--from", folder.File("list.txt") }, "", { "same", "same" });
    EXPECT_EQ(match.exit, ExitSuccess);
    EXPECT_EQ(CliRun({ "cat", Archive(), "--password-stdin" }, "same").out.str(), SortedText);

    CliRun plain({ "create", folder.File("plain.zip"), "--from", folder.File("list.txt"), "--no-password" });
    EXPECT_EQ(plain.exit, ExitSuccess);
    CliRun read({ "cat", folder.File("plain.zip") });
    EXPECT_EQ(read.out.str(), SortedText);
    EXPECT_TRUE(read.prompts.empty());
}

TEST_F(Cli, FailuresHaveTheirExitStatus)
{
    folder.Write("text.zip", "not an archive");
    CliRun notArchive({ "cat", folder.File("text.zip") });
    EXPECT_EQ(notArchive.exit, ExitArchive);
    EXPECT_EQ(notArchive.err.str(), "Unhandled Archive Type\n");

    CliRun badTarget({ "create", folder.File("list.txt.bak"), "--from", folder.File("list.txt"), "--no-password" });
    EXPECT_EQ(badTarget.exit, ExitArchive);
    CliRun missingSource({ "create", Archive(), "--from", folder.File("none.txt"), "--no-password" });
    EXPECT_EQ(missingSource.exit, ExitArchive);

    ASSERT_EQ(CliRun({ "create", Archive(), "--from", folder.File("list.txt"), "--no-password" }).exit, ExitSuccess);
    std::string bytes = folder.Read("a.zip");
    bytes[34] ^= 0x20;
    folder.Write("a.zip", bytes);
    CliRun damaged({ "cat", Archive() });
    EXPECT_EQ(damaged.exit, ExitExtraction);
    EXPECT_EQ(damaged.err.str(), "Failed CRC Check\n");
    EXPECT_EQ(damaged.out.str(), "");
}

TEST_F(Cli, CreateSavesThroughALinkAndRefusesAReadOnlyArchive)
{
    ASSERT_EQ(Create("old"), ExitSuccess);
    const std::string link = folder.File("link.zip");
    std::filesystem::create_symlink("a.zip", link);
    CliRun throughLink({ "create", link, "--from", folder.File("list.txt"), "--no-password" });
    EXPECT_EQ(throughLink.exit, ExitSuccess);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(CliRun({ "cat", Archive() }).out.str(), SortedText);

    ::chmod(Archive().c_str(), 0444);
    const std::string before = folder.Read("a.zip");
    for (const std::string& target : { Archive(), link }) {
        CliRun readOnly({ "create", target, "--from", folder.File("list.txt"), "--no-password" });
        EXPECT_EQ(readOnly.exit, ExitArchive);
        EXPECT_EQ(readOnly.err.str(), "Cannot create file \"" + target + "\". Permission denied\n");
    }
    EXPECT_EQ(folder.Read("a.zip"), before);
    EXPECT_EQ(folder.EntryCount(), 3u);
}

TEST_F(Cli, UsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {}, { "cat" }, { "rm", "a.zip" }, { "cat", "a.zip", "b.zip" }, { "cat", "a.zip", "--password" },
        { "create", "a.zip" }, { "create", "a.zip", "--from" }, { "ls", "a.zip", "--no-password" },
        { "create", "a.zip", "--from", "f", "--no-password", "--password-stdin" },
    };
    for (const auto& arguments : cases) {
        CliRun run(arguments);
        EXPECT_EQ(run.exit, ExitUsage) << testing::PrintToString(arguments);
        EXPECT_NE(run.err.str().find("usage:"), std::string::npos);
        EXPECT_EQ(run.out.str(), "");
    }
}

// Generated passwords, checked against the engine with the same deterministic draws.
class CliGenerate : public testing::Test {
protected:
    static constexpr std::uint32_t Seed = 4242u;

    void SetUp() override { SelectRandomSource(RandomSource::Deterministic); }
    void TearDown() override { SelectRandomSource(RandomSource::System); }

    static std::string Expected(const TGeneratorSettings& settings)
    {
        SetRandomState(Seed);
        return GeneratePassword(settings) + "\n";
    }
    static CliRun Run(std::vector<std::string> arguments)
    {
        SetRandomState(Seed);
        arguments.insert(arguments.begin(), "generate");
        return CliRun(std::move(arguments));
    }
};

TEST_F(CliGenerate, OptionsSetTheGeneratorsChoices)
{
    TGeneratorSettings digits;
    digits.upperCase = digits.lowerCase = digits.special = false;
    digits.length = 20;
    TGeneratorSettings lowerAndSpecial;
    lowerAndSpecial.upperCase = lowerAndSpecial.numbers = false;
    lowerAndSpecial.specialChars = "#\xE2\x82\xAC";
    TGeneratorSettings fromTemplate;
    fromTemplate.useTemplate = true;
    fromTemplate.templateText = "Cvc-99$";
    fromTemplate.specialChars = "#";
    const std::pair<std::vector<std::string>, TGeneratorSettings> cases[] = {
        { {}, TGeneratorSettings() },
        { { "--classes", "9", "--length", "20" }, digits },
        { { "--special", "#\xE2\x82\xAC", "--classes", "$a$" }, lowerAndSpecial },
        { { "--template", "Cvc-99$", "--special", "#" }, fromTemplate },
    };
    for (const auto& [arguments, settings] : cases) {
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.exit, ExitSuccess) << testing::PrintToString(arguments);
        EXPECT_EQ(run.out.str(), Expected(settings)) << testing::PrintToString(arguments);
        EXPECT_EQ(run.err.str(), "");
    }
    EXPECT_EQ(Run({ "--length", "9999" }).out.str().size(), 10000u);
}

TEST_F(CliGenerate, BadOptionsAreUsageErrors)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        { { "--length" }, "--length needs a value" },
        { { "--length", "0" }, "--length needs a whole number from 1 to 9999" },
        { { "--length", "10000" }, "--length needs a whole number from 1 to 9999" },
        { { "--length", "-5" }, "--length needs a whole number from 1 to 9999" },
        { { "--length", "12x" }, "--length needs a whole number from 1 to 9999" },
        { { "--classes", "" }, "--classes takes one or more of" },
        { { "--classes", "Aab" }, "--classes takes one or more of" },
        { { "--template", "Aa", "--length", "5" }, "--template cannot be combined" },
        { { "--classes", "a", "--template", "Aa" }, "--template cannot be combined" },
        { { "--template", "xyz-" }, "the template holds none of the letters" },
        { { "archive.zip" }, "unknown argument archive.zip" },
        { { "--password-stdin" }, "unknown argument --password-stdin" },
    };
    for (const auto& [arguments, reason] : cases) {
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.exit, ExitUsage) << testing::PrintToString(arguments);
        EXPECT_EQ(run.err.str().rfind("sitevault-cli: " + reason, 0), 0u) << run.err.str();
        EXPECT_NE(run.err.str().find("usage:"), std::string::npos);
        EXPECT_EQ(run.out.str(), "");
    }
}

} // namespace
