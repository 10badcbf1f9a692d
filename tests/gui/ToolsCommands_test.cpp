#include "CommandFixture.h"
#include "EnvironmentVariable.h"
#include "ModalDriver.h"
#include "TemporaryFolder.h"
#include "platform/qt/DesktopShell.h"
#include "services/globals.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

std::string FileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Types the name into the shortcut's input box and presses OK, or Cancel without a name.
void AnswerShortcutName(std::optional<std::string> name, QString* caption = nullptr)
{
    WhenModalShown([name, caption](QWidget* box) {
        if (caption != nullptr)
            *caption = box->windowTitle();
        auto* edit = box->findChild<QLineEdit*>();
        EXPECT_EQ(edit->maxLength(), 255);
        if (!name) {
            box->close();
            return;
        }
        edit->setText(QString::fromStdString(*name));
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

class ToolsCommands : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        previousOpener = ReplaceDesktopOpener([this](const std::string& link) { opened.push_back(link); });
    }
    void TearDown() override
    {
        ReplaceDesktopOpener(previousOpener);
        GlobalVars = TGlobalVars();
        CommandFixture::TearDown();
    }

    TDesktopOpener previousOpener;
    std::vector<std::string> opened;
};

TEST_F(ToolsCommands, AShortcutNamedByTheUserStartsTheProgramWithTheArchive)
{
    const TemporaryFolder home;
    const TEnvironmentVariable homeVariable("HOME", home.Path());
    const TEnvironmentVariable configVariable("XDG_CONFIG_HOME", home.File("config"));
    std::filesystem::create_directory(home.File("Desktop"));
    window->SetArchivePath("/home/joe/my vault.zip");

    QString caption;
    AnswerShortcutName("Vault", &caption);
    Click("btnCreate");
    EXPECT_EQ(caption, "Enter a name for the shortcut");
    const std::string launcher = FileText(home.File("Desktop/Vault.desktop"));
    EXPECT_NE(launcher.find("Name=Vault\n"), std::string::npos) << launcher;
    EXPECT_NE(launcher.find("\"/home/joe/my vault.zip\""), std::string::npos) << launcher;

    AnswerShortcutName(std::nullopt);
    Click("btnCreate");
    AnswerShortcutName("no/such/folder");
    Click("btnCreate");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.File("Desktop")), {}), 1)
        << "a cancel or a name that is no file name creates nothing";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "and shows nothing";
}

TEST_F(ToolsCommands, HelpAndHomepageOpenTheirLinksAndAnEmptyLinkNothing)
{
    program.Write("vezozivi.dll",
        InvertedConfig({ "[SYSTEM]", "Name=Demo", "Version=2.5", "HelpHomePageLink=https://home.example/" }));
    LoadGlobalVars();
    Click("btnHelp");
    Click("btnHomepage");
    EXPECT_EQ(opened, (std::vector<std::string> { "https://home.example/" }));
}

TEST_F(ToolsCommands, AboutShowsTheProductOverTheMainWindow)
{
    program.Write("vezozivi.dll", InvertedConfig({ "[SYSTEM]", "Name=Demo", "Version=2.5" }));
    LoadGlobalVars();
    QString caption;
    bool versionShown = false;
    WhenModalShown([&](QWidget* about) {
        caption = about->windowTitle();
        for (const QLabel* label : about->findChildren<QLabel*>())
            versionShown = versionShown || label->text() == "Version 2.5";
        about->findChild<QPushButton*>()->click();
    });
    Click("btnAbout");
    EXPECT_EQ(caption, "About Demo");
    EXPECT_TRUE(versionShown);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
