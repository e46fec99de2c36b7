#include "PaletteState.h"

#include <QtTest>

using namespace tintaro;

// Each row starts the program with a number of user colours, then plays a
// script of user actions: n = ">", p = "<", w = web-safe palette,
// u = user palette, k = a pick, d = a deletion, c<N> = cleaning keeping N.
class TestPaletteState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void script_data();
    void script();
};

void TestPaletteState::script_data()
{
    QTest::addColumn<int>("colours");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("next");
    QTest::addColumn<bool>("prev");
    QTest::addColumn<bool>("clean");

    QTest::newRow("empty file") << 0 << "" << 0 << 0 << false << false << false;
    QTest::newRow("one colour") << 1 << "" << 1 << 1 << false << false << false;
    QTest::newRow("two colours") << 2 << "" << 2 << 2 << false << false << true;
    QTest::newRow("exactly one page") << 144 << "" << 144 << 144 << false << false << true;
    QTest::newRow("one more than a page") << 145 << "" << 145 << 145 << true << false << true;
    QTest::newRow("150: older page") << 150 << "n" << 150 << 142 << false << true << true;
    QTest::newRow("150: and back") << 150 << "np" << 150 << 150 << true << false << true;
    QTest::newRow("145: older page") << 145 << "n" << 145 << 137 << false << true << true;
    QTest::newRow("153: two pages on") << 153 << "nn" << 153 << 137 << false << true << true;
    QTest::newRow("153: delete there") << 153 << "nnd" << 152 << 136 << false << true << true;
    QTest::newRow("153: back re-enables >") << 153 << "nndp" << 152 << 144 << true << true << true;
    QTest::newRow("153: shorter last page") << 153 << "nndpn" << 152 << 136 << false << true << true;
    QTest::newRow("web-safe first page") << 10 << "w" << 10 << 216 << true << false << true;
    QTest::newRow("web-safe nine pages on")
        << 10 << "wnnnnnnnnn" << 10 << 144 << false << true << true;
    QTest::newRow("web-safe back to the top") << 10 << "wnp" << 10 << 216 << true << false << true;
    QTest::newRow("user page kept across a switch")
        << 300 << "nnwu" << 300 << 284 << true << true << true;
    QTest::newRow("web-safe page kept across a switch")
        << 300 << "wnnuw" << 300 << 200 << true << true << true;
    QTest::newRow("user buttons kept across a switch")
        << 150 << "nwnu" << 150 << 142 << false << true << true;
    QTest::newRow("pick on an older page moves the top")
        << 300 << "nk" << 301 << 293 << true << true << true;
    QTest::newRow("pick makes a second page") << 144 << "k" << 145 << 145 << true << false << true;
    QTest::newRow("pick within a page") << 10 << "k" << 11 << 11 << false << false << true;
    QTest::newRow("first pick leaves cleaning off") << 0 << "k" << 1 << 1 << false << false << false;
    QTest::newRow("second pick enables cleaning") << 0 << "kk" << 2 << 2 << false << false << true;
    QTest::newRow("delete the only colour") << 1 << "d" << 0 << 0 << false << false << false;
    QTest::newRow("delete leaves cleaning as it was") << 5 << "d" << 4 << 4 << false << false << true;
    QTest::newRow("delete back to one page") << 145 << "d" << 144 << 144 << false << false << true;
    QTest::newRow("clean goes to the newest page")
        << 300 << "nnc200" << 200 << 200 << true << false << false;
    QTest::newRow("clean to one page") << 300 << "c3" << 3 << 3 << false << false << false;
    QTest::newRow("pick after cleaning") << 300 << "c3k" << 4 << 4 << false << false << true;
}

void TestPaletteState::script()
{
    QFETCH(int, colours);
    QFETCH(QString, actions);
    QFETCH(int, count);
    QFETCH(int, top);
    QFETCH(bool, next);
    QFETCH(bool, prev);
    QFETCH(bool, clean);

    PaletteState s;
    s.startUp(colours);
    for (int i = 0; i < actions.size(); ++i) {
        switch (actions[i].toLatin1()) {
        case 'n':
            QVERIFY2(s.nextEnabled, "'>' pressed while disabled");
            s.next();
            break;
        case 'p':
            QVERIFY2(s.prevEnabled, "'<' pressed while disabled");
            s.previous();
            break;
        case 'w':
            s.showWebSafe();
            break;
        case 'u':
            s.showUser();
            break;
        case 'k':
            s.picked();
            break;
        case 'd':
            s.deleted();
            break;
        case 'c': {
            int digits = i + 1;
            while (digits < actions.size() && actions[digits].isDigit())
                ++digits;
            s.cleaned(actions.mid(i + 1, digits - i - 1).toInt());
            i = digits - 1;
            break;
        }
        default:
            QFAIL("unknown action");
        }
        // The page tops never leave their palettes.
        QVERIFY(s.UserPagePos >= 0);
        QVERIFY(s.UserColorCount - s.UserPagePos >= 0);
        QCOMPARE((s.UserColorCount - s.UserPagePos) % 8, 0);
        QVERIFY(s.WebSafePagePos >= 144 && s.WebSafePagePos <= 216);
        QCOMPARE((216 - s.WebSafePagePos) % 8, 0);
    }
    QCOMPARE(s.UserColorCount, count);
    QCOMPARE(s.pageTop(), top);
    QCOMPARE(s.nextEnabled, next);
    QCOMPARE(s.prevEnabled, prev);
    QCOMPARE(s.cleanEnabled, clean);
}

QTEST_APPLESS_MAIN(TestPaletteState)
#include "tst_palettestate.moc"
