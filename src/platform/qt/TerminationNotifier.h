#pragma once

#include "platform/TerminationSignals.h"

#include <functional>
#include <memory>

class QObject;

// Catches the requests to end the program from outside it and calls OnRequest for
// them on the event loop, never inside a signal handler.
class TTerminationNotifier {
public:
    explicit TTerminationNotifier(std::function<void()> onRequest);
    ~TTerminationNotifier();
    TTerminationNotifier(const TTerminationNotifier&) = delete;
    TTerminationNotifier& operator=(const TTerminationNotifier&) = delete;

private:
    TTerminationSignals caught;
    std::unique_ptr<QObject> watcher;
};
