#include "fakeplatform.h"
#include "selection.h"
#include "wordtable.h"

#include <QTest>

namespace {
WordTable table(const QStringList &lessonFields)
{
    WordTable t;
    for (int i = 0; i < lessonFields.size(); ++i)
        t.append(lessonFields.at(i), QStringLiteral("en%1").arg(i), QStringLiteral("it%1").arg(i));
    return t;
}

// Order 0 keeps the design values of the options window.
SelectionOptions choose(int order, const QList<int> &ticked)
{
    SelectionOptions o;
    if (order == 0)
        return o;
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

        using L = QList<int>;
        const QStringList lessons { "01", " 2 c", "05  ", " 0", "02", "12" };
        QTest::newRow("first build: forward over all lessons")
            << lessons << 0 << L {} << L {} << L { 0, 1, 2, 3, 4, 5 } << 0;
        QTest::newRow("lessons 2 and 5 backward") << lessons << 3 << L { 2, 5 } << L {} << L { 1, 2, 4 } << 4;
        QTest::newRow("lesson 0 only through Tutte") << lessons << 2 << L { 1, 12 } << L {} << L { 0, 5 } << 0;
        QTest::newRow("random keeps the position") << lessons << 1 << L { 12 } << L {} << L { 5 } << 7;
        QTest::newRow("critical: chosen lessons in word order, duplicates kept")
            << lessons << 4 << L { 2 } << L { 5, 4, 1, 0, 4 } << L { 1, 4, 4 } << 0;
        QTest::newRow("critical: vanished rows skipped") << lessons << 4 << L { 0 } << L { 2, 40, 9999 } << L { 2 } << 0;
        QTest::newRow("rows without a valid lesson never chosen")
            << QStringList { "01", "##", "ab", "21", "", "-1", " 3", "20", "7x", "+7" } << 2 << L { 0 } << L {} << L { 0, 6, 7 } << 0;
    }
    void build()
    {
        QFETCH(QStringList, lessons);
        QFETCH(int, order);
        QFETCH(QList<int>, ticked);
        QFETCH(QList<int>, memoc);
        QFETCH(QList<int>, expected);

        WordSelection s;
        s.options = choose(order, ticked);
        s.selectionPos = 7;
        s.buildSelection(table(lessons), critical(memoc));
        QCOMPARE(s.orderMode, order ? order : 2);
        QCOMPARE(s.builtMode, s.orderMode);
        QCOMPARE(s.wordCount, lessons.size());
        QCOMPARE(used(s), expected);
        QCOMPARE(s.selection.size(), expected.size() + 2); // unused entry 0 and the spare
        QTEST(s.selectionPos, "position");
        for (int w = -1; w <= lessons.size(); ++w)
            QCOMPARE(s.isSelected(w), expected.contains(w));
    }

    // A build runs only when out of date; one that chooses nothing leaves no
    // word of the one before in use.
    void rebuild()
    {
        FakePlatform platform;
        WordSelection s;
        const WordTable words = table({ "01", "02" });
        s.buildSelection(words, {});
        s.options = choose(2, { 2 });
        s.buildSelection(words, {});
        QCOMPARE(used(s), (QList<int> { 0, 1 })); // builtMode == orderMode: kept
        s.builtMode = 9;
        s.buildSelection(words, {});
        QCOMPARE(used(s), (QList<int> { 1 }));
        s.options = choose(2, { 5 });
        s.builtMode = 9;
        s.buildSelection(words, {});
        QCOMPARE(s.selectionCount, 0);
        QVERIFY(!s.isSelected(0) && !s.isSelected(1));
        QCOMPARE(s.drawWord(platform), WordSelection::Draw::Empty);
        QCOMPARE(platform.shown.size(), 1);
    }

    // Each step answers the word drawn before it, then draws. A step gives the
    // word drawn, or "cancel", "done" (critical words finished) or "none";
    // "*" stands for the message that nothing is chosen.
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

        using L = QList<int>;
        using R = QList<double>;
        using S = QStringList;
        const S lessons { "01", "02", "01", "03", "01" };
        const S two { "01", "02" };
        QTest::newRow("forward, OK at the end")
            << lessons << 2 << L { 1 } << L {} << R {} << L { 1 } << S { "0", "2", "4", "0", "2" } << S { Wrap };
        QTest::newRow("forward, Cancel at the end")
            << lessons << 2 << L { 1 } << L {} << R {} << L { 0 } << S { "0", "2", "4", "cancel" } << S { Wrap };
        QTest::newRow("backward starts at the last word")
            << lessons << 3 << L { 1 } << L {} << R {} << L { 1 } << S { "4", "2", "0", "4" } << S { Wrap };
        QTest::newRow("backward, Cancel at the start")
            << lessons << 3 << L { 1 } << L {} << R {} << L { 0 } << S { "4", "2", "0", "cancel" } << S { Wrap };
        QTest::newRow("random over two words alternates")
            << two << 1 << L { 0 } << L {} << R { 0.0, 0.9, 0.9, 0.2, 0.6, 0.4 } << L {} << S { "1", "0", "1", "0" }
            << S {};
        QTest::newRow("random with a stuck generator still moves on")
            << two << 1 << L { 0 } << L {} << R {} << L {} << S { "1", "0", "1" } << S {};
        QTest::newRow("random close to 1 stays inside")
            << S { "01", "02", "03" } << 1 << L { 0 } << L {} << R { 0.99999999 } << L {} << S { "2" } << S {};
        QTest::newRow("random over one word asks it again")
            << lessons << 1 << L { 3 } << L {} << R { 0.5, 0.1 } << L {} << S { "3", "3" } << S {};
        QTest::newRow("critical order with an empty list")
            << lessons << 4 << L { 0 } << L {} << R {} << L {} << S { "done" } << S { CriticalEnd };
        QTest::newRow("critical order ends after the last word")
            << lessons << 4 << L { 0 } << L { 3, 1 } << R {} << L {} << S { "1", "3", "done" } << S { CriticalEnd };
        QTest::newRow("no chosen word asks nothing")
            << lessons << 2 << L {} << L {} << R {} << L {} << S { "none", "none" } << S { "*", "*" };
        QTest::newRow("empty vocabulary asks nothing")
            << S {} << 1 << L { 0 } << L {} << R {} << L {} << S { "none" } << S { "*" };
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
        platform.randoms.append(randoms);
        for (int a : answers)
            platform.answers.enqueue(a ? Platform::Answer::Ok : Platform::Answer::Cancel);
        WordSelection s;
        s.options = choose(order, ticked);
        s.buildSelection(table(lessons), critical(memoc));

        QStringList got;
        for (int i = 0; i < expected.size(); ++i) {
            const int before = s.currentWord;
            s.pendingWord = 0; // the word drawn before has been answered
            const WordSelection::Draw draw = s.drawWord(platform);
            if (draw == WordSelection::Draw::Drawn) {
                got << QString::number(s.currentWord);
                QCOMPARE(s.pendingWord, s.currentWord);
                QCOMPARE(s.lastWord, s.currentWord);
                QVERIFY(s.isSelected(s.currentWord));
            } else if (draw == WordSelection::Draw::CriticalDone) {
                got << "done";
                QCOMPARE(s.builtMode, 5); // the next build runs again
            } else {
                got << (draw == WordSelection::Draw::Cancelled ? "cancel" : draw == WordSelection::Draw::Empty ? "none" : "repeat");
                QCOMPARE(s.currentWord, before);
                QCOMPARE(s.pendingWord, 0);
            }
        }
        QCOMPARE(got, expected);
        QCOMPARE(platform.shown.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i) {
            const FakePlatform::Shown &m = platform.shown.at(i);
            QCOMPARE(m.title, messages.at(i) == Wrap ? "Ricomincio..." : "Rifare la Scelta...");
            QCOMPARE(m.buttons, messages.at(i) == Wrap ? Platform::Buttons::OkCancel : Platform::Buttons::Ok);
            if (messages.at(i) != "*")
                QCOMPARE(m.text, messages.at(i));
        }
    }

    void unansweredWordIsAskedAgain()
    {
        FakePlatform platform;
        WordSelection s;
        s.buildSelection(table({ "01", "01", "01" }), {});
        QCOMPARE(s.drawWord(platform), WordSelection::Draw::Drawn);
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
        QTEST(memoc.words(), "expected");
        if (builtMode != 4)
            QCOMPARE(s.criticalKey, QStringLiteral("0005"));
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "tst_selection.moc"
