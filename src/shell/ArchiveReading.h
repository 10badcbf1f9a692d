#pragma once

#include "model/brmPW.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class TArchiveReader;
class TMemoryStream;

// One reading of an archive's sites, asking for the password as often as the
// reader's failures call for it. The reading owns the reader, the buffer, the list
// and the typed password; its caller gets the list only once the reading has ended,
// so whatever giving up runs cannot free anything the reading still uses.
class TArchiveReading {
public:
    // GiveUp runs inside the failing extraction when a prompt is cancelled or the
    // prompts have run out.
    explicit TArchiveReading(std::function<void()> giveUp);

    // The sites of the member "Data" of the archive at Path; nothing when Path names
    // no file or the reading was given up. An archive that cannot be opened raises.
    std::unique_ptr<TbrmPwList> Read(const std::string& path);

    // The password confirmed at the last prompt; nothing when none was asked.
    const std::optional<std::string>& Password() const { return FPassword; }
    bool GivenUp() const { return FGivenUp; }
    // The extraction failures this reading has met.
    int PasswordTries() const { return FPasswordTries; }

private:
    void ZipProcessItemFailure(TArchiveReader& reader, TMemoryStream& buffer);

    std::function<void()> FGiveUp;
    std::optional<std::string> FPassword;
    int FPasswordTries = 0;
    bool FGivenUp = false;
};
