#include "CommandFixture.h"
#include "DocumentDriver.h"
#include "ModalDriver.h"
#include "services/UtilFuncs.h"

#include <QAbstractItemView>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const std::string OtherSites = "beta=b\tpb\t\t\r\nAlpha=a\tpa\t\t\r\ngamma=g\tpg\t\t\r\n";

// Answers the next import selection: moves the named sites to the right and presses
// OK. Records how many sites the left list offered.
void ChooseSites(std::vector<std::string> names, int* offered = nullptr)
{
    WhenModalShown([names, offered](QWidget* dialog) {
        auto* from = dialog->findChild<QAbstractItemView*>("lbxFromArchive");
        ASSERT_NE(from, nullptr);
        QAbstractItemModel& sites = *from->model();
        if (offered != nullptr)
            *offered = sites.rowCount();
        for (int row = 0; row < sites.rowCount(); ++row) {
            const std::string name = sites.index(row, 0).data().toString().toStdString();
            if (std::find(names.begin(), names.end(), name) != names.end())
                from->selectionModel()->select(sites.index(row, 0), QItemSelectionModel::Select);
        }
        dialog->findChild<QPushButton*>("btnAdd")->click();
        dialog->findChild<QPushButton*>("btnOK")->click();
    });
}

class ImportCommand : public CommandFixture {
protected:
    std::string Other(const std::string& password)
    {
        const std::string path = program.File("other.zip");
        WriteMember(path, OtherSites, password);
        return path;
    }

    int prompts = 0;
};

TEST_F(ImportCommand, TwoOfThreeChosenSitesJoinTheListAtTheirPlaces)
{
    OpenSites("Bravo=x\t\t\t\r\nDelta=y\t\t\t\r\n");
    Select(1);
    script.fileNames = { Other("") };
    ChooseSites({ "Alpha", "gamma" });
    Click("btnImport");
    EXPECT_EQ(script.shown, (std::vector<std::string> { "Select Demo file to import from: chooser" }));
    EXPECT_EQ(Names(), (std::vector<std::string> { "Alpha", "Bravo", "Delta", "gamma" }));
    EXPECT_EQ(window->SiteItems().Record(3).Password(), "pg");
    EXPECT_EQ(Selected(), 2) << "the selected site stays selected";
    EXPECT_TRUE(window->Modified());
    EXPECT_TRUE(window->ReopenList().empty()) << "importing is not loading";

    ChooseSites({});
    script.fileNames = { Other("") };
    window->SetModified(false);
    Click("btnImport");
    EXPECT_EQ(window->SiteItems().Count(), 4);
    EXPECT_FALSE(window->Modified()) << "nothing chosen, nothing changed";
}

TEST_F(ImportCommand, TheOtherArchivesPasswordNeverBecomesTheOpenOnes)
{
    AnswerPrompts({ "mine" }, prompts);
    Click("btnnewAr");
    script.fileNames = { Other("theirs") };
    AnswerPrompts({ "wrong", "theirs" }, prompts);
    ChooseSites({ "beta" });
    Click("btnImport");
    EXPECT_EQ(prompts, 3);
    EXPECT_EQ(Names(), (std::vector<std::string> { "beta" }));
    EXPECT_EQ(window->ArchivePassword(), "mine");

    const std::string saved = program.File("mine.zip");
    script.fileNames = { saved };
    Click("btnSave");
    EXPECT_EQ(ReadMember(saved, "mine"), "beta=b\tpb\t\t\r\n");
}

TEST_F(ImportCommand, ACancelledPromptClosesTheOpenArchiveAfterSavingItWithItsOwnPassword)
{
    AnswerPrompts({ "mine" }, prompts);
    Click("btnnewAr");
    OpenSites("Kept=k\t\t\t\r\n");
    window->SetModified(true);
    const std::string saved = program.File("mine.zip");
    script.fileNames = { Other("theirs"), saved };
    script.answers = { AnswerYes };
    AnswerPrompts({ "theirs?", "" }, prompts);
    int offered = -1;
    ChooseSites({}, &offered);
    Click("btnImport");
    EXPECT_EQ(script.shown,
        (std::vector<std::string> { "Select Demo file to import from: chooser",
            "Confirm: The current archive has been modified.  Save changes?", "Save Demo file as...: chooser" }));
    EXPECT_EQ(ReadMember(saved, "mine"), "Kept=k\t\t\t\r\n");
    EXPECT_EQ(offered, 0) << "the selection shows no sites";
    EXPECT_EQ(window->ArchivePath(), "") << "a new archive";
    EXPECT_EQ(window->SiteItems().Count(), 0);
    EXPECT_FALSE(window->Modified());
    EXPECT_EQ(window->ArchivePassword(), "mine");
}

TEST_F(ImportCommand, AMissingFileDoesNothingAndANonArchiveIsReported)
{
    OpenSites("Kept=k\t\t\t\r\n");
    script.fileNames = { program.File("absent.zip") };
    {
        const TModalCatcher catcher;
        Click("btnImport");
        EXPECT_EQ(catcher.Caught(), 0);
    }
    program.Write("notes.zip", "just some text");
    script.fileNames = { program.File("notes.zip") };
    QString shown;
    AcknowledgeMessage(shown);
    Click("btnImport");
    EXPECT_EQ(shown, "Unhandled Archive Type.");
    EXPECT_EQ(Names(), (std::vector<std::string> { "Kept" }));
    EXPECT_FALSE(window->Modified());
}

} // namespace
