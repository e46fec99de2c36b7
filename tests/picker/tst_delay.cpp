#include "Delay.h"

#include <QElapsedTimer>
#include <QTest>

using namespace tintaro;

class TestDelay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void waitsTheSecondsAsked();
};

// The wait is the behaviour, so this one test measures time.
void TestDelay::waitsTheSecondsAsked()
{
    QElapsedTimer clock;
    clock.start();
    Delay::wait(1);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 900 && elapsed <= 1600, qPrintable(QString::number(elapsed) + " ms"));
}

QTEST_APPLESS_MAIN(TestDelay)
#include "tst_delay.moc"
