#include "fakeplatform.h"
#include "selection.h"
#include "wordtable.h"

#include <QTest>

namespace {
WordTable table(const QStringList &lessonFields)
{
    WordTable t;
    for (int i = 0; i < lessonFields.size(); ++i)
        t.append(lessonFields.at(i), lessonFields.at(i).left(2), QStringLiteral("en%1").arg(i),
                 QStringLiteral("it%1").arg(i));
    return t;
}

SelectionOptions choose(int order, const QList<int> &ticked)
{
    SelectionOptions o;
    o.order = order;
    o.Ckles[0] = false;
    for (int k : ticked)
        o.Ckles[std::size_t(k)] = true;
    return o;
}

CriticalList critical(const QList<int> &words)
{
    CriticalList memoc;
    for (int w : words)
        memoc.add(w);
    return memoc;
}

QList<int> used(const WordSelection &s)
{
    return s.selection.mid(1, s.selectionCount);
}

const QString Wrap = QStringLiteral("Ho fatto tutti quelli scelti... ricomincio");
const QString CriticalEnd = QStringLiteral("Critici terminati ...");
} // namespace

class TestSelection : public QObject
{
    Q_OBJECT

private slots:
    void build_data()
    {
        QTest::addColumn<QStringList>("lessons");
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<int>>("ticked"); // 0 is "Tutte"
        QTest::addColumn<QList<int>>("memoc");
        QTest::addColumn<QList<int>>("expected");
        QTest::addColumn<int>("position");

        const QStringList lessons { "01", " 2 c", "05  ", " 0", "02", "12" };
        QTest::newRow("all lessons forward") << lessons << 2 << QList<int> { 0 } << QList<int> {}
                                             << QList<int> { 0, 1, 2, 3, 4, 5 } << 0;
        QTest::newRow("lessons 2 and 5 backward") << lessons << 3 << QList<int> { 2, 5 } << QList<int> {}
                                                  << QList<int> { 1, 2, 4 } << 4;
        QTest::newRow("lesson 0 only through Tutte") << lessons << 2 << QList<int> { 1, 12 } << QList<int> {}
                                                     << QList<int> { 0, 5 } << 0;
        QTest::newRow("random keeps the position") << lessons << 1 << QList<int> { 12 } << QList<int> {}
                                                   << QList<int> { 5 } << 7;
        QTest::newRow("critical: chosen lessons in word order, duplicates kept")
            << lessons << 4 << QList<int> { 2 } << QList<int> { 5, 4, 1, 0, 4 } << QList<int> { 1, 4, 4 } << 0;
        QTest::newRow("critical: vanished rows skipped")
            << lessons << 4 << QList<int> { 0 } << QList<int> { 2, 40, 9999 } << QList<int> { 2 } << 0;
        QTest::newRow("rows without a valid lesson never chosen")
            << QStringList { "01", "##", "ab", "21", "", "-1", " 3" } << 2 << QList<int> { 0 } << QList<int> {}
            << QList<int> { 0, 6 } << 0;
    }
    void build()
    {
        QFETCH(QStringList, lessons);
        QFETCH(int, order);
        QFETCH(QList<int>, ticked);
        QFETCH(QList<int>, memoc);
        QFETCH(QList<int>, expected);
        QFETCH(int, position);

        WordSelection s;
        s.options = choose(order, ticked);
        s.selectionPos = 7;
        s.buildSelection(table(lessons), critical(memoc));
        QCOMPARE(s.orderMode, order);
        QCOMPARE(s.builtMode, order);
        QCOMPARE(s.wordCount, lessons.size());
        QCOMPARE(used(s), expected);
        QCOMPARE(s.selection.size(), expected.size() + 2); // unused entry 0 and the spare
        QCOMPARE(s.selectionPos, position);
        for (int w = -1; w <= lessons.size(); ++w)
            QCOMPARE(s.isSelected(w), expected.contains(w));
    }

    void firstBuildIsForwardOverAllLessons()
    {
        WordSelection s; // design values of the options window
        s.buildSelection(table({ "01", "02", " 0" }), {});
        QCOMPARE(s.orderMode, 2);
        QCOMPARE(used(s), (QList<int> { 0, 1, 2 }));
    }

    void buildRunsOnlyWhenOutOfDate()
    {
        WordSelection s;
        s.buildSelection(table({ "01", "02" }), {});
        s.options = choose(2, { 2 });
        s.buildSelection(table({ "01", "02" }), {});
        QCOMPARE(used(s), (QList<int> { 0, 1 })); // builtMode == orderMode: kept
        s.builtMode = 9;
        s.buildSelection(table({ "01", "02" }), {});
        QCOMPARE(used(s), (QList<int> { 1 }));
    }

    // Each step answers the word drawn before it, then draws. A step gives the
    // word drawn, or "cancel", "done" (critical words finished) or "none".
    void draws_data()
    {
        QTest::addColumn<QStringList>("lessons");
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QList<int>>("memoc");
        QTest::addColumn<QList<double>>("randoms");
        QTest::addColumn<QList<int>>("answers"); // 1 = OK, 0 = Cancel
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("messages");

        const QStringList lessons { "01", "02", "01", "03", "01" };
        const QList<int> lesson1 { 1 };
        QTest::newRow("forward, OK at the end") << lessons << 2 << lesson1 << QList<int> {} << QList<double> {}
                                                << QList<int> { 1 } << QStringList { "0", "2", "4", "0", "2" }
                                                << QStringList { Wrap };
        QTest::newRow("forward, Cancel at the end")
            << lessons << 2 << lesson1 << QList<int> {} << QList<double> {} << QList<int> { 0 }
            << QStringList { "0", "2", "4", "cancel" } << QStringList { Wrap };
        QTest::newRow("backward starts at the last word")
            << lessons << 3 << lesson1 << QList<int> {} << QList<double> {} << QList<int> { 1 }
            << QStringList { "4", "2", "0", "4" } << QStringList { Wrap };
        QTest::newRow("backward, Cancel at the start")
            << lessons << 3 << lesson1 << QList<int> {} << QList<double> {} << QList<int> { 0 }
            << QStringList { "4", "2", "0", "cancel" } << QStringList { Wrap };
        QTest::newRow("random over two words alternates")
            << QStringList { "01", "02" } << 1 << QList<int> { 0 } << QList<int> {}
            << QList<double> { 0.0, 0.9, 0.9, 0.2, 0.6, 0.4 } << QList<int> {} << QStringList { "1", "0", "1", "0" }
            << QStringList {};
        QTest::newRow("random with a stuck generator still moves on")
            << QStringList { "01", "02" } << 1 << QList<int> { 0 } << QList<int> {} << QList<double> {}
            << QList<int> {} << QStringList { "1", "0", "1" } << QStringList {};
        QTest::newRow("random close to 1 stays inside")
            << QStringList { "01", "02", "03" } << 1 << QList<int> { 0 } << QList<int> {}
            << QList<double> { 0.99999999 } << QList<int> {} << QStringList { "2" } << QStringList {};
        QTest::newRow("random over one word asks it again")
            << lessons << 1 << QList<int> { 3 } << QList<int> {} << QList<double> { 0.5, 0.1 } << QList<int> {}
            << QStringList { "3", "3" } << QStringList {};
        QTest::newRow("critical order with an empty list")
            << lessons << 4 << QList<int> { 0 } << QList<int> {} << QList<double> {} << QList<int> {}
            << QStringList { "done" } << QStringList { CriticalEnd };
        QTest::newRow("critical order ends after the last word")
            << lessons << 4 << QList<int> { 0 } << QList<int> { 3, 1 } << QList<double> {} << QList<int> {}
            << QStringList { "1", "3", "done" } << QStringList { CriticalEnd };
        QTest::newRow("no chosen word asks nothing")
            << lessons << 2 << QList<int> {} << QList<int> {} << QList<double> {} << QList<int> {}
            << QStringList { "none", "none" } << QStringList { "*", "*" };
        QTest::newRow("empty vocabulary asks nothing")
            << QStringList {} << 1 << QList<int> { 0 } << QList<int> {} << QList<double> {} << QList<int> {}
            << QStringList { "none" } << QStringList { "*" };
    }
    void draws()
    {
        QFETCH(QStringList, lessons);
        QFETCH(int, order);
        QFETCH(QList<int>, ticked);
        QFETCH(QList<int>, memoc);
        QFETCH(QList<double>, randoms);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, messages);

        FakePlatform platform;
        for (double r : randoms)
            platform.randoms.enqueue(r);
        for (int a : answers)
            platform.answers.enqueue(a ? Platform::Answer::Ok : Platform::Answer::Cancel);

        WordSelection s;
        s.options = choose(order, ticked);
        s.buildSelection(table(lessons), critical(memoc));

        QStringList got;
        for (int i = 0; i < expected.size(); ++i) {
            const int before = s.currentWord;
            s.pendingWord = 0; // the word drawn before has been answered
            switch (s.drawWord(platform)) {
            case WordSelection::Draw::Drawn:
                got << QString::number(s.currentWord);
                QCOMPARE(s.pendingWord, s.currentWord);
                QCOMPARE(s.lastWord, s.currentWord);
                QVERIFY(s.isSelected(s.currentWord));
                break;
            case WordSelection::Draw::Cancelled:
                got << "cancel";
                QCOMPARE(s.currentWord, before);
                QCOMPARE(s.pendingWord, 0);
                break;
            case WordSelection::Draw::CriticalDone:
                got << "done";
                QCOMPARE(s.builtMode, 5); // the next build runs again
                break;
            case WordSelection::Draw::Empty:
                got << "none";
                QCOMPARE(s.currentWord, before);
                break;
            case WordSelection::Draw::Repeated:
                got << "repeat";
                break;
            }
        }
        QCOMPARE(got, expected);
        QCOMPARE(platform.shown.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i) {
            if (messages.at(i) != "*")
                QCOMPARE(platform.shown.at(i).text, messages.at(i));
            else
                QCOMPARE(platform.shown.at(i).title, QStringLiteral("Rifare la Scelta..."));
        }
        for (const auto &m : platform.shown) {
            if (m.text == Wrap) {
                QCOMPARE(m.title, QStringLiteral("Ricomincio..."));
                QCOMPARE(m.buttons, Platform::Buttons::OkCancel);
            } else if (m.text == CriticalEnd) {
                QCOMPARE(m.title, QStringLiteral("Rifare la Scelta..."));
                QCOMPARE(m.buttons, Platform::Buttons::Ok);
            }
        }
    }

    void unansweredWordIsAskedAgain()
    {
        FakePlatform platform;
        WordSelection s;
        s.buildSelection(table({ "01", "01", "01" }), {});
        s.drawWord(platform);
        QCOMPARE(s.currentWord, 0); // index 0 never counts as pending
        QCOMPARE(s.drawWord(platform), WordSelection::Draw::Drawn);
        QCOMPARE(s.currentWord, 1);
        QCOMPARE(s.drawWord(platform), WordSelection::Draw::Repeated);
        QCOMPARE(s.currentWord, 1);
        s.pendingWord = 0;
        QCOMPARE(s.drawWord(platform), WordSelection::Draw::Drawn);
        QCOMPARE(s.currentWord, 2);
        QVERIFY(platform.shown.isEmpty());
    }

    void nothingChosenKeepsNoOldWordInUse()
    {
        FakePlatform platform;
        WordSelection s;
        const WordTable words = table({ "01", "02" });
        s.buildSelection(words, {});
        s.options = choose(2, { 5 });
        s.builtMode = 9;
        s.buildSelection(words, {});
        QCOMPARE(s.selectionCount, 0);
        QVERIFY(!s.isSelected(0) && !s.isSelected(1));
        QCOMPARE(s.drawWord(platform), WordSelection::Draw::Empty);
        QCOMPARE(platform.shown.size(), 1);
    }

    // a = addCritical, r = removeCritical, both on word 5.
    void criticalList_data()
    {
        QTest::addColumn<int>("builtMode");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<int>>("expected");

        QTest::newRow("add twice, remove once") << 2 << "aar" << QList<int> { 3, 5, 8 };
        QTest::newRow("remove an absent word") << 2 << "r" << QList<int> { 3, 8 };
        QTest::newRow("critical order adds nothing") << 4 << "aa" << QList<int> { 3, 5, 8 };
        QTest::newRow("critical order still removes") << 4 << "r" << QList<int> { 3, 8 };
    }
    void criticalList()
    {
        QFETCH(int, builtMode);
        QFETCH(QString, steps);
        QFETCH(QList<int>, expected);

        CriticalList memoc = critical({ 8, 3 });
        if (builtMode == 4)
            memoc.add(5);
        WordSelection s;
        s.builtMode = builtMode;
        s.currentWord = 5;
        for (QChar step : steps) {
            if (step == 'a')
                s.addCritical(memoc);
            else
                s.removeCritical(memoc);
        }
        QCOMPARE(memoc.words(), expected);
        if (builtMode != 4)
            QCOMPARE(s.criticalKey, QStringLiteral("0005"));
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "tst_selection.moc"
