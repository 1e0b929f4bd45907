// What a modal message box does while it is open: it runs an event loop of its own,
// so timers keep firing behind it until the user presses OK.
#pragma once

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <functional>

namespace fk::test {

inline std::function<void()> EventLoopFor(std::chrono::milliseconds open_for) {
    return [open_for] {
        QEventLoop loop;
        QTimer::singleShot(open_for, &loop, &QEventLoop::quit);
        loop.exec();
    };
}

}  // namespace fk::test
