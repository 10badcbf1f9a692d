#include "platform/qt/WindowGeometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <optional>
#include <utility>

namespace {

QSize FrameExtra(const QWidget& window)
{
    return window.frameGeometry().size() - window.geometry().size();
}

QSize ClientSizeFor(const QWidget& window, QSize outer)
{
    return (outer - FrameExtra(window)).expandedTo(window.minimumSize()).boundedTo(window.maximumSize());
}

QSize ClientMinimumFor(const QWidget& window, QSize outer)
{
    return (outer - FrameExtra(window)).expandedTo(QSize(0, 0));
}

// What waits for the window system to show a window: the outer size and minimum
// need its frame, and minimising or maximising needs it mapped, since a window
// manager takes such a request only for a window it already manages. The sizes go
// first, so the normal bounds a maximised window returns to are the wanted ones.
class PendingPlacement : public QObject {
public:
    static constexpr const char* Name = "pendingPlacement";

    static PendingPlacement& Of(QWidget& window)
    {
        if (QObject* pending = window.findChild<QObject*>(Name, Qt::FindDirectChildrenOnly))
            return *static_cast<PendingPlacement*>(pending);
        return *new PendingPlacement(window);
    }

    void WantOuterSize(QSize size) { outerSize = size; }
    void WantOuterMinimum(QSize size) { outerMinimum = size; }
    void WantState(Qt::WindowState wanted)
    {
        state = wanted;
        SettleSoon();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == &window && type == QEvent::Show)
            WatchExposure();
        if ((watched == &window && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show))
            || (watched == window.windowHandle() && type == QEvent::Expose))
            Settle();
        return false;
    }

private:
    explicit PendingPlacement(QWidget& window) : QObject(&window), window(window)
    {
        setObjectName(Name);
        window.installEventFilter(this);
        WatchExposure();
    }

    void WatchExposure()
    {
        if (window.windowHandle() != nullptr)
            window.windowHandle()->installEventFilter(this);
    }

    bool Exposed() const { return window.windowHandle() != nullptr && window.windowHandle()->isExposed(); }

    // A window already on the screen changes its state once the event loop runs.
    void SettleSoon()
    {
        QMetaObject::invokeMethod(this, [this] { Settle(); }, Qt::QueuedConnection);
    }

    void Settle()
    {
        const bool exposed = Exposed();
        // An exposed window without a frame has none to wait for.
        if (!FrameExtra(window).isNull() || exposed)
            ApplySizes();
        if (exposed && state)
            ApplyState();
        if (!outerMinimum && !outerSize && !state) {
            window.removeEventFilter(this);
            if (window.windowHandle() != nullptr)
                window.windowHandle()->removeEventFilter(this);
            setObjectName(QString());
            deleteLater();
        }
    }

    // Taken before they are applied: applying them sends the events that settle.
    void ApplySizes()
    {
        const std::optional<QSize> minimum = std::exchange(outerMinimum, std::nullopt);
        const std::optional<QSize> size = std::exchange(outerSize, std::nullopt);
        if (minimum)
            window.setMinimumSize(ClientMinimumFor(window, *minimum));
        if (size)
            window.resize(ClientSizeFor(window, *size));
    }

    void ApplyState()
    {
        const Qt::WindowState wanted = *std::exchange(state, std::nullopt);
        ShowNormalState(window);
        window.setWindowState(window.windowState() | wanted);
    }

    QWidget& window;
    std::optional<QSize> outerSize;
    std::optional<QSize> outerMinimum;
    std::optional<Qt::WindowState> state;
};

} // namespace

QRect OuterGeometry(const QWidget& window)
{
    if (!window.isMinimized())
        return window.frameGeometry();
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    const QRect normal = window.normalGeometry();
    return normal.adjusted(frame.left() - client.left(), frame.top() - client.top(), frame.right() - client.right(),
        frame.bottom() - client.bottom());
}

void MoveOuter(QWidget& window, QPoint topLeft)
{
    window.move(topLeft);
}

void ResizeOuter(QWidget& window, QSize size)
{
    window.resize(ClientSizeFor(window, size));
    if (FrameExtra(window).isNull())
        PendingPlacement::Of(window).WantOuterSize(size);
}

void SetOuterMinimumSize(QWidget& window, QSize size)
{
    window.setMinimumSize(ClientMinimumFor(window, size));
    if (FrameExtra(window).isNull())
        PendingPlacement::Of(window).WantOuterMinimum(size);
}

bool IsSizeable(const QWidget& window)
{
    return window.minimumSize() != window.maximumSize();
}

TShownState ShownState(const QWidget& window)
{
    if (window.isMaximized())
        return TShownState::Maximised;
    return window.isMinimized() ? TShownState::Minimised : TShownState::Normal;
}

void ShowNormalState(QWidget& window)
{
    window.setWindowState(window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void QueueShownState(QWidget& window, TShownState state)
{
    const Qt::WindowState wanted = state == TShownState::Minimised ? Qt::WindowMinimized
        : state == TShownState::Maximised                          ? Qt::WindowMaximized
                                                                   : Qt::WindowNoState;
    PendingPlacement::Of(window).WantState(wanted);
}

std::vector<TScreenGeometry> ScreenGeometries()
{
    std::vector<TScreenGeometry> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back({ screen->geometry(), screen->availableGeometry() });
    return screens;
}
