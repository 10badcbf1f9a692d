#include "shell/fmMain.h"

#include "ModalDriver.h"
#include "TemporaryFolder.h"
#include "platform/qt/WindowGeometry.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"
#include "shell/CommandLine.h"
#include "services/UtilFuncs.h"
#include "services/brmFormRtn.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>

namespace {

// The designed bounds, pulled into the screen where it is too small for them.
QRect DesignedBounds()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QRect bounds(251, 147, 589, 518);
    bounds.moveRight(std::min(bounds.right(), area.right()));
    bounds.moveBottom(std::min(bounds.bottom(), area.bottom()));
    return bounds;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The main window made and destroyed as the program does, its settings kept in a
// folder of the test's own.
class MainWindowSettings : public testing::Test {
protected:
    void SetUp() override
    {
        OverrideProgramFolder(program.Path());
        program.Write("vezozivi.dll", InvertedConfig({ "[SYSTEM]", "Name=Demo" }));
        SetApplicationTitle("Demo");
        PointStateStoreAt(settings.Path());
    }
    void TearDown() override
    {
        TbrmState::Release();
        TbrmFormRtns::Release();
        SetCommandLineArguments({});
        PointStateStoreAt(std::nullopt);
    }

    // A run of the program: the window is made, shown, handed to Use, and destroyed.
    template <typename Use>
    void Run(const std::vector<std::string>& arguments, Use&& use)
    {
        SetCommandLineArguments(arguments);
        auto window = std::make_unique<TfrmMain>();
        window->show();
        QApplication::processEvents();
        use(*window);
        window.reset();
        TbrmState::Release();
        TbrmFormRtns::Release();
    }

    TemporaryFolder program;
    TemporaryFolder settings;
};

TEST_F(MainWindowSettings, UseIniKeepsPlacementAndReopenListInTheIniFile)
{
    Run({ "archive.zip", "/USEINI" }, [](TfrmMain& window) {
        EXPECT_EQ(OuterGeometry(window), DesignedBounds()) << "the designed bounds at the first run";
        MoveOuter(window, QPoint(40, 30));
        ResizeOuter(window, QSize(500, 400));
        window.AddReopenEntry("/archives/one.zip");
        window.AddReopenEntry("/archives/two.zip");
    });
    const std::string ini = ReadFile(StateIniFileName());
    EXPECT_NE(ini.find("[Demo]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("TfrmMain=0 30 40 400 500"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Reopen0=/archives/two.zip"), std::string::npos) << ini;
    EXPECT_FALSE(std::filesystem::exists(settings.File("user-registry.reg")));

    Run({ "-useini" }, [](TfrmMain& window) {
        EXPECT_EQ(OuterGeometry(window), QRect(40, 30, 500, 400));
        EXPECT_EQ(window.ReopenList(), (TReopenList { "/archives/two.zip", "/archives/one.zip" }));
    });
    Run({}, [](TfrmMain& window) {
        EXPECT_EQ(OuterGeometry(window), DesignedBounds()) << "the registry form knows nothing yet";
        EXPECT_TRUE(window.ReopenList().empty());
    });
}

TEST_F(MainWindowSettings, WithoutTheSwitchTheRegistryFormKeepsThem)
{
    Run({ "useini", "--useini" }, [](TfrmMain& window) {
        MoveOuter(window, QPoint(60, 70));
        window.showMaximized();
        QApplication::processEvents();
    });
    const std::string registry = ReadFile(settings.File("user-registry.reg"));
    EXPECT_NE(registry.find("[HKEY_CURRENT_USER\\Software\\Demo]"), std::string::npos) << registry;
    EXPECT_NE(registry.find("\"TfrmMain\"=\"2\""), std::string::npos) << registry;
    EXPECT_FALSE(std::filesystem::exists(StateIniFileName()));

    Run({}, [](TfrmMain& window) { EXPECT_TRUE(window.isMaximized()); });
}

TEST_F(MainWindowSettings, ALoadFailureIsShownAndSkipsTheRestOfTheCreation)
{
    Run({}, [](TfrmMain& window) { MoveOuter(window, QPoint(60, 70)); });
    std::string registry = ReadFile(settings.File("user-registry.reg"));
    registry += "\"Count\"=dword:00000001\n";
    settings.Write("user-registry.reg", registry);

    QString shown;
    AcknowledgeMessage(shown);
    Run({}, [](TfrmMain& window) {
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(OuterGeometry(window), QRect(251, 147, 589, 518)) << "neither placed nor fitted after the failure";
    });
    EXPECT_EQ(shown, "Invalid data type for 'Count'");
}

} // namespace
