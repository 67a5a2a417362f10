#include "lesson/audio/boundedwait.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

bool WaitBounded(const std::function<bool()> &reached, int boundMs) {
    QElapsedTimer clock;
    clock.start();
    while (!reached()) {
        if (clock.elapsed() >= boundMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}
