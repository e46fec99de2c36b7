#include "MainWindow.h"
#include "Startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tintaro;

// The main window's handlers as the user meets them, on whichever platform
// the benchmark runs (offscreen or a real X server).
class BenchMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void fillPaletteFullPage();

private:
    QTemporaryDir m_dir;
    QString m_previous;
    std::unique_ptr<MainWindow> m_window;
};

void BenchMainWindow::initTestCase()
{
    m_previous = QDir::currentPath();
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    QFile names(QStringLiteral("set.dat"));
    QVERIFY(names.open(QIODevice::WriteOnly));
    names.write("\"Default\"\r\n");
    names.close();
    QByteArray records;
    for (int i = 0; i < 1000; ++i)
        records += QByteArray::number(i * 4099 % 0xFFFFFF, 16).toUpper().rightJustified(6, '0');
    QFile colours(QStringLiteral("mycolor.rgb"));
    QVERIFY(colours.open(QIODevice::WriteOnly));
    colours.write(records);
    colours.close();
    m_window = Startup::start();
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void BenchMainWindow::cleanupTestCase()
{
    m_window.reset();
    QDir::setCurrent(m_previous);
}

// Two pages whose every swatch differs, so that each fill repaints all 144.
void BenchMainWindow::fillPaletteFullPage()
{
    std::int32_t top = 1000;
    QBENCHMARK {
        m_window->FillPalette(top);
        top = top == 1000 ? 500 : 1000;
    }
}

QTEST_MAIN(BenchMainWindow)
#include "bench_mainwindow.moc"
