#include "CommandFixture.h"
#include "DocumentDriver.h"
#include "ModalDriver.h"
#include "SiteEditorDriver.h"
#include "shell/CommandLine.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include <filesystem>
#include <functional>

namespace {

class Document : public CommandFixture {
protected:
    void TearDown() override
    {
        SetCommandLineArguments({});
        CommandFixture::TearDown();
    }

    // Sites changed since the archive was opened.
    void PutSites(const std::string& text)
    {
        OpenSites(text);
        window->SetModified(true);
    }

    std::string StatusText() const
    {
        return window->findChild<QStatusBar*>("StatusBar")->currentMessage().toStdString();
    }

    int prompts = 0;
};

const std::string TwoSites = "Mail=joe\tpw\t\t\r\nBank=me\tsecret\thttps://bank.example\t\r\n";

TEST_F(Document, TypicalUseFromStartToSaveAndBack)
{
    EXPECT_EQ(window->ArchivePath(), "");
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(window->SiteItems().Count(), 0);

    AnswerPrompts({ "pw one" }, prompts);
    Click("btnnewAr");
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(window->ArchivePassword(), "pw one");

    AnswerSiteEditor(TSiteTyping { "Mail", "", "joe", "pw", "" });
    Click("btnAdd");
    AnswerSiteEditor(TSiteTyping { "Bank", "https://bank.example", "me", "secret", "" });
    Click("btnAdd");
    const std::string archive = program.File("sites.zip");
    script.fileNames = { archive };
    Click("btnSave");
    EXPECT_EQ(script.shown, (std::vector<std::string> { "Save Demo file as...: chooser" }));
    EXPECT_EQ(window->ArchivePath(), archive);
    EXPECT_EQ(StatusText(), archive);
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(ReadMember(archive, "pw one"), "Bank=me\tsecret\thttps://bank.example\t\r\nMail=joe\tpw\t\t\r\n");
    EXPECT_TRUE(window->ReopenList().empty()) << "only loading enters the Reopen list";

    script.fileNames = { archive };
    AnswerPrompts({ "pw one" }, prompts);
    Click("btnOpen");
    EXPECT_EQ(prompts, 2) << "an encrypted archive always asks for its password";
    EXPECT_EQ(window->SiteItems().Count(), 2);
    EXPECT_EQ(window->SiteItems().Record(0).SiteName(), "Bank");
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(window->ReopenList(), TReopenList { archive });
}

TEST_F(Document, WrongPasswordsOrACancelGiveUpTheReadQuietlyAndKeepThePassword)
{
    const std::string archive = program.File("locked.zip");
    AnswerPrompts({ "right" }, prompts);
    Click("btnnewAr");
    PutSites(TwoSites);
    script.fileNames = { archive };
    Click("btnSaveAs");

    struct Case {
        std::vector<std::string> answers;
        int prompts;
    };
    for (const Case& c : { Case { { "typo1", "typo2", "typo3" }, 3 }, Case { { "typo4", "" }, 2 }, Case { { "" }, 1 } }) {
        prompts = 0;
        script.fileNames = { archive };
        AnswerPrompts(c.answers, prompts);
        Click("btnOpen");
        EXPECT_EQ(prompts, c.prompts);
        EXPECT_EQ(window->ArchivePath(), "");
        EXPECT_EQ(StatusText(), "");
        EXPECT_EQ(window->SiteItems().Count(), 0) << "nothing of a failed extraction is loaded";
        EXPECT_EQ(window->ArchivePassword(), "right") << "a mistyped password never locks the next archive";
        EXPECT_TRUE(window->ReopenList().empty());
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no message for giving up";

    AnswerSiteEditor(TSiteTyping { "New", "", "", "", "" });
    Click("btnAdd");
    script.fileNames = { program.File("next.zip") };
    Click("btnSave");
    EXPECT_EQ(ReadMember(program.File("next.zip"), "right"), "New=\t\t\t\r\n");
}

TEST_F(Document, TheRightPasswordAfterATypoOpensTheArchiveAndBecomesTheArchivePassword)
{
    const std::string archive = program.File("locked.zip");
    WriteMember(archive, TwoSites, "right");
    script.fileNames = { archive };
    AnswerPrompts({ "typo", "right" }, prompts);
    Click("btnOpen");
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(window->SiteItems().Count(), 2);
    EXPECT_EQ(window->ArchivePassword(), "right");
}

TEST_F(Document, AVeryLongFieldSurvivesEditSaveAndReload)
{
    std::string longPassword;
    for (int i = 0; longPassword.size() < 100000; ++i)
        longPassword += static_cast<char>('a' + i % 26);
    AnswerSiteEditor(TSiteTyping { "Long", "", "", longPassword, "" });
    Click("btnAdd");
    const std::string archive = program.File("long.zip");
    script.fileNames = { archive };
    Click("btnSave");
    // Compared by size first: a failure must not print a hundred thousand characters.
    const std::string saved = ReadMember(archive, "");
    ASSERT_EQ(saved.size(), longPassword.size() + 10);
    ASSERT_TRUE(saved == "Long=\t" + longPassword + "\t\t\r\n");

    script.fileNames = { archive };
    Click("btnOpen");
    ASSERT_EQ(window->SiteItems().Count(), 1);
    ASSERT_TRUE(window->SiteItems().Record(0).Password() == longPassword);
    AnswerSiteEditor(TSiteTyping { "", "", "", longPassword + "!", "" });
    Select(0);
    Click("btnModify");
    Click("btnSave");
    EXPECT_TRUE(ReadMember(archive, "") == "Long=\t" + longPassword + "!\t\t\r\n");
}

TEST_F(Document, ASaveOverAFileAnotherProgramChangedAsksFirst)
{
    const std::string archive = program.File("synced.zip");
    const std::string theirs = "Theirs=x\t\t\t\r\n";
    PutSites(TwoSites);
    script.fileNames = { archive };
    Click("btnSaveAs");
    window->SetModified(true);
    Click("btnSave");
    EXPECT_EQ(script.shown, (std::vector<std::string> { "Save Demo file as...: chooser" }))
        << "a file as the program left it is replaced without a question";

    // Another program, say a synchronising one, puts its own version in place.
    WriteMember(archive, theirs, "");
    window->SetModified(true);
    script.answers = { AnswerNo };
    Click("btnSave");
    EXPECT_EQ(script.shown.back(), "Confirm: " + std::string(
        "The archive file was changed by another program since it was opened.  Replace it with this version?"));
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(ReadMember(archive, ""), theirs);

    script.answers = { AnswerYes, AnswerNo };
    Click("btnNew");
    EXPECT_EQ(window->SiteItems().Count(), 2) << "a save declined at the question keeps the archive open";

    script.answers = { AnswerYes };
    Click("btnSave");
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(ReadMember(archive, ""), "Bank=me\tsecret\thttps://bank.example\t\r\nMail=joe\tpw\t\t\r\n");
    EXPECT_TRUE(script.answers.empty());
}

TEST_F(Document, AWantedSaveThatDoesNotHappenKeepsTheChanges)
{
    PutSites(TwoSites);
    script.answers = { AnswerYes };
    script.fileNames = { "" };
    Click("btnNew");
    EXPECT_TRUE(window->Modified()) << "the save chooser was cancelled: nothing is closed";
    EXPECT_EQ(window->SiteItems().Count(), 2);

    script.answers = { AnswerYes };
    script.fileNames = { "" };
    window->close();
    EXPECT_TRUE(window->isVisible());

    script.answers = { AnswerNo };
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(script.answers.empty() && script.fileNames.empty());
}

TEST_F(Document, AFileThatIsNoArchiveIsReportedAndLeavesAnEmptyArchive)
{
    program.Write("notes.zip", "just some text, not an archive");
    QString shown;
    AcknowledgeMessage(shown);
    script.fileNames = { program.File("notes.zip") };
    Click("btnOpen");
    EXPECT_EQ(shown, "Unhandled Archive Type.");
    EXPECT_EQ(StatusText(), program.File("notes.zip"));
    EXPECT_EQ(window->SiteItems().Count(), 0);
    EXPECT_TRUE(window->ReopenList().empty());
}

TEST_F(Document, AFailedSaveKeepsTheOldArchiveAndTheChanges)
{
    const std::string archive = program.File("kept.zip");
    PutSites(TwoSites);
    script.fileNames = { archive };
    Click("btnSaveAs");
    const std::string before = ReadMember(archive, "");
    PutSites("Other=x\t\t\t\r\n");
    QString shown;
    AcknowledgeMessage(shown);
    script.fileNames = { program.File("list.txt") };
    Click("btnSaveAs");
    EXPECT_EQ(shown, "Unhandled Archive Type.");
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(ReadMember(archive, ""), before);
}

using DocumentAtStart = MainWindowFixture;

TEST_F(DocumentAtStart, AFileArgumentIsOpenedWhenTheWindowIsFirstShown)
{
    // Written by one window, opened by the next from a path relative to the current folder.
    auto list = std::make_unique<TbrmPwList>();
    list->LoadFromText(TwoSites);
    window->SetSiteList(std::move(list));
    window->FillSiteList();
    window->WriteArchive(program.File("start.zip"));
    window.reset();

    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(program.Path());
    SetCommandLineArguments({ "-useini", "start.zip" });
    window = std::make_unique<TfrmMain>();
    window->show();
    QApplication::processEvents();
    std::filesystem::current_path(before);
    SetCommandLineArguments({});
    EXPECT_EQ(window->ArchivePath(), program.File("start.zip"));
    EXPECT_EQ(window->SiteItems().Count(), 2);
    EXPECT_EQ(window->ReopenList(), TReopenList { program.File("start.zip") });
}

TEST_F(DocumentAtStart, AFileArgumentWhoseReadIsGivenUpLeavesAnEmptyArchive)
{
    WriteMember(program.File("locked.zip"), TwoSites, "right");
    SetCommandLineArguments({ program.File("locked.zip") });
    window = std::make_unique<TfrmMain>();
    int prompts = 0;
    AnswerPrompts({ "" }, prompts);
    window->show();
    QApplication::processEvents();
    SetCommandLineArguments({});
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(window->ArchivePath(), "");
    EXPECT_EQ(window->SiteItems().Count(), 0);
    EXPECT_EQ(window->ArchivePassword(), "");
}

} // namespace
