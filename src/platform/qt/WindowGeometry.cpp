#include "platform/qt/WindowGeometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {

QSize FrameExtra(const QWidget& window)
{
    return window.frameGeometry().size() - window.geometry().size();
}

QSize ClientSizeFor(const QWidget& window, QSize outer)
{
    return (outer - FrameExtra(window)).expandedTo(window.minimumSize()).boundedTo(window.maximumSize());
}

// Gives a window the outer size it was asked for once the window system has put
// its frame around it, then goes.
class OuterSizeKeeper : public QObject {
public:
    static constexpr const char* Name = "outerSizeKeeper";

    OuterSizeKeeper(QWidget& window, QSize wanted) : QObject(&window), window(window), wanted(wanted)
    {
        setObjectName(Name);
        window.installEventFilter(this);
    }

    void Want(QSize size) { wanted = size; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == &window && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)
            && !FrameExtra(window).isNull()) {
            window.removeEventFilter(this);
            setObjectName(QString());
            deleteLater();
            window.resize(ClientSizeFor(window, wanted));
        }
        return false;
    }

private:
    QWidget& window;
    QSize wanted;
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
    if (!FrameExtra(window).isNull())
        return;
    if (QObject* keeper = window.findChild<QObject*>(OuterSizeKeeper::Name, Qt::FindDirectChildrenOnly))
        static_cast<OuterSizeKeeper*>(keeper)->Want(size);
    else
        new OuterSizeKeeper(window, size);
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
    QMetaObject::invokeMethod(
        &window,
        [&window, wanted] {
            ShowNormalState(window);
            window.setWindowState(window.windowState() | wanted);
        },
        Qt::QueuedConnection);
}

std::vector<TScreenGeometry> ScreenGeometries()
{
    std::vector<TScreenGeometry> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back({ screen->geometry(), screen->availableGeometry() });
    return screens;
}
