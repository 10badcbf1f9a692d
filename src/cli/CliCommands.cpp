#include "cli/CliCommands.h"

#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "model/PasswordGenerator.h"
#include "model/SiteListStream.h"
#include "model/brmPW.h"
#include "platform/AppError.h"
#include "platform/Files.h"

#include <charconv>
#include <istream>
#include <memory>
#include <ostream>

namespace {

constexpr int TerminalPrompts = 3;
// Far beyond any password a person uses, and still generated at once.
constexpr int LongestPassword = 9999;

const char* const Usage =
    "usage: sitevault-cli cat ARCHIVE [--password-stdin]\n"
    "       sitevault-cli ls ARCHIVE [--password-stdin]\n"
    "       sitevault-cli create ARCHIVE --from FILE [--password-stdin | --no-password]\n"
    "       sitevault-cli generate [--length N] [--classes Aa9$] [--special CHARS]\n"
    "       sitevault-cli generate --template TEMPLATE [--special CHARS]\n";

struct Options {
    std::string command;
    std::string archive;
    std::string from;
    bool passwordFromStdin = false;
    bool noPassword = false;
};

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments)
{
    Options options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--password-stdin")
            options.passwordFromStdin = true;
        else if (argument == "--no-password")
            options.noPassword = true;
        else if (argument == "--from" && i + 1 < arguments.size())
            options.from = arguments[++i];
        else if (argument.rfind("--", 0) == 0)
            return std::nullopt;
        else
            positional.push_back(argument);
    }
    if (positional.size() != 2)
        return std::nullopt;
    options.command = positional[0];
    options.archive = positional[1];
    const bool reading = options.command == "cat" || options.command == "ls";
    const bool creating = options.command == "create";
    if (!reading && !creating)
        return std::nullopt;
    if (reading && (options.noPassword || !options.from.empty()))
        return std::nullopt;
    if (creating && (options.from.empty() || (options.noPassword && options.passwordFromStdin)))
        return std::nullopt;
    return options;
}

std::string FirstLine(std::istream& in)
{
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

struct Failure {
    int errorClass;
    int errorCode;
    std::string message;
};

// Reads the member "Data", asking again for the password while the reader rejects it.
class MemberReading {
public:
    MemberReading(const Options& options, TCliStreams& streams) : options(options), streams(streams) {}

    int Run(std::string& text)
    {
        TArchiveReader reader;
        try {
            reader.SetFileName(options.archive);
        } catch (const AppError& error) {
            streams.err << error.what() << "\n";
            return ExitArchive;
        }
        if (options.passwordFromStdin)
            reader.SetPassword(FirstLine(streams.in));
        reader.SetOnProcessItemFailure(
            [this](TArchiveReader& sender, const TArchiveEntry&, int, int errorClass, int errorCode) {
                failure = Failure { errorClass, errorCode, sender.FailureMessage() };
                if (errorCode == InvalidPassword && errorClass == ArchiveError)
                    TryAnotherPassword(sender);
            });
        Extract(reader);
        if (failure) {
            streams.err << failure->message << "\n";
            return failure->errorClass == ArchiveError && failure->errorCode == InvalidPassword ? ExitPassword
                                                                                                : ExitExtraction;
        }
        text = output->ReleaseBytes();
        return ExitSuccess;
    }

private:
    void Extract(TArchiveReader& reader)
    {
        output = std::make_unique<TMemoryStream>();
        reader.ExtractMember("Data", *output);
    }

    void TryAnotherPassword(TArchiveReader& reader)
    {
        if (options.passwordFromStdin || prompts == TerminalPrompts)
            return;
        ++prompts;
        const std::optional<std::string> password = streams.askSecret("Password: ");
        if (!password || password->empty())
            return;
        failure.reset();
        reader.SetPassword(*password);
        Extract(reader);
    }

    const Options& options;
    TCliStreams& streams;
    std::optional<Failure> failure;
    std::unique_ptr<TMemoryStream> output;
    int prompts = 0;
};

int Cat(const Options& options, TCliStreams& streams)
{
    std::string text;
    const int exit = MemberReading(options, streams).Run(text);
    if (exit == ExitSuccess)
        streams.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return exit;
}

int List(const Options& options, TCliStreams& streams)
{
    std::string text;
    const int exit = MemberReading(options, streams).Run(text);
    if (exit != ExitSuccess)
        return exit;
    TbrmPwList list;
    list.LoadFromText(std::move(text));
    std::string names;
    for (int i = 0; i < list.Count(); ++i)
        names += list.Records(i).SiteName() + "\n";
    streams.out << names;
    return ExitSuccess;
}

std::optional<std::string> NewPassword(const Options& options, TCliStreams& streams)
{
    if (options.noPassword)
        return std::string();
    if (options.passwordFromStdin)
        return FirstLine(streams.in);
    const std::optional<std::string> first = streams.askSecret("New password: ");
    const std::optional<std::string> second = first ? streams.askSecret("Confirm password: ") : std::nullopt;
    if (!first || !second) {
        streams.err << "No terminal to ask for the password; use --password-stdin or --no-password\n";
        return std::nullopt;
    }
    if (*first != *second) {
        streams.err << "New password and confirmation must be the same\n";
        return std::nullopt;
    }
    return first;
}

int Create(const Options& options, TCliStreams& streams)
{
    TbrmPwList list;
    try {
        list.LoadFromText(ReadWholeFile(options.from));
    } catch (const AppError& error) {
        streams.err << error.what() << "\n";
        return ExitArchive;
    }
    const std::optional<std::string> password = NewPassword(options, streams);
    if (!password)
        return ExitPassword;
    if (password->empty() && !options.noPassword) {
        streams.err << "The password is empty; use --no-password to write without one\n";
        return ExitPassword;
    }
    try {
        TArchiveWriter writer;
        writer.SetPassword(*password);
        writer.SetFileName(options.archive);
        TSiteListStream text(list);
        writer.StoreMember("Data", text);
        writer.Close();
    } catch (const AppError& error) {
        streams.err << error.what() << "\n";
        return ExitArchive;
    }
    return ExitSuccess;
}

// A whole number of decimal digits only, none when it does not fit.
std::optional<int> Digits(const std::string& text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Ticks the classes whose letters are given; false for no letter or another one.
bool ReadClasses(const std::string& letters, TGeneratorSettings& settings)
{
    if (letters.empty() || letters.find_first_not_of("Aa9$") != std::string::npos)
        return false;
    settings.upperCase = letters.find('A') != std::string::npos;
    settings.lowerCase = letters.find('a') != std::string::npos;
    settings.numbers = letters.find('9') != std::string::npos;
    settings.special = letters.find('$') != std::string::npos;
    return true;
}

// Applies one option of generate to Settings; the reason it is refused, if it is.
std::optional<std::string> ReadGeneratorOption(const std::string& option, const std::string& value,
    TGeneratorSettings& settings)
{
    if (option == "--length") {
        const std::optional<int> length = Digits(value);
        if (!length || *length < 1 || *length > LongestPassword)
            return "--length needs a whole number from 1 to " + std::to_string(LongestPassword);
        settings.length = *length;
    } else if (option == "--classes") {
        if (!ReadClasses(value, settings))
            return "--classes takes one or more of A (uppercase), a (lowercase), 9 (numbers), $ (special)";
    } else if (option == "--special") {
        settings.specialChars = value;
    } else {
        settings.useTemplate = true;
        settings.templateText = value;
    }
    return std::nullopt;
}

// Reads the options of generate into Settings; the reason they are refused, if they are.
std::optional<std::string> ReadGeneratorOptions(const std::vector<std::string>& arguments, TGeneratorSettings& settings)
{
    bool classMode = false;
    for (std::size_t i = 1; i < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        if (option != "--length" && option != "--classes" && option != "--special" && option != "--template")
            return "unknown argument " + option;
        if (i + 1 == arguments.size())
            return option + " needs a value";
        if (std::optional<std::string> refusal = ReadGeneratorOption(option, arguments[i + 1], settings))
            return refusal;
        classMode = classMode || option == "--length" || option == "--classes";
    }
    if (settings.useTemplate && classMode)
        return "--template cannot be combined with --length or --classes";
    return std::nullopt;
}

int RefuseGenerate(const std::string& reason, TCliStreams& streams)
{
    streams.err << "sitevault-cli: " << reason << "\n" << Usage;
    return ExitUsage;
}

int Generate(const std::vector<std::string>& arguments, TCliStreams& streams)
{
    TGeneratorSettings settings;
    if (const std::optional<std::string> refusal = ReadGeneratorOptions(arguments, settings))
        return RefuseGenerate(*refusal, streams);
    const std::string password = GeneratePassword(settings);
    if (password.empty())
        return RefuseGenerate("the template holds none of the letters A a C c V v 9 $", streams);
    streams.out << password << "\n";
    return ExitSuccess;
}

} // namespace

int RunCli(const std::vector<std::string>& arguments, TCliStreams& streams)
{
    if (!arguments.empty() && arguments.front() == "generate")
        return Generate(arguments, streams);
    const std::optional<Options> options = ParseOptions(arguments);
    if (!options) {
        streams.err << Usage;
        return ExitUsage;
    }
    try {
        if (options->command == "cat")
            return Cat(*options, streams);
        if (options->command == "ls")
            return List(*options, streams);
        return Create(*options, streams);
    } catch (const std::exception& error) {
        streams.err << error.what() << "\n";
        return ExitExtraction;
    }
}
