#include "platform/AtomicFile.h"

namespace {

std::optional<bool> fixedAnswer;

} // namespace

bool DriveIsRemovable(const std::string& path);

bool IsOnRemovableDrive(const std::string& path)
{
    return fixedAnswer ? *fixedAnswer : DriveIsRemovable(path);
}

void FixRemovableDrive(std::optional<bool> removable)
{
    fixedAnswer = removable;
}
