#include "AboutBox.h"
#include "MainWindow.h"
#include "ScopedCurrentDir.h"
#include "Startup.h"
#include "TestFiles.h"
#include "Twips.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace tintaro;

class TestAboutBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void opensModalAndCloses_data();
    void opensModalAndCloses();
    void content();

private:
    std::unique_ptr<ScopedCurrentDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestAboutBox::initTestCase()
{
    m_dir = std::make_unique<ScopedCurrentDir>();
    TestFiles::write(m_dir->filePath(QStringLiteral("set.dat")), "\"Default\"\r\n");
    m_window = Startup::start();
    QVERIFY(m_window);
    // Away from the screen's edges, where a dialog is kept on the screen
    // rather than centred.
    m_window->move(300, 200);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestAboutBox::cleanupTestCase()
{
    m_window.reset();
    m_dir.reset();
}

void TestAboutBox::opensModalAndCloses_data()
{
    QTest::addColumn<bool>("byOk");
    QTest::newRow("Ok button") << true;
    QTest::newRow("close box") << false;
    QTest::newRow("Ok again: a fresh box") << true;
}

void TestAboutBox::opensModalAndCloses()
{
    QFETCH(bool, byOk);

    QPointer<QWidget> seen;
    bool modal = false;
    bool onTop = false;
    QPoint centreOffset;
    bool swapBlocked = false;
    QTimer::singleShot(0, this, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        seen = box;
        modal = box->isModal();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        centreOffset = box->frameGeometry().center() - m_window->frameGeometry().center();
        // While the box is open the main window takes no input: a click
        // through the window system on Expand changes nothing.
        auto* swap = m_window->findChild<QPushButton*>(QStringLiteral("cmdswap"));
        const QSize before = m_window->size();
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                          swap->mapTo(m_window.get(), swap->rect().center()));
        swapBlocked = m_window->size() == before && !m_window->isExpanded();
        if (byOk)
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        else
            box->close();
    });
    auto* about = m_window->findChild<QPushButton*>(QStringLiteral("cmdabout"));
    QTest::mouseClick(about, Qt::LeftButton); // returns when the box has closed

    QVERIFY(!seen); // released on closing
    QVERIFY(modal);
    QVERIFY(onTop);
    QVERIFY(swapBlocked);
    QVERIFY2(qAbs(centreOffset.x()) <= 2 && qAbs(centreOffset.y()) <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(centreOffset.x()).arg(centreOffset.y())));
    QVERIFY(m_window->isVisible()); // closing the box never ends the program
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    // Afterwards the same click reaches the window again.
    auto* swap = m_window->findChild<QPushButton*>(QStringLiteral("cmdswap"));
    QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                      swap->mapTo(m_window.get(), swap->rect().center()));
    QVERIFY(m_window->isExpanded());
    swap->click();
    QVERIFY(!m_window->isExpanded());
}

void TestAboutBox::content()
{
    AboutBox box(m_window.get());
    QCOMPARE(box.objectName(), QStringLiteral("frmabout"));
    QCOMPARE(box.windowTitle(), QStringLiteral("About Tintaro"));
    QCOMPARE(box.size(), Twips::size(3960, 2745));
    QVERIFY(!box.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!box.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(box.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Tintaro2.0"));
    QVERIFY(box.findChild<QLabel*>(QStringLiteral("Label4"))
                ->text()
                .startsWith(QLatin1String("For more information, please visit: ")));
    QVERIFY(box.findChild<QLabel*>(QStringLiteral("Label5"))
                ->text()
                .startsWith(QLatin1String("Any questions and suggestions, please email to: ")));
    QCOMPARE(box.findChild<QPushButton*>(QStringLiteral("Command1"))->text(), QStringLiteral("Ok"));
    QVERIFY(!box.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
