#include "shell/SiteListView.h"

#include <QApplication>
#include <QKeySequence>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

const QSize ViewSize(220, 170);

QStringList Names(int count)
{
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.append(QString("site %1").arg(i, 6, 10, QChar('0')));
    return names;
}

// The view next to a QListView on the same sites: the same rows must look the same.
class SiteListView : public testing::Test {
protected:
    void SetUp() override
    {
        view.setModel(&sites);
        reference.setModel(&sites);
        reference.setUniformItemSizes(true);
        for (QListView* list : { static_cast<QListView*>(&view), &reference }) {
            list->resize(ViewSize);
            list->show();
        }
        QApplication::processEvents();
    }

    void Fill(const QStringList& names)
    {
        sites.setStringList(names);
        QApplication::processEvents();
    }

    QModelIndex Row(int row) const { return sites.index(row); }
    int Rows() const { return sites.rowCount(); }
    int Current() const { return view.currentIndex().isValid() ? view.currentIndex().row() : -1; }
    int RowHeight() const { return reference.visualRect(Row(0)).height(); }
    int PageRows() const { return Rows() == 0 ? 0 : view.viewport()->height() / RowHeight() - 1; }
    int ScrollRange() const { return std::max(0, Rows() * RowHeight() - view.viewport()->height()); }

    bool InSight(const QModelIndex& index) const
    {
        return view.viewport()->rect().contains(view.visualRect(index));
    }

    // Where the two views differ, or empty when they paint the same pixels.
    std::string PaintingDifference() const
    {
        const QImage ours = view.viewport()->grab().toImage();
        const QImage theirs = reference.viewport()->grab().toImage();
        if (ours.size() != theirs.size())
            return "the viewports differ in size";
        for (int y = 0; y < ours.height(); ++y)
            for (int x = 0; x < ours.width(); ++x)
                if (ours.pixel(x, y) != theirs.pixel(x, y))
                    return "first different pixel at " + std::to_string(x) + "," + std::to_string(y);
        for (int row = 0; row < Rows(); ++row)
            if (view.visualRect(Row(row)) != reference.visualRect(Row(row)))
                return "row " + std::to_string(row) + " is placed elsewhere";
        return {};
    }

    QStringListModel sites;
    TSiteListView view;
    QListView reference;
};

// The same cases for an empty list, one site, a few and many.
class SiteListViewRows : public SiteListView, public testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        SiteListView::SetUp();
        Fill(Names(GetParam()));
    }

    // The first, a middle and the last row.
    std::set<int> SampleRows() const
    {
        return Rows() == 0 ? std::set<int> {} : std::set<int> { 0, Rows() / 2, Rows() - 1 };
    }
};

TEST_P(SiteListViewRows, ScrollToShowsTheRowWhereIndexAtFindsIt)
{
    EXPECT_EQ(view.verticalScrollBar()->maximum(), ScrollRange());
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    const int height = view.viewport()->height();
    const int width = view.viewport()->width();
    QScrollBar& bar = *view.verticalScrollBar();
    for (const int row : SampleRows()) {
        for (const auto hint : { QAbstractItemView::EnsureVisible, QAbstractItemView::PositionAtTop,
                 QAbstractItemView::PositionAtBottom, QAbstractItemView::PositionAtCenter }) {
            SCOPED_TRACE("row " + std::to_string(row) + ", hint " + std::to_string(hint));
            view.scrollTo(Row(row), hint);
            const QRect place = view.visualRect(Row(row));
            EXPECT_TRUE(InSight(Row(row)));
            EXPECT_EQ(place.height(), RowHeight());
            EXPECT_EQ(place.width(), width);
            if (hint == QAbstractItemView::PositionAtTop && bar.value() < bar.maximum()) {
                EXPECT_EQ(place.top(), 0);
            }
            if (hint == QAbstractItemView::PositionAtBottom && bar.value() > 0) {
                EXPECT_EQ(place.bottom(), height - 1);
            }
            if (hint == QAbstractItemView::PositionAtCenter && bar.value() > 0 && bar.value() < bar.maximum()) {
                EXPECT_LE(std::abs(place.center().y() - height / 2), RowHeight() / 2 + 1);
            }

            EXPECT_EQ(view.indexAt(place.topLeft()), Row(row));
            EXPECT_EQ(view.indexAt(place.bottomRight()), Row(row));
            EXPECT_EQ(view.indexAt(place.topLeft() - QPoint(0, 1)), row > 0 ? Row(row - 1) : QModelIndex());
            EXPECT_EQ(view.indexAt(place.bottomLeft() + QPoint(0, 1)), row + 1 < Rows() ? Row(row + 1) : QModelIndex());
            EXPECT_FALSE(view.indexAt(QPoint(-1, place.center().y())).isValid());
            EXPECT_FALSE(view.indexAt(QPoint(width, place.center().y())).isValid());
        }
    }
    EXPECT_FALSE(view.visualRect(QModelIndex()).isValid());
    if (Rows() < height / std::max(1, RowHeight())) {
        EXPECT_FALSE(view.indexAt(QPoint(0, height - 1)).isValid()) << "below the last row";
    }
}

TEST_P(SiteListViewRows, KeysMoveTheCurrentRowAndKeepItInSight)
{
    const int last = Rows() - 1;
    const int page = PageRows();
    const auto atMost = [last](int row) { return std::clamp(row, std::min(0, last), last); };
    struct Step {
        Qt::Key key;
        int expected;
    };
    const std::vector<Step> steps {
        { Qt::Key_Down, atMost(0) }, // the first row when none is current
        { Qt::Key_Up, atMost(0) },
        { Qt::Key_PageUp, atMost(0) },
        { Qt::Key_Down, atMost(1) },
        { Qt::Key_PageDown, atMost(1 + page) },
        { Qt::Key_PageDown, atMost(1 + 2 * page) },
        { Qt::Key_End, last },
        { Qt::Key_Down, last },
        { Qt::Key_PageDown, last },
        { Qt::Key_Up, atMost(last - 1) },
        { Qt::Key_PageUp, atMost(std::max(0, last - 1 - page)) },
        { Qt::Key_Left, atMost(std::max(0, last - 1 - page)) },
        { Qt::Key_Right, atMost(std::max(0, last - 1 - page)) },
        { Qt::Key_Home, atMost(0) },
    };
    // Focus given by a window manager may already have made the first row current.
    view.selectionModel()->clearCurrentIndex();
    for (const Step& step : steps) {
        SCOPED_TRACE(QKeySequence(step.key).toString().toStdString());
        QTest::keyClick(&view, step.key);
        EXPECT_EQ(Current(), step.expected);
        if (step.expected >= 0) {
            EXPECT_TRUE(InSight(Row(step.expected)));
            EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList { Row(step.expected) });
        }
    }
}

TEST_P(SiteListViewRows, AClickSelectsTheClickedRowAndADoubleClickReportsIt)
{
    QSignalSpy doubleClicked(&view, &QAbstractItemView::doubleClicked);
    for (const int row : SampleRows()) {
        SCOPED_TRACE(row);
        view.scrollTo(Row(row), QAbstractItemView::PositionAtCenter);
        const QPoint centre = view.visualRect(Row(row)).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre);
        EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList { Row(row) });
        EXPECT_EQ(Current(), row);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre);
        ASSERT_FALSE(doubleClicked.isEmpty());
        EXPECT_EQ(doubleClicked.takeLast().first().value<QModelIndex>(), Row(row));
    }
}

TEST_P(SiteListViewRows, InsertsAndRemovalsKeepTheCurrentRowAndTheScrollRange)
{
    if (Rows() == 0)
        sites.insertRows(0, 1);
    const int middle = Rows() / 2;
    view.setCurrentIndex(Row(middle));

    sites.insertRows(0, 1);
    QApplication::processEvents();
    EXPECT_EQ(Current(), middle + 1);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), ScrollRange());

    // The window selects a site it has just added before the view has laid anything out.
    sites.insertRows(Rows(), 1);
    view.setCurrentIndex(Row(Rows() - 1));
    EXPECT_TRUE(InSight(Row(Rows() - 1))) << "a row added at the end is shown at once";

    view.setCurrentIndex(Row(middle + 1));
    sites.removeRows(0, 1);
    QApplication::processEvents();
    EXPECT_EQ(Current(), middle);
    sites.removeRows(Rows() - 1, 1);
    QApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), ScrollRange());

    sites.removeRows(0, Rows());
    QApplication::processEvents();
    EXPECT_EQ(Current(), -1);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
}

INSTANTIATE_TEST_SUITE_P(Counts, SiteListViewRows, testing::Values(0, 1, 5, 100000));

TEST_F(SiteListView, PaintsTheSameRowsAsAQListViewThroughEveryChange)
{
    Fill({ "Alpha", "Bravo", "Charlie", "Delta", "Echo" });
    EXPECT_EQ(PaintingDifference(), "");

    for (QListView* list : { static_cast<QListView*>(&view), &reference })
        list->setCurrentIndex(Row(2));
    QApplication::processEvents();
    EXPECT_EQ(PaintingDifference(), "") << "selected";

    const auto focusedShot = [](QListView& list) {
        list.activateWindow();
        list.setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&list));
        QApplication::processEvents();
        return list.viewport()->grab().toImage();
    };
    const QImage ourFocused = focusedShot(view);
    const QImage theirFocused = focusedShot(reference);
    EXPECT_TRUE(ourFocused == theirFocused) << "selected with the focus";
    EXPECT_FALSE(ourFocused == view.viewport()->grab().toImage()) << "the focus shows";
    reference.clearFocus();

    sites.insertRows(0, 1);
    sites.setData(Row(0), "Aardvark");
    sites.removeRows(3, 1);
    QApplication::processEvents();
    EXPECT_EQ(PaintingDifference(), "") << "after an insert and a removal";

    QFont larger = view.font();
    larger.setPointSize(larger.pointSize() * 2);
    view.setFont(larger);
    reference.setFont(larger);
    QApplication::processEvents();
    EXPECT_EQ(PaintingDifference(), "") << "after a font change";

    view.resize(ViewSize / 2);
    reference.resize(ViewSize / 2);
    QApplication::processEvents();
    EXPECT_EQ(PaintingDifference(), "") << "after a resize";

    Fill({ "Xray", "Yankee" });
    EXPECT_EQ(PaintingDifference(), "") << "after a reset";
}

TEST_F(SiteListView, PaintsTheRowsInSightOfManySites)
{
    Fill(Names(100000));
    for (QListView* list : { static_cast<QListView*>(&view), &reference }) {
        list->scrollTo(Row(50000), QAbstractItemView::PositionAtTop);
        list->setCurrentIndex(Row(50003));
    }
    QApplication::processEvents();
    EXPECT_EQ(view.indexAt(QPoint(0, 0)), Row(50000));
    const QImage ours = view.viewport()->grab().toImage();
    const QImage theirs = reference.viewport()->grab().toImage();
    EXPECT_TRUE(ours == theirs);
}

TEST_F(SiteListView, TypingALetterJumpsToTheNextSiteStartingWithIt)
{
    Fill({ "alpha", "Bravo", "charlie", "Cobra", "delta" });
    view.setCurrentIndex(Row(0));
    // Each letter starts a search of its own, as when typed slowly.
    const int interval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(0);
    const std::vector<std::pair<char, int>> typing { { 'c', 2 }, { 'c', 3 }, { 'c', 2 }, { 'd', 4 }, { 'z', 4 } };
    for (const auto& [letter, expected] : typing) {
        SCOPED_TRACE(letter);
        QTest::qWait(2);
        QTest::keyClick(&view, letter);
        EXPECT_EQ(Current(), expected);
        EXPECT_TRUE(InSight(Row(expected)));
    }
    QApplication::setKeyboardInputInterval(interval);
}

} // namespace
