#include "dialogs/fmImport.h"

#include "ModalDriver.h"
#include "model/brmPW.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The client area of the window's design, inside a frame of 8 x 27 pixels.
const QSize DesignedClient(625, 361);
const QSize MinimumOuter(633, 388);
constexpr int LargeCount = 100000;

std::string SiteLine(const std::string& name, const std::string& user = "user")
{
    TbrmPwRec rec;
    rec.SetSiteName(name);
    rec.SetUserName(user);
    rec.SetPassword("pw-" + user);
    rec.SetURL("https://" + name + ".example");
    rec.SetNotes("first\r\nsecond");
    return rec.GetLine();
}

TbrmPwList ListOf(const std::vector<std::string>& lines)
{
    TbrmPwList list;
    for (const std::string& line : lines)
        list.Add(line);
    return list;
}

std::vector<std::string> LinesOf(const TbrmPwList& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.emplace_back(list.Strings(i));
    return lines;
}

QListView& Left(QWidget& dialog) { return FindControl<QListView>(dialog, "lbxFromArchive"); }
QListView& Right(QWidget& dialog) { return FindControl<QListView>(dialog, "lbxCopyItems"); }
void Press(QWidget& dialog, const char* button)
{
    QTest::mouseClick(&FindControl<QPushButton>(dialog, button), Qt::LeftButton);
}

QStringList Names(const QListView& list)
{
    QStringList names;
    for (int row = 0; row < list.model()->rowCount(); ++row)
        names << list.model()->index(row, 0).data().toString();
    return names;
}

QStringList SelectedNames(const QListView& list)
{
    QStringList names;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        if (list.selectionModel()->isSelected(list.model()->index(row, 0)))
            names << list.model()->index(row, 0).data().toString();
    }
    return names;
}

QPoint ItemPoint(const QListView& list, int row)
{
    return list.visualRect(list.model()->index(row, 0)).center();
}

void ClickItem(QListView& list, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, ItemPoint(list, row));
}

// A point of Target in the coordinates of the viewport a drag started in, which
// holds the mouse while the button is down and so receives every event.
QPoint Over(const QListView& source, const QWidget& target, QPoint inTarget)
{
    return source.viewport()->mapFromGlobal(target.mapToGlobal(inTarget));
}

// Runs the dialog once: Use drives it, then it ends as Use left it or, if still open,
// with Cancel.
int RunDialog(TbrmPwList& list, std::function<void(QWidget&)> use)
{
    WhenModalActive([use = std::move(use)](QWidget* modal) {
        use(*modal);
        if (modal->isVisible())
            FindControl<QPushButton>(*modal, "btnCancel").click();
    });
    return ExecImport(list);
}

class Import : public testing::Test {
protected:
    void SetUp() override { State().SetValues("TfrmImport", ""); }

    const std::vector<std::string> sites = { SiteLine("beta"), SiteLine("Alpha"), SiteLine("gamma") };
    TbrmPwList list = ListOf(sites);
};

TEST_F(Import, CaptionControlsAndTabOrder)
{
    SetApplicationTitle("Demo");
    RunDialog(list, [](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Import items from another Demo file");
        const Qt::WindowFlags flags = dialog.windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_EQ(FindControl<QLabel>(dialog, "lblFromArchive").text(), "From archive items");
        EXPECT_EQ(FindControl<QLabel>(dialog, "lblFromArchive").pos(), QPoint(16, 16));
        EXPECT_EQ(FindControl<QLabel>(dialog, "lblCopyItems").text(), "Items to copy");
        const std::pair<const char*, const char*> panelButtons[] = {
            { "btnAdd", "Add >" }, { "btnAddAll", "Add All >>" }, { "btnRemoveAll", "<< Remove All" },
            { "btnRemove", "< Remove" } };
        int top = 0;
        for (const auto& [name, caption] : panelButtons) {
            const QPushButton& button = FindControl<QPushButton>(dialog, name);
            EXPECT_EQ(button.text(), caption);
            EXPECT_EQ(button.parentWidget()->objectName(), "pnlButtons");
            EXPECT_EQ(button.geometry(), QRect(5, top, 110, 25)) << name;
            top += 32;
        }
        EXPECT_EQ(FindControl<QPushButton>(dialog, "btnOK").text(), "OK");
        EXPECT_TRUE(FindControl<QPushButton>(dialog, "btnOK").isDefault());
        EXPECT_EQ(FindControl<QPushButton>(dialog, "btnCancel").text(), "Cancel");
        for (QListView* box : { &Left(dialog), &Right(dialog) })
            EXPECT_EQ(box->selectionMode(), QAbstractItemView::ExtendedSelection);
        EXPECT_EQ(Left(dialog).visualRect(Left(dialog).model()->index(0, 0)).height(), 13);

        QStringList visited;
        for (int i = 0; i < 9; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(visited, (QStringList { "lbxFromArchive", "lbxCopyItems", "btnOK", "btnCancel", "btnRemoveAll",
                               "btnAdd", "btnRemove", "btnAddAll", "lbxFromArchive" }));
    });
}

TEST_F(Import, TheButtonsMoveTheSelectedItemsBetweenTheSortedLists)
{
    RunDialog(list, [](QWidget& dialog) {
        EXPECT_EQ(Names(Left(dialog)), (QStringList { "Alpha", "beta", "gamma" }));
        EXPECT_EQ(SelectedNames(Left(dialog)), QStringList());
        EXPECT_EQ(Left(dialog).currentIndex().row(), 0) << "the focus mark is on the first item";
        EXPECT_EQ(Names(Right(dialog)), QStringList());

        for (const char* idle : { "btnAdd", "btnRemove", "btnRemoveAll" })
            Press(dialog, idle);
        EXPECT_EQ(Names(Left(dialog)).size(), 3) << "nothing selected, nothing moves";

        ClickItem(Left(dialog), 1);
        Press(dialog, "btnAdd");
        EXPECT_EQ(Names(Left(dialog)), (QStringList { "Alpha", "gamma" }));
        EXPECT_EQ(Names(Right(dialog)), QStringList { "beta" });
        EXPECT_EQ(SelectedNames(Right(dialog)), QStringList()) << "moved items arrive unselected";

        ClickItem(Right(dialog), 0);
        Press(dialog, "btnAddAll");
        EXPECT_EQ(Names(Left(dialog)), QStringList());
        EXPECT_EQ(Names(Right(dialog)), (QStringList { "Alpha", "beta", "gamma" }));
        EXPECT_EQ(SelectedNames(Right(dialog)), QStringList { "beta" }) << "the target keeps its own selection";

        Press(dialog, "btnRemove");
        EXPECT_EQ(Names(Left(dialog)), QStringList { "beta" });
        Press(dialog, "btnRemoveAll");
        EXPECT_EQ(Names(Left(dialog)), (QStringList { "Alpha", "beta", "gamma" }));
        EXPECT_EQ(Names(Right(dialog)), QStringList());
    });
}

TEST_F(Import, OkLeavesExactlyTheChosenLinesAndShiftAndCtrlChooseAsUsual)
{
    EXPECT_EQ(RunDialog(list, [](QWidget& dialog) {
        ClickItem(Left(dialog), 0);
        ClickItem(Left(dialog), 2, Qt::ShiftModifier);
        EXPECT_EQ(SelectedNames(Left(dialog)).size(), 3);
        ClickItem(Left(dialog), 1, Qt::ControlModifier);
        EXPECT_EQ(SelectedNames(Left(dialog)), (QStringList { "Alpha", "gamma" }));
        Press(dialog, "btnAdd");
        Press(dialog, "btnOK");
    }), 1);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string> { SiteLine("Alpha"), SiteLine("gamma") }));

    TbrmPwList empty;
    EXPECT_EQ(RunDialog(empty, [](QWidget& dialog) {
        EXPECT_EQ(Names(Left(dialog)), QStringList());
        Press(dialog, "btnAddAll");
        Press(dialog, "btnOK");
    }), 1);
    EXPECT_EQ(empty.Count(), 0);
}

TEST_F(Import, CancelEscapeAndTheCloseBoxLeaveTheListAsItWas)
{
    const std::function<void(QWidget&)> endings[] = {
        [](QWidget& dialog) { Press(dialog, "btnCancel"); },
        [](QWidget& dialog) { QTest::keyClick(&Left(dialog), Qt::Key_Escape); },
        [](QWidget& dialog) { dialog.close(); },
    };
    for (const auto& end : endings) {
        EXPECT_EQ(RunDialog(list, [&end](QWidget& dialog) {
            ClickItem(Left(dialog), 0);
            Press(dialog, "btnAdd");
            end(dialog);
        }), 2);
        EXPECT_EQ(LinesOf(list), LinesOf(ListOf(sites)));
    }
}

TEST_F(Import, EqualNamesAppearTwiceAndMoveIndependently)
{
    TbrmPwList twins = ListOf({ SiteLine("twin", "ann"), SiteLine("twin", "bob"), SiteLine("other") });
    std::vector<std::string> chosen;
    for (int row : { 0, 1 }) {
        TbrmPwList copy = ListOf(LinesOf(twins));
        RunDialog(copy, [row](QWidget& dialog) {
            EXPECT_EQ(Names(Left(dialog)), (QStringList { "other", "twin", "twin" }));
            ClickItem(Left(dialog), 1 + row);
            Press(dialog, "btnAdd");
            EXPECT_EQ(Names(Left(dialog)), (QStringList { "other", "twin" }));
            EXPECT_EQ(Names(Right(dialog)), QStringList { "twin" });
            Press(dialog, "btnOK");
        });
        ASSERT_EQ(copy.Count(), 1);
        chosen.emplace_back(copy.Strings(0));
    }
    EXPECT_NE(chosen[0], chosen[1]) << "each item carries its own site";

    // An item moving in goes after the equal names already there, whatever its line.
    RunDialog(twins, [](QWidget& dialog) {
        ClickItem(Left(dialog), 2);
        Press(dialog, "btnAdd");
        ClickItem(Left(dialog), 1);
        Press(dialog, "btnAdd");
        ClickItem(Right(dialog), 0);
        Press(dialog, "btnRemove");
        EXPECT_EQ(Names(Left(dialog)), (QStringList { "other", "twin" }));
        Press(dialog, "btnOK");
    });
    EXPECT_EQ(LinesOf(twins), std::vector<std::string> { chosen[0] });
}

TEST_F(Import, DraggingMovesTheWholeSelectionToTheOtherList)
{
    RunDialog(list, [](QWidget& dialog) {
        QListView& left = Left(dialog);
        QListView& right = Right(dialog);
        ClickItem(left, 0);
        ClickItem(left, 2, Qt::ControlModifier);
        const QPoint from = ItemPoint(left, 2);
        QTest::mousePress(left.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(left.viewport(), from + QPoint(0, 4));
        EXPECT_EQ(left.viewport()->cursor().shape(), Qt::ArrowCursor) << "not yet past the threshold";
        QTest::mouseMove(left.viewport(), from + QPoint(0, 5));
        EXPECT_EQ(left.viewport()->cursor().shape(), Qt::ForbiddenCursor) << "a list refuses its own items";
        const QPoint target = Over(left, *right.viewport(), QPoint(20, 100));
        QTest::mouseMove(left.viewport(), target);
        EXPECT_EQ(left.viewport()->cursor().shape(), Qt::DragMoveCursor);
        QTest::mouseRelease(left.viewport(), Qt::LeftButton, {}, target);
        EXPECT_EQ(Names(left), QStringList { "beta" });
        EXPECT_EQ(Names(right), (QStringList { "Alpha", "gamma" }));
        EXPECT_EQ(left.viewport()->cursor().shape(), Qt::ArrowCursor);

        // And back, from a single item pressed and dragged at once.
        const QPoint back = ItemPoint(right, 1);
        QTest::mousePress(right.viewport(), Qt::LeftButton, {}, back);
        QTest::mouseMove(right.viewport(), Over(right, left, QPoint(40, 200)));
        QTest::mouseRelease(right.viewport(), Qt::LeftButton, {}, Over(right, left, QPoint(40, 200)));
        EXPECT_EQ(Names(left), (QStringList { "beta", "gamma" }));
        EXPECT_EQ(Names(right), QStringList { "Alpha" });
    });
}

TEST_F(Import, RefusedOrUnstartedDragsMoveNothing)
{
    struct Case {
        const char* what;
        Qt::MouseButton button;
        bool belowTheItems;
        std::function<QPoint(QWidget& dialog)> dropAt;
        bool escapeFirst;
    };
    const auto overRight = [](QWidget& dialog) {
        return Over(Left(dialog), *Right(dialog).viewport(), QPoint(20, 20));
    };
    const Case cases[] = {
        { "dropped on its own list", Qt::LeftButton, false,
            [](QWidget& dialog) { return ItemPoint(Left(dialog), 0) + QPoint(0, 30); }, false },
        { "dropped on the button panel", Qt::LeftButton, false,
            [](QWidget& dialog) { return Over(Left(dialog), FindControl<QWidget>(dialog, "pnlButtons"), QPoint(2, 2)); },
            false },
        { "dropped outside the window", Qt::LeftButton, false,
            [](QWidget& dialog) { return Over(Left(dialog), dialog, QPoint(-50, -50)); }, false },
        { "right button", Qt::RightButton, false, overRight, false },
        { "pressed below the last item", Qt::LeftButton, true, overRight, false },
        { "cancelled by Escape", Qt::LeftButton, false, overRight, true },
    };
    for (const Case& c : cases) {
        RunDialog(list, [&c](QWidget& dialog) {
            QListView& left = Left(dialog);
            left.selectAll();
            const QPoint from = c.belowTheItems ? QPoint(20, 200) : ItemPoint(left, 1);
            const QPoint to = c.dropAt(dialog);
            QTest::mousePress(left.viewport(), c.button, {}, from);
            QTest::mouseMove(left.viewport(), from + QPoint(10, 10));
            QTest::mouseMove(left.viewport(), to);
            if (c.escapeFirst)
                QTest::keyClick(&left, Qt::Key_Escape);
            QTest::mouseRelease(left.viewport(), c.button, {}, to);
            EXPECT_TRUE(dialog.isVisible()) << c.what;
            EXPECT_EQ(Names(left).size(), 3) << c.what;
            EXPECT_EQ(Names(Right(dialog)), QStringList()) << c.what;
            EXPECT_EQ(left.viewport()->cursor().shape(), Qt::ArrowCursor) << c.what;
        });
    }
}

TEST_F(Import, ResizingSharesTheWidthBetweenTheListsAroundTheCentredPanel)
{
    struct Case {
        QSize grown;
        int listWidth;
        int panelLeft;
        int rightLeft;
        int panelTop;
    };
    // The first row is the designed client area, whose odd pixel of width goes to the
    // right margin.
    const Case cases[] = { { { 0, 0 }, 236, 252, 372, 104 }, { { 100, 0 }, 286, 302, 422, 104 },
        { { 101, 0 }, 287, 303, 423, 104 }, { { 0, 60 }, 236, 252, 372, 134 }, { { 40, 41 }, 256, 272, 392, 125 } };
    RunDialog(list, [&cases](QWidget& dialog) {
        // This platform's frame is thinner than the designed one.
        dialog.setMinimumSize(0, 0);
        for (const Case& c : cases) {
            const QSize client = DesignedClient + c.grown;
            dialog.resize(client);
            ASSERT_EQ(dialog.size(), client);
            const std::string size = std::to_string(client.width()) + " x " + std::to_string(client.height());
            const int listHeight = 265 + c.grown.height();
            const QPoint corner(c.grown.width(), c.grown.height());
            EXPECT_EQ(Left(dialog).geometry(), QRect(16, 32, c.listWidth, listHeight)) << size;
            EXPECT_EQ(Right(dialog).geometry(), QRect(c.rightLeft, 32, c.listWidth, listHeight)) << size;
            EXPECT_EQ(FindControl<QLabel>(dialog, "lblCopyItems").pos(), QPoint(c.rightLeft, 16)) << size;
            EXPECT_EQ(FindControl<QWidget>(dialog, "pnlButtons").geometry(), QRect(c.panelLeft, c.panelTop, 120, 121)) << size;
            EXPECT_EQ(FindControl<QPushButton>(dialog, "btnOK").pos(), QPoint(448, 320) + corner) << size;
            EXPECT_EQ(FindControl<QPushButton>(dialog, "btnCancel").pos(), QPoint(536, 320) + corner) << size;
        }
    });
}

TEST_F(Import, TheWindowCannotShrinkBelowItsOuterMinimum)
{
    RunDialog(list, [](QWidget& dialog) {
        EXPECT_GE(dialog.frameGeometry().width(), MinimumOuter.width());
        EXPECT_GE(dialog.frameGeometry().height(), MinimumOuter.height());
        dialog.resize(100, 100);
        EXPECT_EQ(dialog.frameGeometry().size(), MinimumOuter);
    });
}

TEST_F(Import, SizeAndMaximisedStateAreKeptWhileThePositionIsCentred)
{
    State().SetValues("TfrmImport", "0 40 30 420 700");
    QMainWindow main;
    main.setGeometry(50, 60, 760, 560);
    main.show();
    RunDialog(list, [&main](QWidget& dialog) {
        EXPECT_EQ(dialog.frameGeometry().size(), QSize(700, 420));
        // Centred to within the width of the dialog's frame, which the platform adds.
        const QPoint frame = dialog.geometry().topLeft() - dialog.frameGeometry().topLeft();
        EXPECT_LE((dialog.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(),
            frame.manhattanLength() + 2);
        dialog.resize(dialog.size() + QSize(20, 10));
    });
    const std::string stored = State().Values("TfrmImport");
    EXPECT_EQ(stored.substr(0, 2), "0 ");
    EXPECT_EQ(stored.substr(stored.size() - 8), " 430 720") << stored;

    State().SetValues("TfrmImport", "2");
    RunDialog(list, [](QWidget& dialog) {
        QApplication::processEvents();
        EXPECT_TRUE(dialog.isMaximized());
    });
    EXPECT_EQ(State().Values("TfrmImport"), "2");
}

TEST_F(Import, AHundredThousandSitesMoveInBatches)
{
    std::string text;
    for (int i = 0; i < LargeCount; ++i)
        text += "site" + std::to_string(i) + "=user\tpw\t\t\r\n";
    TbrmPwList large;
    large.LoadFromText(text);
    EXPECT_EQ(RunDialog(large, [](QWidget& dialog) {
        QListView& left = Left(dialog);
        QListView& right = Right(dialog);
        Press(dialog, "btnAddAll");
        EXPECT_EQ(left.model()->rowCount(), 0);
        EXPECT_EQ(right.model()->rowCount(), LargeCount);
        // Every other site: as many separate ranges as items chosen.
        QItemSelection everyOther;
        for (int row = 0; row < LargeCount; row += 2)
            everyOther.select(right.model()->index(row, 0), right.model()->index(row, 0));
        right.selectionModel()->select(everyOther, QItemSelectionModel::ClearAndSelect);
        Press(dialog, "btnRemove");
        EXPECT_EQ(left.model()->rowCount(), LargeCount / 2);
        EXPECT_EQ(right.model()->rowCount(), LargeCount / 2);
        Press(dialog, "btnOK");
    }), 1);
    EXPECT_EQ(large.Count(), LargeCount / 2);
}

} // namespace
