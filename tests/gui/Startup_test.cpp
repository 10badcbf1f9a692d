#include "shell/Startup.h"

#include "ModalDriver.h"
#include "TemporaryFolder.h"
#include "settings/ApplicationTitle.h"
#include "services/UtilFuncs.h"
#include "shell/fmMain.h"
#include "services/globals.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <filesystem>
#include <optional>
#include <gtest/gtest.h>

namespace {

const std::string BuiltIcon = std::string(SITEVAULT_BIN_DIR) + "/icon.ico";

TfrmMain* ShownMainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TfrmMain*>(widget); window != nullptr && window->isVisible())
            return window;
    return nullptr;
}

class Startup : public testing::Test {
protected:
    void SetUp() override
    {
        OverrideProgramFolder(folder.Path());
        std::filesystem::copy_file(BuiltIcon, folder.File("icon.ico"));
        folder.Write("vezozivi.dll", InvertedConfig({ "[SYSTEM]", "Name=Demo", "Version=1.0", "HelpHomePageLink=h" }));
    }

    struct Outcome {
        int exitCode = -1;
        QString boxTitle;
        QString boxText;
        QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
        bool mainWindowExisted = false;
    };

    // Runs the program; its start-up error box is read and confirmed.
    Outcome RunExpectingError()
    {
        Outcome outcome;
        WhenModalShown([&outcome](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            outcome.boxTitle = box->windowTitle();
            outcome.boxText = box->text();
            outcome.boxIcon = box->icon();
            for (QWidget* widget : QApplication::topLevelWidgets())
                outcome.mainWindowExisted |= qobject_cast<TfrmMain*>(widget) != nullptr;
            box->button(QMessageBox::Ok)->click();
        });
        outcome.exitCode = RunProgram();
        return outcome;
    }

    TemporaryFolder folder;
};

TEST_F(Startup, ShowsTheMainWindowWithTheConfiguredTitle)
{
    QString caption;
    TGlobalVars loaded;
    WhenWidgetShown(ShownMainWindow, [&](QWidget* window) {
        caption = window->windowTitle();
        loaded = GlobalVars;
        window->close();
    });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(caption, "Demo");
    EXPECT_EQ(ApplicationTitle(), "Demo");
    EXPECT_EQ(loaded.Version, "1.0");
    EXPECT_EQ(loaded.HelpHomePageLink, "h");
    EXPECT_EQ(loaded.Copyright, "");
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(GlobalVars.Version, "") << "released when the program ends";
}

TEST_F(Startup, LineEndsOfAnyKindGiveTheSameConfiguration)
{
    folder.Write("vezozivi.dll", InvertedConfig({ "[SYSTEM]", "Name=Demo" }, "\n") + InvertLine("Version=2"));
    QString caption;
    std::string version;
    WhenWidgetShown(ShownMainWindow, [&](QWidget* window) {
        caption = window->windowTitle();
        version = GlobalVars.Version;
        window->close();
    });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(caption, "Demo");
    EXPECT_EQ(version, "2");
}

TEST_F(Startup, PlainConfigurationGivesAnEmptyTitle)
{
    folder.Write("vezozivi.dll", "[SYSTEM]\r\nName=Demo\r\n");
    QString caption = "unset";
    WhenWidgetShown(ShownMainWindow, [&](QWidget* window) {
        caption = window->windowTitle();
        window->close();
    });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(caption, "");
}

TEST_F(Startup, MissingConfigurationEndsWithTheApplicationErrorBox)
{
    std::filesystem::remove(folder.File("vezozivi.dll"));
    const Outcome outcome = RunExpectingError();
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_FALSE(outcome.mainWindowExisted);
    EXPECT_EQ(outcome.boxTitle, "Application Error");
    EXPECT_EQ(outcome.boxIcon, QMessageBox::Critical);
    const QString expected = QString::fromStdString(
        "Cannot open file \"" + folder.File("vezozivi.dll") + "\". No such file or directory.");
    EXPECT_TRUE(outcome.boxText.startsWith("Exception AppError in module ")) << outcome.boxText.toStdString();
    EXPECT_TRUE(outcome.boxText.endsWith("\n" + expected)) << outcome.boxText.toStdString();
}

TEST_F(Startup, UnreadableConfigurationGivesTheSystemReason)
{
    std::filesystem::remove(folder.File("vezozivi.dll"));
    std::filesystem::create_directory(folder.File("vezozivi.dll"));
    const Outcome outcome = RunExpectingError();
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.boxText.endsWith(QString::fromStdString(
        "Cannot open file \"" + folder.File("vezozivi.dll") + "\". Is a directory.")))
        << outcome.boxText.toStdString();
}

TEST_F(Startup, IconFailuresEndStartup)
{
    struct Case {
        std::optional<std::string> content; // none: no icon file
        std::string message;
    };
    const Case cases[] = {
        { std::nullopt, "Cannot open file \"" + folder.File("icon.ico") + "\". No such file or directory." },
        { "not an icon at all", "Icon image is not valid." },
        { std::string("\0\0\1\0\1\0garbage", 13), "Icon image is not valid." },
        { "", "Icon image is not valid." },
    };
    for (const Case& c : cases) {
        std::filesystem::remove(folder.File("icon.ico"));
        if (c.content)
            folder.Write("icon.ico", *c.content);
        const Outcome outcome = RunExpectingError();
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_FALSE(outcome.mainWindowExisted);
        EXPECT_EQ(outcome.boxTitle, "Application Error");
        EXPECT_TRUE(outcome.boxText.endsWith("\n" + QString::fromStdString(c.message))) << outcome.boxText.toStdString();
    }
}

} // namespace
