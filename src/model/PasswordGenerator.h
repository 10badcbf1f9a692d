#pragma once

#include <string>

// The generator's choices, as the generator dialog holds them; the defaults are the
// ones of its first use.
struct TGeneratorSettings {
    bool upperCase = true;
    bool lowerCase = true;
    bool numbers = true;
    bool special = true;
    std::string specialChars; // "$" picks from these, each occurrence counted
    bool useTemplate = false;
    std::string templateText;
    int length = 9;
};

// The template expansion when UseTemplate is set, else a password from the ticked
// classes.
std::string GeneratePassword(const TGeneratorSettings& settings);

// Length positions (none when Length is 0 or less): every class is drawn first, one
// per position from the ticked ones in the order A a 9 $ (all four when none is
// ticked), then the characters of that random template.
std::string GenerateFromClasses(const TGeneratorSettings& settings);

// One character for each template letter A a C c V v 9 $, in order; other characters
// are skipped.
std::string ExpandTemplate(const std::string& templateText, const std::string& specialChars);

// One character of Chars, drawn once even when Chars is empty; then a random uppercase
// letter stands in (a second draw). A UTF-8 sequence counts as one character, so a
// pick never splits one.
std::string PickRandomChar(const std::string& chars);
