#pragma once

#include <QString>

#include <string>

// The one crossing between core text (bytes in the platform's ANSI code page)
// and Qt's text.
QString ToQString(const std::string& text);
std::string FromQString(const QString& text);
