#include "model/PasswordGenerator.h"

#include "model/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

const std::string Letters = "abcdefghijklmnopqrstuvwxyz";
const std::string Consonants = "bcdfghjklmnpqrstvwxz";
const std::string Vowels = "aeiouy";
const std::string Digits = "0123456789";

// The deterministic source worked out here on its own: S := S * 134775813 + 1, and a
// draw below N is the upper half of S * N.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state(seed) {}

    std::uint32_t Draw(std::uint32_t n)
    {
        state = state * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state) * n) >> 32);
    }
    char Pick(const std::string& chars) { return chars[Draw(static_cast<std::uint32_t>(chars.size()))]; }
    char PickUpper(const std::string& chars) { return static_cast<char>(Pick(chars) - 'a' + 'A'); }
    // "$" with an empty set draws once for nothing, then an uppercase letter.
    char PickSpecial(const std::string& specialChars)
    {
        if (!specialChars.empty())
            return Pick(specialChars);
        Draw(0);
        return PickUpper(Letters);
    }
    std::uint32_t state;
};

class PasswordGenerator : public testing::Test {
protected:
    static constexpr std::uint32_t Seed = 20240611u;

    void SetUp() override
    {
        SelectRandomSource(RandomSource::Deterministic);
        SetRandomState(Seed);
    }
    void TearDown() override { SelectRandomSource(RandomSource::System); }

    static TGeneratorSettings Classes(bool upper, bool lower, bool numbers, bool special, int length,
        std::string specialChars = "")
    {
        TGeneratorSettings settings;
        settings.upperCase = upper;
        settings.lowerCase = lower;
        settings.numbers = numbers;
        settings.special = special;
        settings.length = length;
        settings.specialChars = std::move(specialChars);
        return settings;
    }

    static TGeneratorSettings Template(std::string templateText, std::string specialChars = "")
    {
        TGeneratorSettings settings = Classes(false, true, false, false, 20);
        settings.useTemplate = true;
        settings.templateText = std::move(templateText);
        settings.specialChars = std::move(specialChars);
        return settings;
    }
};

TEST_F(PasswordGenerator, PickDrawsOnceFromTheSetAndTwiceWhenItIsEmpty)
{
    for (const std::string& chars : { std::string("x"), Digits, std::string("##!"), Letters }) {
        SetRandomState(Seed);
        Lcg lcg(Seed);
        EXPECT_EQ(PickRandomChar(chars), std::string(1, lcg.Pick(chars))) << chars;
        EXPECT_EQ(RandomState(), lcg.state) << chars;
    }
    SetRandomState(Seed);
    Lcg lcg(Seed);
    EXPECT_EQ(PickRandomChar(""), std::string(1, lcg.PickSpecial("")));
    EXPECT_EQ(RandomState(), lcg.state) << "two draws";

    SetRandomState(0);
    EXPECT_EQ(PickRandomChar(Digits), "0") << "S = 0 becomes 1, whose draw below 10 is 0";
    EXPECT_EQ(RandomState(), 1u);
}

TEST_F(PasswordGenerator, TemplateLettersInOrderOtherCharactersSkipped)
{
    Lcg lcg(Seed);
    std::string expected;
    expected += lcg.PickUpper(Consonants);
    expected += lcg.Pick(Vowels);
    expected += lcg.Pick(Consonants);
    expected += lcg.Pick(Vowels);
    expected += lcg.Pick(Digits);
    expected += lcg.Pick(Digits);
    expected += lcg.Pick("#");
    const std::string password = GeneratePassword(Template("Cvc-v99$", "#"));
    EXPECT_EQ(password, expected);
    EXPECT_EQ(password.size(), 7u);
    EXPECT_EQ(password.back(), '#');
    EXPECT_EQ(RandomState(), lcg.state) << "the hyphen draws nothing";

    lcg = Lcg(RandomState());
    expected = { lcg.PickUpper(Letters), lcg.Pick(Letters), lcg.PickUpper(Vowels), lcg.PickSpecial("") };
    EXPECT_EQ(ExpandTemplate("A a\tV?xZ$", ""), expected) << "an empty special set gives an uppercase letter";
    EXPECT_EQ(RandomState(), lcg.state);
}

TEST_F(PasswordGenerator, ClassesAreAllDrawnFirstThenTheCharacters)
{
    struct Case {
        TGeneratorSettings settings;
        std::string classes;
    };
    const Case cases[] = {
        { Classes(true, true, true, true, 12, "!?"), "Aa9$" },
        { Classes(false, false, false, false, 12, "!?"), "Aa9$" },
        { Classes(true, false, true, false, 5), "A9" },
        { Classes(false, true, false, true, 7), "a$" },
        { Classes(false, false, true, false, 9), "9" },
    };
    for (const Case& c : cases) {
        SetRandomState(Seed);
        Lcg lcg(Seed);
        std::string drawnClasses;
        for (int i = 0; i < c.settings.length; ++i)
            drawnClasses += lcg.Pick(c.classes);
        std::string expected;
        for (const char letter : drawnClasses) {
            expected += letter == 'A' ? lcg.PickUpper(Letters)
                : letter == 'a'       ? lcg.Pick(Letters)
                : letter == '9'       ? lcg.Pick(Digits)
                                      : lcg.PickSpecial(c.settings.specialChars);
        }
        EXPECT_EQ(GeneratePassword(c.settings), expected) << c.classes;
        EXPECT_EQ(RandomState(), lcg.state) << c.classes;
    }
}

TEST_F(PasswordGenerator, WhatEachSettingLeadsTo)
{
    const auto all = [](const std::string& text, auto predicate) {
        return std::all_of(text.begin(), text.end(), predicate);
    };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isUpper = [](char c) { return c >= 'A' && c <= 'Z'; };

    const std::string digits = GenerateFromClasses(Classes(false, false, true, false, 9));
    EXPECT_EQ(digits.size(), 9u);
    EXPECT_TRUE(all(digits, isDigit)) << digits;

    const std::string specialWithoutChars = GeneratePassword(Classes(false, false, false, true, 32));
    EXPECT_EQ(specialWithoutChars.size(), 32u);
    EXPECT_TRUE(all(specialWithoutChars, isUpper)) << specialWithoutChars;

    const std::string fromSpecial = ExpandTemplate("$$$$$$$$", "ab");
    EXPECT_EQ(fromSpecial.size(), 8u);
    EXPECT_TRUE(all(fromSpecial, [](char c) { return c == 'a' || c == 'b'; })) << "special characters stay as typed";
}

TEST_F(PasswordGenerator, EmptyResultsDrawNothing)
{
    const TGeneratorSettings empties[] = {
        Template(""), Template("-_ xyz!"), Classes(true, true, true, true, 0), Classes(true, true, true, true, -3),
    };
    for (const TGeneratorSettings& settings : empties) {
        EXPECT_EQ(GeneratePassword(settings), "");
        EXPECT_EQ(RandomState(), Seed);
    }
}

TEST_F(PasswordGenerator, TemplateModeIgnoresLengthAndClasses)
{
    TGeneratorSettings settings = Template("9999", "#");
    const std::string first = GeneratePassword(settings);
    settings.length = 30;
    settings.numbers = false;
    settings.special = true;
    SetRandomState(Seed);
    EXPECT_EQ(GeneratePassword(settings), first);
    EXPECT_EQ(first.size(), 4u);
}

TEST_F(PasswordGenerator, RepeatedSpecialCharactersWeighTheirPicks)
{
    std::map<std::string, int> counts;
    for (int i = 0; i < 3000; ++i)
        ++counts[PickRandomChar("#!#")];
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_NEAR(static_cast<double>(counts["#"]) / counts["!"], 2.0, 0.2);
}

TEST_F(PasswordGenerator, MultiByteCharactersArePickedWhole)
{
    const std::string euro = "\xE2\x82\xAC";
    const std::string eAcute = "\xC3\xA9";
    const std::vector<std::string> set = { eAcute, "#", euro };
    Lcg lcg(Seed);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(PickRandomChar(eAcute + "#" + euro), set[lcg.Draw(3)]);

    // Bytes that do not form a sequence count one by one.
    lcg = Lcg(RandomState());
    const std::string loose = "\xE9#\x82";
    EXPECT_EQ(PickRandomChar(loose), std::string(1, lcg.Pick(loose)));
    EXPECT_EQ(RandomState(), lcg.state);
}

} // namespace
