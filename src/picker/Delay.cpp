#include "Delay.h"

#include <QThread>

namespace tintaro {

void Delay::wait(int seconds)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 due = qint64(seconds) * 1000;
    // Sleep in short slices rather than spin: the thread holds no events anyway.
    while (clock.elapsed() < due)
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(20, due - clock.elapsed())));
}

} // namespace tintaro
