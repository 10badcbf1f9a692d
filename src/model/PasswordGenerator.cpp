#include "model/PasswordGenerator.h"

#include "model/Random.h"

#include <vector>

namespace {

const std::string Letters = "abcdefghijklmnopqrstuvwxyz";
const std::string Consonants = "bcdfghjklmnpqrstvwxz";
const std::string Vowels = "aeiouy";
const std::string Digits = "0123456789";
const std::string AllClasses = "Aa9$";

std::string UpperCased(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

bool IsContinuationByte(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence (a lead byte and its continuation bytes) at Start,
// 1 for any other byte.
std::size_t CharacterLength(const std::string& text, std::size_t start)
{
    const auto lead = static_cast<unsigned char>(text[start]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4
        : lead >= 0xE0                                      ? 3
        : lead >= 0xC2 && lead <= 0xDF                      ? 2
                                                            : 1;
    if (length == 1 || start + length > text.size())
        return 1;
    for (std::size_t i = start + 1; i < start + length; ++i) {
        if (!IsContinuationByte(static_cast<unsigned char>(text[i])))
            return 1;
    }
    return length;
}

std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> characters;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t length = CharacterLength(text, start);
        characters.push_back(text.substr(start, length));
        start += length;
    }
    return characters;
}

std::string ClassLetters(const TGeneratorSettings& settings)
{
    std::string letters;
    if (settings.upperCase)
        letters += 'A';
    if (settings.lowerCase)
        letters += 'a';
    if (settings.numbers)
        letters += '9';
    if (settings.special)
        letters += '$';
    return letters.empty() ? AllClasses : letters;
}

std::string ExpandLetter(char letter, const std::string& specialChars)
{
    switch (letter) {
    case 'A':
        return UpperCased(PickRandomChar(Letters));
    case 'a':
        return PickRandomChar(Letters);
    case 'C':
        return UpperCased(PickRandomChar(Consonants));
    case 'c':
        return PickRandomChar(Consonants);
    case 'V':
        return UpperCased(PickRandomChar(Vowels));
    case 'v':
        return PickRandomChar(Vowels);
    case '9':
        return PickRandomChar(Digits);
    case '$':
        return PickRandomChar(specialChars);
    default:
        return {};
    }
}

} // namespace

std::string GeneratePassword(const TGeneratorSettings& settings)
{
    if (settings.useTemplate)
        return ExpandTemplate(settings.templateText, settings.specialChars);
    return GenerateFromClasses(settings);
}

std::string GenerateFromClasses(const TGeneratorSettings& settings)
{
    const std::string classes = ClassLetters(settings);
    std::string randomTemplate;
    for (int position = 0; position < settings.length; ++position)
        randomTemplate += PickRandomChar(classes);
    return ExpandTemplate(randomTemplate, settings.specialChars);
}

std::string ExpandTemplate(const std::string& templateText, const std::string& specialChars)
{
    std::string password;
    for (const char letter : templateText)
        password += ExpandLetter(letter, specialChars);
    return password;
}

std::string PickRandomChar(const std::string& chars)
{
    const std::vector<std::string> characters = Characters(chars);
    const std::uint32_t index = RandomInt(static_cast<std::uint32_t>(characters.size()));
    if (characters.empty())
        return UpperCased(PickRandomChar(Letters));
    return characters[index];
}
