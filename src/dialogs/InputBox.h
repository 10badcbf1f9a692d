#pragma once

#include <string>

// Asks for one line of text in a small modal box with OK and Cancel. True on OK,
// with Value the text as typed (untrimmed, possibly empty); on Cancel Value is kept.
bool InputBox(const std::string& caption, const std::string& prompt, int maxLength, std::string& value);
