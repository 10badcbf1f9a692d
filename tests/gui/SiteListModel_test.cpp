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

std::shared_ptr<const TbrmPwList> Lines(const std::string& text)
{
    auto list = std::make_shared<TbrmPwList>();
    list->LoadFromText(text);
    return list;
}

TEST(SiteListModel, KeepsNamesSortedIgnoringCaseWithEqualNamesInArrivalOrder)
{
    TSiteListModel model;
    // The list's own order (whole lines, ties by bytes) is not the order of the names.
    model.AddLines(Lines("beta=1\nAlpha=3\nalpha=2\n\xC3\xA9t\xC3\xA9=4\ngamma=5\nab c=8\nab=9\n"));
    model.AddLines(Lines("ALPHA=6\ndelta=7\n"));
    EXPECT_EQ(model.AddRecord(Site("alpha=10")), 5) << "after the equal names already there";
    EXPECT_EQ(NamesOf(model),
        (std::vector<std::string> { "ab", "ab c", "alpha", "Alpha", "ALPHA", "alpha", "beta", "delta",
            "\xC3\xA9t\xC3\xA9", "gamma" }));
    EXPECT_EQ(model.Record(4).UserName(), "6") << "each item keeps its own record";
    model.Record(4).SetUserName("changed");
    EXPECT_EQ(model.Line(4), "ALPHA=changed\t\t\t");
    EXPECT_THROW(model.Record(10), std::exception);
    model.Clear();
    EXPECT_EQ(model.Count(), 0);
}

TEST(SiteListModel, TakingAnItemHandsItsRecordOverAndLinesComeBackAsTheRecordWritesThem)
{
    TSiteListModel model;
    model.AddLines(Lines("b=2\n  a  = one \tpw\n"));
    EXPECT_EQ(NamesOf(model), (std::vector<std::string> { "a", "b" })) << "the name as the record trims it";
    EXPECT_EQ(model.Line(0), "a=one\tpw\t\t");
    const std::unique_ptr<TbrmPwRec> taken = model.TakeRecord(0);
    EXPECT_EQ(taken->Password(), "pw");
    EXPECT_EQ(NamesOf(model), (std::vector<std::string> { "b" }));
    EXPECT_THROW(model.TakeRecord(1), std::exception);
}

std::string Saved(const TbrmPwList& list)
{
    TMemoryStream stream;
    list.SaveToStream(stream);
    return stream.Bytes();
}

int RowNamed(const TSiteListModel& model, const std::string& name)
{
    for (int row = 0; row < model.Count(); ++row)
        if (model.Record(row).SiteName() == name)
            return row;
    return -1;
}

TEST(SiteListModel, ItsSiteListIsWhatLoadingEveryItemsLineGives)
{
    TSiteListModel model;
    model.AddLines(Lines("bank=a\tpw\t\t\r\nBank 2=b\tpw\t\t\r\n  mail = joe \tpw\r\nzoo=z\t\t\t\r\nab=1\t\t\t\r\n"));
    model.Record(RowNamed(model, "bank"));
    model.Record(RowNamed(model, "zoo")).SetUserName("changed");
    model.TakeRecord(RowNamed(model, "ab"));
    model.AddRecord(Site("bank=a\tpw\t\t"));
    model.AddRecord(Site("new=n\t\t\t"));
    model.AddLines(Lines("imported=i\t\t\t\r\nbank 2=b\tpw\t\t\r\n"));

    std::string everyLine;
    for (int row = 0; row < model.Count(); ++row)
        everyLine.append(model.Line(row)).append("\r\n");
    TbrmPwList expected;
    expected.LoadFromText(everyLine);
    EXPECT_EQ(Saved(*model.SiteList()), Saved(expected));
    EXPECT_EQ(expected.Count(), 7) << "the site added again is written once";
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
