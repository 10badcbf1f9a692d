#include "platform/qt/TerminationNotifier.h"

#include <QtGlobal>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif

TTerminationNotifier::TTerminationNotifier(std::function<void()> onRequest)
{
    auto takeRequest = [this, onRequest = std::move(onRequest)] {
        if (caught.TakeRequest())
            onRequest();
    };
#ifdef Q_OS_WIN
    auto* notifier = new QWinEventNotifier(reinterpret_cast<Qt::HANDLE>(caught.Waitable()));
    QObject::connect(notifier, &QWinEventNotifier::activated, notifier, takeRequest);
#else
    auto* notifier = new QSocketNotifier(static_cast<qintptr>(caught.Waitable()), QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, takeRequest);
#endif
    watcher.reset(notifier);
}

TTerminationNotifier::~TTerminationNotifier() = default;
