#include "shell/ArchiveReading.h"

#include "archive/ArchiveReader.h"
#include "dialogs/PasswordDialogs.h"
#include "dialogs/fmOpenPW.h"
#include "platform/Files.h"

namespace {

constexpr int MostPasswordPrompts = 3;
const char* const MemberName = "Data";

} // namespace

TArchiveReading::TArchiveReading(std::function<void()> giveUp) : FGiveUp(std::move(giveUp)) {}

std::unique_ptr<TbrmPwList> TArchiveReading::Read(const std::string& path)
{
    if (!IsExistingFile(path))
        return nullptr;
    TArchiveReader reader;
    TMemoryStream buffer;
    reader.SetOnProcessItemFailure([this, &buffer](TArchiveReader& sender, const TArchiveEntry&, int, int, int) {
        ZipProcessItemFailure(sender, buffer);
    });
    reader.SetFileName(path);
    reader.ExtractMember(MemberName, buffer);
    reader.Close();
    if (FGivenUp)
        return nullptr;
    auto sites = std::make_unique<TbrmPwList>();
    sites->LoadFromText(buffer.ReleaseBytes());
    return sites;
}

void TArchiveReading::ZipProcessItemFailure(TArchiveReader& reader, TMemoryStream& buffer)
{
    // What a failed extraction wrote is never loaded: each attempt starts afresh.
    buffer = TMemoryStream();
    ++FPasswordTries;
    std::string typed = FPassword.value_or("");
    if (FPasswordTries > MostPasswordPrompts || ExecOpenPW(typed) != ModalOk) {
        FGivenUp = true;
        FGiveUp();
        return;
    }
    FPassword = typed;
    reader.SetPassword(typed);
    reader.ExtractMember(MemberName, buffer);
}
