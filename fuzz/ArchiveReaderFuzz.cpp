#include "FuzzSupport.h"

#include "archive/ArchiveReader.h"
#include "model/Stream.h"
#include "model/brmPW.h"
#include "platform/AppError.h"

// Opens the input as an archive file and reads "Data" as the program does: every
// failure sets the password the seed archives use and extracts again from inside
// the notification, three times at most, each attempt into a fresh buffer.
namespace {

constexpr int MostPasswordPrompts = 3;
const char* const MemberName = "Data";
const char* const SeedPassword = "fuzz";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& file = InputFile(".zip");
    WriteInputFile(file, InputText(data, size));
    TArchiveReader reader;
    TMemoryStream buffer;
    int failures = 0;
    reader.SetOnProcessItemFailure([&](TArchiveReader& sender, const TArchiveEntry&, int processType, int, int) {
        Require(processType == ProcessExtract, "failures are reported for extraction");
        Require(!sender.FailureMessage().empty(), "a failure has a message");
        buffer = TMemoryStream();
        if (++failures > MostPasswordPrompts)
            return;
        sender.SetPassword(SeedPassword);
        sender.ExtractMember(MemberName, buffer);
    });
    try {
        reader.SetFileName(file);
    } catch (const AppError&) {
        return 0;
    }
    reader.ExtractMember(MemberName, buffer);
    reader.Close();
    TbrmPwList sites;
    sites.LoadFromText(buffer.ReleaseBytes());
    return 0;
}
