#include "CommandFixture.h"
#include "DocumentDriver.h"
#include "ModalDriver.h"
#include "SiteEditorDriver.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SiteCommands : public CommandFixture {
protected:
    void Add(const TSiteTyping& typing)
    {
        AnswerSiteEditor(typing);
        Click("btnAdd");
    }

    void DoubleClick(int row)
    {
        const QRect place = list->visualRect(window->SiteItems().index(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }

    void OpenFiveSites()
    {
        OpenSites("Alpha=a\t\t\t\r\nBravo=b\t\t\t\r\nCharlie=c\t\t\t\r\nDelta=d\t\t\t\r\nEcho=e\t\t\t\r\n");
    }
};

TEST_F(SiteCommands, AddPutsTheSiteAtItsPlaceAndACancelledAddChangesNothing)
{
    AnswerSiteEditor(std::nullopt);
    Click("btnAdd");
    EXPECT_EQ(window->SiteItems().Count(), 0);
    EXPECT_FALSE(window->Modified());

    Add({ "  Mail  ", "https://mail.example", "joe", "pw", "" });
    Add({ "Bank", "", "me", "secret", "first line\nsecond line" });
    Add({ "mail", "", "ann", "pw2", "" });
    EXPECT_EQ(Names(), (std::vector<std::string> { "Bank", "Mail", "mail" })) << "equal names side by side";
    EXPECT_EQ(Selected(), 2) << "the new item is selected";
    EXPECT_TRUE(window->Modified());
    EXPECT_EQ(window->SiteItems().Record(1).URL(), "https://mail.example");
    EXPECT_EQ(window->SiteItems().Record(0).Notes(), "first line\r\nsecond line");
}

TEST_F(SiteCommands, ModifyMovesARenamedSiteAndKeepsItSelected)
{
    OpenFiveSites();
    std::string shown;
    Select(1);
    AnswerSiteEditor(TSiteTyping { "Zulu", "", "", "", "" }, &shown);
    Click("btnModify");
    EXPECT_EQ(shown, "Bravo");
    EXPECT_EQ(Names(), (std::vector<std::string> { "Alpha", "Charlie", "Delta", "Echo", "Zulu" }));
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(window->SiteItems().Record(4).UserName(), "b") << "the same record, renamed";
    EXPECT_TRUE(window->Modified());

    window->SetModified(false);
    AnswerSiteEditor(TSiteTyping { "", "", "new user", "", "" }, &shown);
    DoubleClick(2);
    EXPECT_EQ(shown, "Delta");
    EXPECT_EQ(Names(), (std::vector<std::string> { "Alpha", "Charlie", "Delta", "Echo", "Zulu" }));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(window->SiteItems().Record(2).UserName(), "new user");
    EXPECT_TRUE(window->Modified());

    window->SetModified(false);
    AnswerSiteEditor(std::nullopt, &shown);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(shown, "Charlie") << "Enter modifies the selected site";
    EXPECT_FALSE(window->Modified()) << "a cancelled edit changes nothing";
}

TEST_F(SiteCommands, WithoutASelectionModifyAndDeleteShowNothing)
{
    OpenFiveSites();
    list->selectionModel()->clear();
    const TModalCatcher catcher;
    Click("btnModify");
    QTest::keyClick(list, Qt::Key_Return);
    Click("btnDel");
    for (const Qt::Key key : { Qt::Key_Delete, Qt::Key_S, Qt::Key_N, Qt::Key_O })
        QTest::keyClick(window.get(), key, Qt::ControlModifier);
    QTest::qWait(50);
    EXPECT_EQ(catcher.Caught(), 0);
    EXPECT_EQ(window->SiteItems().Count(), 5);
    EXPECT_FALSE(window->Modified());
}

TEST_F(SiteCommands, DeleteAsksAndAnyAnswerButNoDeletes)
{
    OpenFiveSites();
    Select(2);
    script.answers = { AnswerNo };
    Click("btnDel");
    EXPECT_EQ(script.shown, (std::vector<std::string> { "Confirm: Delete selected site?" }));
    EXPECT_EQ(window->SiteItems().Count(), 5);
    EXPECT_FALSE(window->Modified());

    script.answers = { AnswerYes };
    Click("btnDel");
    EXPECT_EQ(Names(), (std::vector<std::string> { "Alpha", "Bravo", "Delta", "Echo" }));
    EXPECT_EQ(Selected(), 0) << "the first item is selected after a delete";
    EXPECT_TRUE(window->Modified());

    for (int left = 3; left >= 0; --left) {
        script.answers = { AnswerClosed };
        Click("btnDel");
        EXPECT_EQ(window->SiteItems().Count(), left);
    }
    EXPECT_EQ(Selected(), -1) << "nothing is left to select";
}

TEST_F(SiteCommands, TheToolsPageGeneratesAPasswordWithoutTouchingTheArchive)
{
    OpenFiveSites();
    QString title;
    WhenModalShown([&title](QWidget* generator) {
        title = generator->windowTitle();
        generator->findChild<QToolButton*>("spbGenPW")->click();
        generator->findChild<QPushButton*>("btnOK")->click();
    });
    Click("benGen");
    EXPECT_EQ(title, "Generate a password");
    EXPECT_EQ(window->SiteItems().Count(), 5);
    EXPECT_FALSE(window->Modified());
}

TEST_F(SiteCommands, EditedSitesAreSavedLineByLine)
{
    OpenFiveSites();
    Select(0);
    script.answers = { AnswerYes };
    Click("btnDel");
    Add({ "bravo", "https://b.example/", "bob", "p w", "two\nlines\twith a tab" });
    Select(4);
    AnswerSiteEditor(TSiteTyping { "Aardvark", "", "", "", "" });
    Click("btnModify");

    const std::string archive = program.File("edited.zip");
    script.fileNames = { archive };
    Click("btnSave");
    EXPECT_EQ(ReadMember(archive, ""),
        "Aardvark=e\t\t\t\r\n"
        "Bravo=b\t\t\t\r\n"
        "bravo=bob\tp w\thttps://b.example/\ttwo\\nlines\\twith a tab\r\n"
        "Charlie=c\t\t\t\r\n"
        "Delta=d\t\t\t\r\n");
}

} // namespace
