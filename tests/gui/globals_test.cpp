#include "services/globals.h"

#include "TemporaryFolder.h"
#include "settings/ApplicationTitle.h"
#include "services/UtilFuncs.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class ConfigurationReading : public testing::Test {
protected:
    void SetUp() override { OverrideProgramFolder(folder.Path()); }

    TemporaryFolder folder;
};

TEST_F(ConfigurationReading, StoredNulEndsTheText)
{
    // A plain 0xFF is stored as NUL, so nothing after it is read.
    folder.Write("vezozivi.dll", InvertedConfig({ "[SYSTEM]", "Name=Demo" }) + InvertLine("Version=\xFF" "1\r\nName=After"));
    const TConfigFile config = ReadConfigFile();
    EXPECT_EQ(config.Value("SYSTEM", "Name"), "Demo");
    EXPECT_EQ(config.Value("SYSTEM", "Version"), "");
}

TEST_F(ConfigurationReading, AnyBytesParse)
{
    std::mt19937 generator(3);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(static_cast<std::size_t>(byte(generator)) * 40, '\0');
        for (char& b : bytes)
            b = static_cast<char>(byte(generator));
        folder.Write("vezozivi.dll", InvertedConfig({ "[SYSTEM]" }) + bytes);
        EXPECT_NO_THROW(ReadConfigFile().Value("SYSTEM", "Name"));
    }
}

TEST_F(ConfigurationReading, LoadGlobalVarsRaisesWhenTheFileIsGone)
{
    EXPECT_THROW(LoadGlobalVars(), std::exception);
}

TEST(ApplicationTitle, ReadsBackAtMost255Characters)
{
    SetApplicationTitle(std::string(300, 'x'));
    EXPECT_EQ(ApplicationTitle(), std::string(255, 'x'));
    std::string accented;
    for (int i = 0; i < 300; ++i)
        accented += "\xC3\xA9";
    SetApplicationTitle(accented);
    EXPECT_EQ(ApplicationTitle(), accented.substr(0, 510));
    SetApplicationTitle("SiteVault");
    EXPECT_EQ(ApplicationTitle(), "SiteVault");
}

} // namespace
