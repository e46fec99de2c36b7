#pragma once

#include "MainWindow.h"
#include "MessageBoxes.h"
#include "ScopedCurrentDir.h"
#include "ShapeWidget.h"
#include "Startup.h"
#include "SwatchLabel.h"
#include "TestFiles.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tintaro;

// The palette's buttons a user can press, by the first word of their
// captions ("<", ">", "Delete", "Clean"), and "frame" while a swatch is marked.
inline QString usable(const MainWindowLayout& ui)
{
    QStringList on;
    for (const QPushButton* b : {ui.cmdpre, ui.cmdnext, ui.cmddel, ui.cmdclean})
        if (b->isVisible() && b->isEnabled())
            on << b->text().section(' ', 0, 0);
    if (ui.shp1->isVisible())
        on << "frame";
    return on.join(' ');
}

// The program started in a fresh folder holding the user's colours (null: no
// file), a set.dat of one name, 216 web-safe colours of its own and `files`
// (null: left out); expanded unless told otherwise.
class Program
{
public:
    static QByteArray webSafe(int count = 216) // never null: no colours is an empty file
    {
        return QByteArray("").append(TestFiles::records(count, 0x100000));
    }

    explicit Program(const QByteArray& userFile = {}, const QMap<QString, QByteArray>& files = {},
                     bool expanded = true)
    {
        QMap<QString, QByteArray> all{
            {"set.dat", "\"Default\"\r\n"}, {"websafe.rgb", webSafe()}, {"mycolor.rgb", userFile}};
        all.insert(files);
        for (auto f = all.cbegin(); f != all.cend(); ++f)
            if (!f->isNull())
                TestFiles::write(path(f.key()), *f);
        m_w = Startup::start();
        if (expanded)
            ui().cmdswap->click();
        (void)QTest::qWaitForWindowActive(m_w.get());
    }

    MainWindow& w() { return *m_w; }
    const MainWindowLayout& ui() { return m_w->controls(); }
    QString usable() { return ::usable(ui()); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray file(const QString& name = "mycolor.rgb") { return TestFiles::read(path(name)); }
    QWidget* find(const QString& name) { return m_w->findChild<QWidget*>(name); }
    void click(QWidget* c, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseClick(c, b, {}, c->rect().center());
    }
    void swatch(int cell, Qt::MouseButton b = Qt::LeftButton) { click(ui().lblcor[cell], b); }
    QColor colorAt(int cell) { return ui().lblcor[cell]->backColor(); }
    QStringList readout()
    {
        QStringList texts;
        for (const QLineEdit* box : {ui().txtrgb, ui().txtrgb1, ui().txtr, ui().txtrh, ui().txtg,
                                     ui().txtgh, ui().txtb, ui().txtbh})
            texts << box->text();
        return texts;
    }
    // The sample page's colours as a colour-set record; its backgrounds agree.
    QByteArray scheme()
    {
        for (const SwatchLabel* l : {ui().lbltext, ui().lblnl, ui().lblvl, ui().lblal, ui().lblhl})
            if (l->backColor() != ui().lbldisplay->backColor())
                return "backgrounds differ";
        return ColorSetRecord::fromColors(m_w->schemeColors()).bytes();
    }
    // Clicks `opener`, which returns once the modal dialog it opens closed,
    // and hands the dialog to `examine`; closes it after, if still open. The
    // dialog is modal, on top, of fixed size, centred on the window, and holds
    // back the window's clicks.
    void withDialog(QWidget* opener, const std::function<void(QDialog*)>& examine)
    {
        QPointer<QDialog> d;
        QTimer::singleShot(0, &w(), [&] {
            d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            [&] { // a failed check returns from here only, and the dialog closes
                QVERIFY(d);
                const auto sizing = Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
                const QPoint off = d->frameGeometry().center() - w().frameGeometry().center();
                const bool expanded = w().isExpanded();
                // A click through the window system, which the dialog must hold back.
                QTest::mouseClick(m_w->windowHandle(), Qt::LeftButton, {},
                                  ui().cmdswap->mapTo(&w(), ui().cmdswap->rect().center()));
                QVERIFY(d->isModal() && d->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
                        !(d->windowFlags() & sizing) && d->minimumSize() == d->maximumSize() &&
                        qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2 && w().isExpanded() == expanded);
                examine(d);
            }();
            if (d)
                d->close();
        });
        click(opener);
        QVERIFY(d.isNull() && !QApplication::activeModalWidget() && w().isVisible());
    }

private:
    ScopedCurrentDir m_dir;
    std::unique_ptr<MainWindow> m_w;
};
