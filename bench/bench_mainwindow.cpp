// The main window's handlers, timed as the user meets them.
#include "MainWindow.h"
#include "PickSession.h"
#include "ScreenGrabber.h"
#include "Startup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace tintaro;

#include "bench_common.h"

namespace {

// A desktop that gives no image, only its picker's colours, handed in here
// as the portal's answers would arrive.
class PickerOnly : public ScreenGrabber
{
public:
    void request(Done done) override
    {
        GrabResult result;
        result.colorsOnly = true;
        done(result);
    }
    void requestColor(ColorDone done) override { m_done = std::move(done); }
    void cancel() override { m_done = nullptr; }
    void answer(ColorValue color)
    {
        if (ColorDone done = std::exchange(m_done, nullptr))
            done({color, {}});
    }

private:
    ColorDone m_done;
};

} // namespace

class BenchMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        m_window.reset();
        QDir::setCurrent(m_previous);
        m_dir.reset();
    }

    // Two pages whose every swatch differs, so that each fill repaints all 144.
    void fillPaletteFullPage()
    {
        startWith(bench::records(1000));
        std::int32_t top = 1000;
        QBENCHMARK
        {
            m_window->FillPalette(top);
            top = top == 1000 ? 500 : 1000;
        }
    }

    // ">" then "<": two page changes a round.
    void pageChange()
    {
        startWith(bench::records(1000));
        QBENCHMARK
        {
            m_window->cmdnext_Click();
            m_window->cmdpre_Click();
        }
    }

    void deleteOneOfAMillion()
    {
        startWith(bench::records(1000000));
        m_window->lblcor_MouseUp(70, 1);
        QElapsedTimer timer;
        timer.start();
        m_window->cmddel_Click();
        const qint64 ns = timer.nsecsElapsed();
        QCOMPARE(m_window->state().UserColorCount, 999999);
        qInfo("delete one record of 1,000,000: %.1f ms", ns / 1e6);
    }

    void cleanAMillionHalfDuplicates()
    {
        const QByteArray half = bench::records(500000);
        startWith(half + half);
        QElapsedTimer timer;
        timer.start();
        m_window->cmdclean_Click();
        const qint64 ns = timer.nsecsElapsed();
        QCOMPARE(m_window->state().UserColorCount, 500000);
        qInfo("clean 1,000,000 records, half duplicates: %.1f ms", ns / 1e6);
    }

    // One colour from the desktop's picker: the record appended, Newest
    // Pick, the readout and the target updated, and the next one asked for.
    void pickerAnswer()
    {
        startWith(bench::records(1000));
        auto grabber = std::make_unique<PickerOnly>();
        PickerOnly* picker = grabber.get();
        m_window->setScreenGrabber(std::move(grabber));
        m_window->setPickDelay(0);
        m_window->cmdstart_Click();
        QTRY_VERIFY(m_window->pickSession() && m_window->pickSession()->isColorsOnly());
        const int before = m_window->state().UserColorCount;
        int answers = 0;
        QBENCHMARK
        {
            picker->answer(makeColor(answers, answers >> 8, 99));
            ++answers;
        }
        QCOMPARE(m_window->state().UserColorCount, before + answers);
        m_window->cmdstop_Click();
    }

private:
    // An expanded main window over `records` in a folder of its own.
    void startWith(const QByteArray& records)
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
        QVERIFY(bench::writeFile(QStringLiteral("set.dat"), "\"Default\"\r\n"));
        QVERIFY(bench::writeFile(QStringLiteral("mycolor.rgb"), records));
        m_window = Startup::start();
        QVERIFY(m_window && QTest::qWaitForWindowExposed(m_window.get()));
        m_window->cmdswap_Click();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previous = QDir::currentPath();
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(BenchMainWindow)
#include "bench_mainwindow.moc"
