#pragma once

#include <QIcon>

#include <string>

// Loads an icon file with all its sizes. Raises "Cannot open file ..." when the file
// cannot be read and "Icon image is not valid" when it holds no icon.
QIcon LoadApplicationIcon(const std::string& path);
