#include "dialogs/brmMsgDlg.h"

#include "ModalDriver.h"
#include "TemporaryFolder.h"
#include "platform/AppError.h"
#include "services/UtilFuncs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct SeenBox {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Reads the next message box, then ends it with End.
void WhenBoxShown(SeenBox& seen, std::function<void(QMessageBox&)> end)
{
    WhenModalShown([&seen, end = std::move(end)](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        seen.defaultButton = box->defaultButton() != nullptr ? box->defaultButton()->text() : QString();
        end(*box);
    });
}

void Press(QMessageBox& box, Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &box, key);
}

TEST(MessageService, OnlyTheAccessorConstructsIt)
{
    try {
        TbrmMsgDlg direct;
        ADD_FAILURE() << "constructed directly";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "use MsgDlg accessor function");
    }
    EXPECT_EQ(&MsgDlg(), &MsgDlg());
}

TEST(MessageService, QuestionsAnswerYesOnEnterNoOnEscapeAndNeitherOnClose)
{
    SeenBox seen;
    WhenBoxShown(seen, [](QMessageBox& box) { Press(box, Qt::Key_Return); });
    EXPECT_TRUE(MsgDlg().QueryYes("The current archive has been modified.  Save changes?"));
    EXPECT_EQ(seen.caption, "Confirm");
    EXPECT_EQ(seen.text, "The current archive has been modified.  Save changes?");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, (QStringList { "&Yes", "&No" }));
    EXPECT_EQ(seen.defaultButton, "&Yes");

    WhenBoxShown(seen, [](QMessageBox& box) { Press(box, Qt::Key_Escape); });
    EXPECT_TRUE(MsgDlg().QueryNo("Delete selected site?"));
    WhenBoxShown(seen, [](QMessageBox& box) { Press(box, Qt::Key_Return); });
    EXPECT_FALSE(MsgDlg().QueryNo("Delete selected site?"));
    for (const bool askingYes : { true, false }) {
        WhenBoxShown(seen, [](QMessageBox& box) { box.close(); });
        EXPECT_FALSE(askingYes ? MsgDlg().QueryYes("q") : MsgDlg().QueryNo("q")) << "a closed box is no answer";
    }
}

TEST(MessageService, ErrorsAndWarningsEndHoweverTheBoxIsClosed)
{
    const std::function<void(QMessageBox&)> endings[] = {
        [](QMessageBox& box) { box.buttons().front()->click(); },
        [](QMessageBox& box) { Press(box, Qt::Key_Return); },
        [](QMessageBox& box) { Press(box, Qt::Key_Escape); },
        [](QMessageBox& box) { box.close(); },
    };
    for (const auto& end : endings) {
        SeenBox error;
        WhenBoxShown(error, end);
        MsgDlg().ShowError("Site name / Description must be filled");
        EXPECT_EQ(error.caption, "Error");
        EXPECT_EQ(error.icon, QMessageBox::Critical);
        EXPECT_EQ(error.buttons, QStringList { "OK" });
        SeenBox warning;
        WhenBoxShown(warning, end);
        MsgDlg().ShowWarning("Please a password");
        EXPECT_EQ(warning.caption, "Warning");
        EXPECT_EQ(warning.icon, QMessageBox::Warning);
        EXPECT_EQ(warning.text, "Please a password");
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MessageService, ScriptedAnswersStandInForTheBoxes)
{
    TScriptedDialogs script;
    script.answers = { AnswerYes, AnswerClosed, AnswerNo, AnswerOk };
    script.fileNames = { "/archives/a.zip", "" };
    ScriptDialogs(&script);
    EXPECT_TRUE(MsgDlg().QueryYes("one"));
    EXPECT_FALSE(MsgDlg().QueryNo("two"));
    EXPECT_TRUE(MsgDlg().QueryNo("three"));
    MsgDlg().ShowWarning("four");
    std::string name = "before";
    MsgDlg().PromptOpenFile("Open it", "Files (*.zip)|*.zip", "", name);
    EXPECT_EQ(name, "/archives/a.zip");
    MsgDlg().PromptSaveFile("Save it", "Files (*.zip)|*.zip", "zip", true, "", name);
    EXPECT_EQ(name, "");
    EXPECT_THROW(MsgDlg().ShowError("five"), AppError) << "an unscripted box is a fault of the test";
    ScriptDialogs(nullptr);
    EXPECT_EQ(script.shown, (std::vector<std::string> { "Confirm: one", "Confirm: two", "Confirm: three",
                                "Warning: four", "Open it: chooser", "Save it: chooser", "Error: five" }));
}

// The real choosers, in the program's folder.
class FileChoosers : public testing::Test {
protected:
    void SetUp() override
    {
        OverrideProgramFolder(program.Path());
        program.Write("existing.zip", "x");
    }

    // Types Name into the next chooser and confirms it; Seen gets its title,
    // folder and filters.
    void WhenChooserShown(const QString& name, QStringList& seen)
    {
        WhenModalShown([name, &seen](QWidget* modal) {
            auto* chooser = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(chooser, nullptr);
            seen = QStringList { chooser->windowTitle(), chooser->directory().absolutePath() } + chooser->nameFilters();
            if (name.isEmpty()) {
                chooser->reject();
                return;
            }
            chooser->findChild<QLineEdit*>("fileNameEdit")->setText(name);
            QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
        });
    }

    TemporaryFolder program;
};

TEST_F(FileChoosers, OpenTakesAnExistingFileFromTheProgramsFolder)
{
    QStringList seen;
    std::string name = "stale";
    WhenChooserShown("existing.zip", seen);
    MsgDlg().PromptOpenFile("Open SiteVault file", "SiteVault files (*.zip)|*.zip", "", name);
    EXPECT_EQ(name, program.File("existing.zip"));
    EXPECT_EQ(seen, (QStringList { "Open SiteVault file", QString::fromStdString(program.Path()), "SiteVault files (*.zip)" }));

    bool stayedOpen = false;
    WhenModalShown([&stayedOpen](QWidget* modal) {
        auto* chooser = static_cast<QFileDialog*>(modal);
        chooser->findChild<QLineEdit*>("fileNameEdit")->setText("missing.zip");
        // The chooser says so in a box of its own.
        WhenWidgetShown([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
            [](QWidget* box) { box->close(); });
        QMetaObject::invokeMethod(chooser, "accept");
        stayedOpen = chooser->isVisible();
        chooser->reject();
    });
    MsgDlg().PromptOpenFile("Open SiteVault file", "SiteVault files (*.zip)|*.zip", "", name);
    EXPECT_TRUE(stayedOpen) << "a file that does not exist is not taken";
    EXPECT_EQ(name, "");

    WhenChooserShown("", seen);
    name = "stale";
    MsgDlg().PromptOpenFile("Open SiteVault file", "SiteVault files (*.zip)|*.zip", "/tmp", name);
    EXPECT_EQ(name, "") << "cancelled";
    EXPECT_EQ(seen[1], "/tmp");
}

TEST_F(FileChoosers, TheImportChooserTakesANameThatNeedNotExistWithItsExtension)
{
    QStringList seen;
    std::string name;
    WhenChooserShown("elsewhere", seen);
    MsgDlg().PromptOpenAnyFile("Select SiteVault file to import from", "SiteVault files (*.zip)|*.zip", "zip",
        program.Path() + "/", name);
    EXPECT_EQ(name, program.File("elsewhere.zip"));
    EXPECT_EQ(seen, (QStringList { "Select SiteVault file to import from", QString::fromStdString(program.Path()),
                        "SiteVault files (*.zip)" }));
}

TEST_F(FileChoosers, SaveAddsTheExtensionAndAsksBeforeReplacing)
{
    QStringList seen;
    std::string name;
    WhenChooserShown("new", seen);
    MsgDlg().PromptSaveFile("Save SiteVault file as...", "Archives|*.zip;*.jar", "zip", true, "", name);
    EXPECT_EQ(name, program.File("new.zip"));
    EXPECT_EQ(seen.mid(2), QStringList { "Archives (*.zip *.jar)" });

    bool asked = false;
    WhenChooserShown("existing.zip", seen);
    WhenWidgetShown([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
        [&asked](QWidget* question) {
            asked = true;
            static_cast<QMessageBox*>(question)->button(QMessageBox::Yes)->click();
        });
    MsgDlg().PromptSaveFile("Save SiteVault file as...", "SiteVault files (*.zip)|*.zip", "zip", true, "", name);
    EXPECT_TRUE(asked);
    EXPECT_EQ(name, program.File("existing.zip"));
}

} // namespace
