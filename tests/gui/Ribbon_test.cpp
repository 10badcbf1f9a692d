#include "shell/fmMain.h"

#include "MainWindowFixture.h"

#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using MainWindowRibbon = MainWindowFixture;

TEST_F(MainWindowRibbon, EveryButtonStandsOnItsPageWithItsCaptionAndWidth)
{
    const auto* ribbon = window->findChild<QTabWidget*>("sPageControlMain");
    ASSERT_NE(ribbon, nullptr);
    ASSERT_EQ(ribbon->count(), 4);
    EXPECT_EQ(ribbon->currentIndex(), 0) << "the File page at start";
    struct Expected {
        int page;
        const char* name;
        const char* caption;
        int width;
    };
    const Expected buttons[] = {
        { 0, "btnNew", "New", 65 }, { 0, "btnOpen", "Open", 65 }, { 0, "btnClose", "Close", 65 },
        { 0, "btnSave", "Save", 65 }, { 0, "btnSaveAs", "Save As...", 65 },
        { 0, "btnnewAr", "New archive password...", 75 }, { 0, "btnImport", "Import...", 65 },
        { 0, "btnExit", "Exit", 65 }, { 1, "btnAdd", "Add a site", 65 }, { 1, "btnModify", "Modify a site", 65 },
        { 1, "btnDel", "Delete a site", 65 }, { 2, "benGen", "Generate a password...", 89 },
        { 2, "btnCreate", "Create desktop shortcut for this archive", 120 }, { 3, "btnAbout", "About", 65 },
        { 3, "btnHelp", "Help", 65 }, { 3, "btnHomepage", "Homepage", 65 },
    };
    for (const Expected& expected : buttons) {
        SCOPED_TRACE(expected.name);
        const auto* button = ribbon->widget(expected.page)->findChild<QToolButton*>(expected.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), expected.caption);
        EXPECT_EQ(button->width(), expected.width);
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_LE(button->sizeHint().height(), 116 - 24) << "the wrapped caption fits under the picture";
    }
    EXPECT_EQ(ribbon->tabText(2), "Tools");
    EXPECT_EQ(ribbon->tabBar()->tabRect(0).height(), 24);
    EXPECT_FALSE(ribbon->tabIcon(3).isNull());
}

TEST_F(MainWindowRibbon, SaveIsEnabledExactlyWhenModifiedAndExitCloses)
{
    auto* save = window->findChild<QToolButton*>("btnSave");
    EXPECT_FALSE(window->Modified());
    EXPECT_FALSE(save->isEnabled());
    window->SetModified(true);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_TRUE(window->Modified());
    window->SetModified(false);
    EXPECT_FALSE(save->isEnabled());

    window->show();
    QApplication::processEvents();
    window->findChild<QToolButton*>("btnExit")->click();
    EXPECT_FALSE(window->isVisible());
}

} // namespace
