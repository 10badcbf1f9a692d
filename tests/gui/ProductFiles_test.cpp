#include "shell/ApplicationIcon.h"
#include "services/UtilFuncs.h"
#include "services/globals.h"

#include <QFileInfo>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// The configuration file and the icon that the build puts beside the program.
class ProductFiles : public testing::Test {
protected:
    void SetUp() override { OverrideProgramFolder(SITEVAULT_BIN_DIR); }
};

TEST_F(ProductFiles, ConfigurationNamesTheProductAndLinksToTheGuide)
{
    EXPECT_EQ(ReadConfigFile().Value("SYSTEM", "Name"), "SiteVault");
    LoadGlobalVars();
    EXPECT_FALSE(GlobalVars.Version.empty());
    EXPECT_FALSE(GlobalVars.Copyright.empty());

    const QUrl help(QString::fromStdString(GlobalVars.HelpHowTosTutorialVideosLink));
    const QUrl home(QString::fromStdString(GlobalVars.HelpHomePageLink));
    ASSERT_TRUE(help.isLocalFile()) << GlobalVars.HelpHowTosTutorialVideosLink;
    ASSERT_TRUE(home.isLocalFile()) << GlobalVars.HelpHomePageLink;
    EXPECT_EQ(help.fragment(), "how-tos");
    EXPECT_TRUE(QFileInfo(home.toLocalFile()).isFile()) << home.toLocalFile().toStdString();
    EXPECT_EQ(help.toLocalFile(), home.toLocalFile());
    GlobalVars = TGlobalVars();
}

TEST_F(ProductFiles, IconHoldsTheUsualSizes)
{
    const QIcon icon = LoadApplicationIcon(AddBackslash(ProgramFolder()) + "icon.ico");
    const QList<QSize> sizes = icon.availableSizes();
    for (int extent : { 16, 32, 48 })
        EXPECT_TRUE(sizes.contains(QSize(extent, extent))) << extent;
}

} // namespace
