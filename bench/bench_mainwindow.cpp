#include "MainWindow.h"
#include "Startup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tintaro;

namespace {

QByteArray distinctRecords(int count)
{
    QByteArray records;
    records.reserve(count * 6);
    for (int i = 0; i < count; ++i)
        records += QByteArray::number(qint64(i) * 4099 % 0xFFFFFF, 16).toUpper().rightJustified(6, '0');
    return records;
}

} // namespace

// The main window's handlers as the user meets them, on whichever platform
// the benchmark runs (offscreen or a real X server).
class BenchMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void fillPaletteFullPage();
    void pageChange();
    void deleteOneOfAMillion();
    void cleanAMillionHalfDuplicates();

private:
    void startWith(const QByteArray& records);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previous = QDir::currentPath();
    std::unique_ptr<MainWindow> m_window;
};

void BenchMainWindow::startWith(const QByteArray& records)
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    QFile names(QStringLiteral("set.dat"));
    QVERIFY(names.open(QIODevice::WriteOnly));
    names.write("\"Default\"\r\n");
    names.close();
    QFile colours(QStringLiteral("mycolor.rgb"));
    QVERIFY(colours.open(QIODevice::WriteOnly));
    colours.write(records);
    colours.close();
    m_window = Startup::start();
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->cmdswap_Click();
}

void BenchMainWindow::cleanup()
{
    m_window.reset();
    QDir::setCurrent(m_previous);
    m_dir.reset();
}

// Two pages whose every swatch differs, so that each fill repaints all 144.
void BenchMainWindow::fillPaletteFullPage()
{
    startWith(distinctRecords(1000));
    std::int32_t top = 1000;
    QBENCHMARK {
        m_window->FillPalette(top);
        top = top == 1000 ? 500 : 1000;
    }
}

// ">" then "<": two page changes a round, each refilling the grid.
void BenchMainWindow::pageChange()
{
    startWith(distinctRecords(1000));
    QBENCHMARK {
        m_window->cmdnext_Click();
        m_window->cmdpre_Click();
    }
    QCOMPARE(m_window->state().UserPagePos, 1000);
}

void BenchMainWindow::deleteOneOfAMillion()
{
    startWith(distinctRecords(1000000));
    m_window->lblcor_MouseUp(70, 1);
    QElapsedTimer timer;
    timer.start();
    m_window->cmddel_Click();
    const qint64 ns = timer.nsecsElapsed();
    QCOMPARE(m_window->state().UserColorCount, 999999);
    qInfo("delete one record of 1,000,000: %.1f ms", ns / 1e6);
}

void BenchMainWindow::cleanAMillionHalfDuplicates()
{
    const QByteArray half = distinctRecords(500000);
    startWith(half + half);
    QElapsedTimer timer;
    timer.start();
    m_window->cmdclean_Click();
    const qint64 ns = timer.nsecsElapsed();
    QCOMPARE(m_window->state().UserColorCount, 500000);
    qInfo("clean 1,000,000 records, half duplicates: %.1f ms", ns / 1e6);
}

QTEST_MAIN(BenchMainWindow)
#include "bench_mainwindow.moc"
