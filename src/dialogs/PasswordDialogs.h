#pragma once

#include <memory>
#include <string>

// Modal results.
constexpr int ModalOk = 1;
constexpr int ModalCancel = 2;

// Shows a new password dialog modally; only OK hands its password to the caller.
// Escape and the close box end the dialog as Cancel does.
template <typename Dialog>
int ExecPasswordDialog(std::string& password)
{
    const auto dialog = std::make_unique<Dialog>();
    const int result = dialog->exec() == ModalOk ? ModalOk : ModalCancel;
    if (result == ModalOk)
        password = dialog->Password();
    return result;
}
