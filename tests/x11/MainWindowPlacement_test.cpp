#include "MainWindowFixture.h"
#include "platform/qt/WindowGeometry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QWindow>

#include <functional>
#include <string>

namespace {

constexpr int Starts = 7;
// A window manager answers within this time, or not at all.
constexpr int AnswerMilliseconds = 5000;
// How long a state must hold: a late answer to an earlier request would show by then.
constexpr int SettleMilliseconds = 500;

bool WaitUntil(const std::function<bool()>& done, int milliseconds = AnswerMilliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void Settle()
{
    WaitUntil([] { return false; }, SettleMilliseconds);
}

bool Exposed(const QWidget& window)
{
    return window.windowHandle() != nullptr && window.windowHandle()->isExposed();
}

// Whether the window system has shown a window at all: a window minimised right
// after it was mapped may be exposed for a moment only. It goes with the window.
class ExposureWatch : public QObject {
public:
    explicit ExposureWatch(QWidget& window) : QObject(window.windowHandle())
    {
        exposed = window.windowHandle()->isExposed();
        window.windowHandle()->installEventFilter(this);
    }

    bool EverExposed() const { return exposed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        exposed |= event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed();
        return false;
    }

private:
    bool exposed = false;
};

QRect WorkArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// What a maximised window looks like, whatever frame the window manager leaves it.
bool FillsWorkArea(const QWidget& window)
{
    return window.geometry().width() > WorkArea().width() * 9 / 10
        && window.geometry().height() > WorkArea().height() * 9 / 10;
}

// The main window started as the program starts it, from a placement stored by an
// earlier run, under the X display's window manager.
class WindowManagerPlacement : public MainWindowFixture {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "no X display";
        MainWindowFixture::SetUp();
        window->show();
        if (!WaitUntil([this] { return Exposed(*window); }) || window->frameGeometry() == window->geometry())
            GTEST_SKIP() << "no window manager frames the windows";
        window.reset();
    }

    // One start: the stored placement is restored and the window shown.
    void Start(const std::string& placement)
    {
        State().SetValues("TfrmMain", placement);
        State().Save();
        TbrmState::Release();
        window = std::make_unique<TfrmMain>();
        window->show();
    }

    // The end of that start: the teardown stores the placement again.
    std::string Stop()
    {
        window.reset();
        TbrmState::Release();
        State().Load();
        return State().Values("TfrmMain");
    }
};

TEST_F(WindowManagerPlacement, AStoredMaximisedStateIsRestoredAtEveryStart)
{
    for (int start = 1; start <= Starts; ++start) {
        Start("2");
        const bool filled = WaitUntil([this] { return FillsWorkArea(*window); });
        Settle();
        EXPECT_TRUE(filled && window->isMaximized() && FillsWorkArea(*window))
            << "start " << start << ": " << FormRtn().SavePlacement(*window);
        EXPECT_EQ(FormRtn().SavePlacement(*window), "2") << "start " << start;
        window->showNormal();
        WaitUntil([this] { return !FillsWorkArea(*window); });
        Settle();
        EXPECT_EQ(Stop(), "0 147 251 518 589") << "start " << start << ": back to the designed bounds";
    }
}

TEST_F(WindowManagerPlacement, AStoredMinimisedStateIsRestoredAtEveryStart)
{
    for (int start = 1; start <= Starts; ++start) {
        Start("1 100 120 400 500");
        const auto* watch = new ExposureWatch(*window);
        const bool iconified = WaitUntil([&] { return watch->EverExposed() && !Exposed(*window); });
        Settle();
        EXPECT_TRUE(iconified && window->isMinimized() && !Exposed(*window)) << "start " << start;
        EXPECT_EQ(FormRtn().SavePlacement(*window), "1 100 120 400 500") << "start " << start;
        EXPECT_EQ(Stop(), "1 100 120 400 500") << "start " << start;
    }
}

TEST_F(WindowManagerPlacement, StoredNormalBoundsAreTheOuterOnes)
{
    for (int start = 1; start <= Starts; ++start) {
        Start("0 100 120 400 500");
        ASSERT_TRUE(WaitUntil([this] { return Exposed(*window); }));
        Settle();
        EXPECT_EQ(window->frameGeometry(), QRect(120, 100, 500, 400)) << "start " << start;
        EXPECT_EQ(Stop(), "0 100 120 400 500") << "start " << start;
    }
}

TEST_F(WindowManagerPlacement, TheOuterSizeIsAtLeastTheMinimum)
{
    Start("0 100 120 400 500");
    ASSERT_TRUE(WaitUntil([this] { return Exposed(*window); }));
    Settle();
    window->resize(100, 100);
    EXPECT_TRUE(WaitUntil([this] { return window->frameGeometry().size() == QSize(350, 350); }))
        << "outer size " << window->frameGeometry().width() << " x " << window->frameGeometry().height();
    ResizeOuter(*window, QSize(100, 100));
    Settle();
    EXPECT_EQ(window->frameGeometry().size(), QSize(350, 350));
    Stop();
}

} // namespace
