#include "services/brmFormRtn.h"

#include "platform/AppError.h"
#include "platform/qt/WindowGeometry.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

// A shown top-level window at the main window's designed bounds.
class Placement : public testing::Test {
protected:
    void SetUp() override
    {
        window.setMinimumSize(100, 100);
        MoveOuter(window, QPoint(251, 147));
        ResizeOuter(window, QSize(589, 518));
        window.show();
        QApplication::processEvents();
    }

    static QRect WorkArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QWidget window;
};

TEST_F(Placement, OnlyTheAccessorConstructsTheService)
{
    try {
        TbrmFormRtns direct;
        ADD_FAILURE() << "constructed directly";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "use FormRtn accessor function");
    }
    EXPECT_EQ(&FormRtn(), &FormRtn());
}

TEST_F(Placement, SavesStateTopLeftHeightWidth)
{
    EXPECT_EQ(FormRtn().SavePlacement(window), "0 147 251 518 589");
    window.showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(FormRtn().SavePlacement(window), "2");
}

TEST_F(Placement, RestoresBoundsOnlyAsFarAsTheTextGivesThem)
{
    FormRtn().RestorePlacement(window, "0 20 10 300 400");
    EXPECT_EQ(OuterGeometry(window), QRect(10, 20, 400, 300));
    for (const char* unchanged : { "", "0 -999 -999 -999 -999", "0", "junk" }) {
        FormRtn().RestorePlacement(window, unchanged);
        EXPECT_EQ(OuterGeometry(window), QRect(10, 20, 400, 300)) << unchanged;
    }
    FormRtn().RestorePlacement(window, "0  30   40 300 400 ");
    EXPECT_EQ(OuterGeometry(window).topLeft(), QPoint(40, 30));
}

TEST_F(Placement, FixedBordersKeepTheirSize)
{
    window.setFixedSize(300, 200);
    const QSize designed = OuterGeometry(window).size();
    FormRtn().RestorePlacement(window, "0 20 10 518 589");
    EXPECT_EQ(OuterGeometry(window), QRect(QPoint(10, 20), designed));
}

TEST_F(Placement, EveryRestoreFitsTheWindowIntoTheWorkArea)
{
    const QRect area = WorkArea();
    MoveOuter(window, QPoint(area.left() - 50, area.bottom() + 500));
    FormRtn().RestorePlacement(window, "");
    EXPECT_EQ(OuterGeometry(window).left(), area.left());
    EXPECT_EQ(OuterGeometry(window).bottom(), area.bottom());

    FormRtn().RestorePlacement(window, "0 0 " + std::to_string(area.right() - 100) + " 200 300");
    EXPECT_EQ(OuterGeometry(window).right(), area.right()) << "pulled back from beyond the right edge";
}

TEST_F(Placement, MaximisesAndMinimisesOnceTheEventLoopRuns)
{
    FormRtn().RestorePlacement(window, "2");
    EXPECT_FALSE(window.isMaximized()) << "shown normal first";
    const QRect normal = OuterGeometry(window);
    QApplication::processEvents();
    EXPECT_TRUE(window.isMaximized());
    window.showNormal();
    QApplication::processEvents();
    EXPECT_EQ(OuterGeometry(window), normal);

    FormRtn().RestorePlacement(window, "1 20 10 300 400");
    EXPECT_FALSE(window.isMinimized());
    QApplication::processEvents();
    EXPECT_TRUE(window.isMinimized());
    EXPECT_EQ(FormRtn().SavePlacement(window), "1 20 10 300 400") << "the normal bounds of a minimised window";
}

TEST(PlacementBeforeTheFirstShow, WaitsForTheWindowSystemToShowTheWindow)
{
    QWidget window;
    window.setMinimumSize(100, 100);
    FormRtn().RestorePlacement(window, "1 20 10 300 400");
    QApplication::processEvents();
    EXPECT_FALSE(window.isMinimized()) << "not minimised before the window is shown";
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(window.isMinimized());
    EXPECT_EQ(FormRtn().SavePlacement(window), "1 20 10 300 400") << "the outer bounds, once the frame is known";
}

TEST(OuterMinimum, IsTheSmallestOuterSizeBeforeAndAfterTheFrameIsKnown)
{
    QWidget early;
    SetOuterMinimumSize(early, QSize(350, 350));
    early.show();
    QApplication::processEvents();
    QWidget late;
    late.show();
    QApplication::processEvents();
    SetOuterMinimumSize(late, QSize(350, 350));
    for (QWidget* window : { &early, &late }) {
        window->resize(100, 100);
        EXPECT_EQ(window->frameGeometry().size(), QSize(350, 350));
        ResizeOuter(*window, QSize(360, 400));
        EXPECT_EQ(window->frameGeometry().size(), QSize(360, 400)) << "above the minimum, sizes are kept";
    }
}

} // namespace
