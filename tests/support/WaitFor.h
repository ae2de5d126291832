#pragma once
// Waiting in a test for something the event loop brings about (a timer, a queued call):
// the result is asserted by the test, so a condition that never holds fails it.
//
//   EXPECT_TRUE(kvtest::WaitFor([&] { return picture->Frame() != 1; }));
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

namespace kvtest {

// Processes events until condition holds or timeoutMs have passed; true when it held.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 3000)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

} // namespace kvtest
