#pragma once

#include <string>

// The text of Path from its last "." on, upper-cased; it chooses the container.
std::string UpperExtension(const std::string& path);
