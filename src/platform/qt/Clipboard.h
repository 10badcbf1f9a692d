#pragma once

#include <QString>

// Puts a password on the clipboard as plain text, marked as secret so that
// clipboard history tools do not keep it.
void CopySecretText(const QString& text);
