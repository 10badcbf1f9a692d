#include "shell/fmMain.h"

#include "MainWindowFixture.h"
#include "shell/SiteListModel.h"

#include <QListView>
#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> NamesOf(const TSiteListModel& model)
{
    std::vector<std::string> names;
    for (int row = 0; row < model.Count(); ++row)
        names.push_back(model.data(model.index(row), Qt::DisplayRole).toString().toStdString());
    return names;
}

std::unique_ptr<TbrmPwRec> Site(const std::string& line)
{
    auto record = std::make_unique<TbrmPwRec>();
    record->SetLine(line);
    return record;
}

TEST(SiteListModel, KeepsNamesSortedIgnoringCaseWithEqualNamesInArrivalOrder)
{
    TSiteListModel model;
    std::vector<std::unique_ptr<TbrmPwRec>> first;
    for (const char* line : { "beta=1", "Alpha=2", "alpha=3", "\xC3\xA9t\xC3\xA9=4", "gamma=5" })
        first.push_back(Site(line));
    model.AddRecords(std::move(first));
    std::vector<std::unique_ptr<TbrmPwRec>> second;
    second.push_back(Site("ALPHA=6"));
    second.push_back(Site("delta=7"));
    model.AddRecords(std::move(second));
    EXPECT_EQ(NamesOf(model),
        (std::vector<std::string> { "Alpha", "alpha", "ALPHA", "beta", "delta", "\xC3\xA9t\xC3\xA9", "gamma" }));
    EXPECT_EQ(model.Record(2).UserName(), "6") << "each item keeps its own record";
    EXPECT_THROW(model.Record(7), std::exception);
    model.Clear();
    EXPECT_EQ(model.Count(), 0);
}

using MainWindowList = MainWindowFixture;

TEST_F(MainWindowList, FillShowsEverySiteSelectsTheFirstAndUpdateGivesTheLinesBack)
{
    auto list = std::make_unique<TbrmPwList>();
    list->LoadFromText("mail=joe\tpw\t\t\r\nBank=me\tsecret\thttps://bank.example\tnote\\nline\r\nmail=ann\tpw2\t\t\r\n");
    const std::string saved = [&] {
        TMemoryStream stream;
        list->SaveToStream(stream);
        return stream.Bytes();
    }();
    window->SetSiteList(std::move(list));
    window->FillSiteList();
    const auto* view = window->findChild<QListView*>("lbxSiteList");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(NamesOf(window->SiteItems()), (std::vector<std::string> { "Bank", "mail", "mail" }));
    EXPECT_EQ(view->currentIndex().row(), 0);

    window->SetSiteList(std::make_unique<TbrmPwList>());
    window->UpdateSiteList();
    TMemoryStream again;
    window->SiteList()->SaveToStream(again);
    EXPECT_EQ(again.Bytes(), saved);

    window->ClearSiteList();
    EXPECT_EQ(window->SiteItems().Count(), 0);
    window->UpdateSiteList();
    EXPECT_EQ(window->SiteList()->Count(), 0);
    window->FillSiteList();
    EXPECT_FALSE(view->currentIndex().isValid()) << "nothing to select";
}

TEST_F(MainWindowList, StatusBarShowsTheArchivePath)
{
    EXPECT_EQ(window->ArchivePath(), "");
    const std::string path = "/home/joe/archives/" + std::string(400, 'x') + ".zip";
    window->SetArchivePath(path);
    EXPECT_EQ(window->ArchivePath(), path);
    EXPECT_EQ(window->findChild<QStatusBar*>("StatusBar")->currentMessage().toStdString(), path);
}

} // namespace
