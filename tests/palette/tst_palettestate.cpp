#include "PaletteFile.h"
#include "PaletteState.h"

#include <QtTest>

using namespace tintaro;

class TestPaletteState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // From a number of user colours, a script: n = ">", p = "<", w and u show
    // the web-safe and the user palette, k picks, d deletes, c<N> cleans
    // keeping N. After it: colours, page top, and the buttons enabled.
    void paging_data()
    {
        QTest::addColumn<int>("colours");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("after");
        const std::tuple<const char*, int, const char*, const char*> rows[] = {
            {"two colours", 2, "", "2 2 clean"},
            {"exactly one page", 144, "", "144 144 clean"},
            {"145: older page", 145, "n", "145 137 < clean"},
            {"153: back after a delete re-enables >", 153, "nndp", "152 144 > < clean"},
            {"web-safe nine pages on", 10, "wnnnnnnnnn", "10 144 < clean"},
            {"user page kept across a switch", 300, "nnwu", "300 284 > < clean"},
            {"user buttons kept across a switch", 150, "nwnu", "150 142 < clean"},
            {"pick on an older page moves the top", 300, "nk", "301 293 > < clean"},
            {"pick makes a second page", 144, "k", "145 145 > clean"},
            {"delete leaves cleaning as it was", 5, "d", "4 4 clean"},
            {"clean goes to the newest page", 300, "nnc200", "200 200 >"},
            {"pick after cleaning", 300, "c3k", "4 4 clean"},
        };
        for (const auto& [name, colours, script, after] : rows)
            QTest::newRow(name) << colours << QString(script) << QString(after);
    }

    void paging()
    {
        QFETCH(int, colours);
        QFETCH(QString, script);
        QFETCH(QString, after);
        const QHash<QString, void (PaletteState::*)()> steps{
            {"n", &PaletteState::next},        {"p", &PaletteState::previous},
            {"w", &PaletteState::showWebSafe}, {"u", &PaletteState::showUser},
            {"k", &PaletteState::picked},      {"d", &PaletteState::deleted}};
        PaletteState s;
        s.startUp(colours);
        for (const QRegularExpressionMatch& m : QRegularExpression("c\\d+|.").globalMatch(script)) {
            const QString step = m.captured();
            QVERIFY2((step != "n" || s.nextEnabled) && (step != "p" || s.prevEnabled),
                     "pressed while off");
            if (step[0] == 'c')
                s.cleaned(step.mid(1).toInt());
            else
                (s.*steps[step])();
            // The page tops never leave their palettes.
            QVERIFY(s.UserPagePos >= 0 && s.UserColorCount >= s.UserPagePos);
            QVERIFY((s.UserColorCount - s.UserPagePos) % 8 == 0 &&
                    (216 - s.WebSafePagePos) % 8 == 0);
            QVERIFY(s.WebSafePagePos >= 144 && s.WebSafePagePos <= 216);
        }
        QCOMPARE(QString::number(s.UserColorCount) + ' ' + QString::number(s.pageTop()) +
                     (s.nextEnabled ? " >" : "") + (s.prevEnabled ? " <" : "") +
                     (s.cleanEnabled ? " clean" : ""),
                 after);
    }
};

QTEST_APPLESS_MAIN(TestPaletteState)
#include "tst_palettestate.moc"
