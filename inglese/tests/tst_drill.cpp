#include "drill.h"
#include "fakeplatform.h"
#include "session.h"

#include <QTest>

namespace {
const QList<QStringList> Words {
    { "house", "casa (abitazione, dimora)" },
    { "light", "luce" },
    { "light", "leggero" },
    { "dress", "vestito [m.]" },
    { "to walk", "camminare" },
    { "a", "a" },
    { "rainfall", "precipitazione" },
    { "mile", "miglio" },
};

// A drill over the given (English, Italian) words, all in lesson 1, every one
// selected and asked in forward order.
struct Drilling
{
    Session session;
    FakePlatform platform;
    Drill drill;

    explicit Drilling(const QList<QStringList> &rows = Words, Direction direction = Direction::EnglishToItalian)
        : drill(session, platform, direction)
    {
        for (const QStringList &r : rows)
            session.words.append(" 1  ", " 1", r.at(0).leftJustified(50), r.at(1).leftJustified(50));
        session.selection.options.order = 2;
        session.selection.buildSelection(session.words, session.memoc);
        drill.load();
    }
    // "Via!" asking `word`.
    bool ask(int word)
    {
        session.selection.pendingWord = 0;
        session.selection.selectionPos = word;
        return drill.start();
    }
};
} // namespace

class TestDrill : public QObject
{
    Q_OBJECT

private slots:
    // The answer check on a sequence of typed texts: the colour, the beeps,
    // the answer the typing follows and whether the question was answered.
    void answerCheck_data()
    {
        QTest::addColumn<bool>("toEnglish");
        QTest::addColumn<int>("word");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("red");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("following");
        QTest::addColumn<bool>("answered");

        using S = QStringList;
        QTest::newRow("alternative followed") << false << 0 << S { "a", "ab" } << false << 0 << "abitazione" << false;
        QTest::newRow("alternative completes") << false << 0 << S { "dimora" } << false << 40 << "dimora" << true;
        QTest::newRow("two wrong changes") << false << 0 << S { "cx", "cxy" } << true << 10 << "casa" << false;
        QTest::newRow("case counts") << false << 1 << S { "L" } << true << 5 << "luce" << false;
        QTest::newRow("bracket remark never typed") << false << 3 << S { "vestito" } << false << 40 << "vestito" << true;
        QTest::newRow("longer than the answer") << false << 1 << S { "lucee" } << true << 5 << "luce" << false;
        QTest::newRow("blank inside counts") << true << 4 << S { "to walk" } << false << 40 << "to walk" << true;
        QTest::newRow("typed without the blank") << true << 4 << S { "towalk" } << true << 5 << "to walk" << false;
    }
    void answerCheck()
    {
        QFETCH(bool, toEnglish);
        QFETCH(int, word);
        QFETCH(QStringList, typed);
        QFETCH(bool, red);
        QFETCH(bool, answered);
        Drilling d(Words, toEnglish ? Direction::ItalianToEnglish : Direction::EnglishToItalian);
        QVERIFY(d.ask(word));
        bool done = false;
        for (const QString &t : typed)
            done = d.drill.typingChanged(t) || done;
        QCOMPARE(d.drill.view().typingRed, red);
        QCOMPARE(d.session.drill.typingWrong, red ? 1 : 0);
        QTEST(d.platform.beeps, "beeps");
        QTEST(d.drill.answer(), "following");
        QCOMPARE(done, answered);
        QCOMPARE(d.session.doneCount, answered ? 1 : 0);
        QCOMPARE(d.session.selection.pendingWord, answered ? 0 : word);
    }

    // Points and the critical mark for a question answered after some ticks,
    // with help pressed after a given tick. The word was critical before: a
    // clean answer clears it.
    void scoring_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("helpAfterTick"); // -1: no help
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("critical");
        QTest::addColumn<int>("tickBeeps");

        QTest::newRow("4 letters in the 9th second") << 1 << 9 << -1 << 4 << false << 0;
        QTest::newRow("at the 10th tick") << 1 << 10 << -1 << 4 - 1 << true << 0;
        QTest::newRow("25th tick, free time 10") << 1 << 25 << -1 << 4 - 22 << true << 15;
        QTest::newRow("14 letters at the 13th tick") << 6 << 13 << -1 << 14 << false << 0;
        QTest::newRow("14 letters at the 14th tick") << 6 << 14 << -1 << 14 - 1 << true << 0;
        QTest::newRow("14 letters at the 15th tick") << 6 << 15 << -1 << 14 - 2 << true << 1;
        QTest::newRow("help on 7 letters") << 2 << 3 << 3 << 7 - 3 << true << 0;
        QTest::newRow("help then a tick in free time") << 2 << 4 << 3 << 7 - 3 << false << 0;
        QTest::newRow("help on 1 letter") << 5 << 0 << 0 << 1 << false << 0;
    }
    void scoring()
    {
        QFETCH(int, word);
        QFETCH(int, ticks);
        QFETCH(int, helpAfterTick);
        QFETCH(int, change);
        QFETCH(bool, critical);
        Drilling d;
        d.session.memoc.add(word);
        QVERIFY(d.ask(word));
        if (helpAfterTick == 0)
            d.drill.help();
        for (int t = 1; t <= ticks; ++t) {
            d.drill.timer1Tick();
            if (t == helpAfterTick)
                d.drill.help();
        }
        QTEST(d.platform.beeps, "tickBeeps");
        QVERIFY(d.drill.typingChanged(d.drill.answer()));
        QCOMPARE(d.session.points, 1000 + change);
        QCOMPARE(d.drill.pointsText(), QString::number(1000 + change));
        QCOMPARE(d.session.memoc.contains(word), critical);
        QCOMPARE(d.session.memoc.count(), critical ? 2 : 0);
        QCOMPARE(d.session.drill.lastPenalty, 0);
        QCOMPARE(d.drill.counterLine(), QStringLiteral("Già fatti =1 Critici =%1").arg(critical ? 2 : 0));
    }

    void helpMask_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing typed") << 4 << "" << "#########";
        QTest::newRow("wrong letter shown right") << 4 << "cax" << "cam######";
        QTest::newRow("blank and question mark kept") << 0 << "ch" << "ch# #### ?";
        QTest::newRow("longer than the answer") << 1 << "lucexx" << "luce";
    }
    void helpMask()
    {
        QFETCH(int, word);
        QFETCH(QString, typed);
        QList<QStringList> words = Words;
        words[0] = { "what", "che cosa ?" };
        Drilling d(words);
        QVERIFY(d.ask(word));
        d.drill.typingChanged(typed);
        d.drill.help();
        QVERIFY(d.drill.view().helpBoxVisible);
        QTEST(d.drill.view().helpBoxText, "shown");
    }

    // "Sei lento!" and the sad face come at the eleventh tick whatever the
    // free time; the caption shows the free time from the first tick.
    void slowAfterTenSeconds_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("caption");
        QTest::newRow("free time 10") << "casa" << "    Prova dall' INGLESE ... (tempo libero= 10)";
        QTest::newRow("free time 15") << "quindicilettere" << "    Prova dall' INGLESE ... (tempo libero= 15)";
    }
    void slowAfterTenSeconds()
    {
        QFETCH(QString, answer);
        Drilling d({ { "word", answer } });
        QVERIFY(d.drill.start());
        QCOMPARE(d.drill.view().caption, "    Prova dall' INGLESE");
        for (int t = 1; t <= 10; ++t)
            d.drill.timer1Tick();
        QTEST(d.drill.view().caption, "caption");
        QCOMPARE(d.drill.view().command1Caption, "Traduci...");
        d.drill.timer1Tick();
        QCOMPARE(d.drill.view().command1Caption, "Sei lento!");
        QCOMPARE(d.drill.view().command1DisabledFace, DrillView::Sad);
    }

    void synonymsMessage_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text"); // empty: no message
        QTest::newRow("two light words") << 1 << "luce" << "\r(Lez.1)   light = luce\r(Lez.1)   light = leggero";
        QTest::newRow("single answer") << 7 << "miglio" << QString();
    }
    void synonymsMessage()
    {
        QFETCH(int, word);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        Drilling d;
        QVERIFY(d.ask(word));
        QVERIFY(d.drill.typingChanged(typed));
        QVERIFY(d.platform.shown.isEmpty());
        d.drill.showSynonyms();
        QCOMPARE(d.platform.shown.size(), text.isEmpty() ? 0 : 1);
        if (text.isEmpty())
            return;
        QCOMPARE(d.platform.shown.at(0).title, "Sinomini di:  light (nelle Lez. scelte)");
        QCOMPARE(d.platform.shown.at(0).text, text);
        QCOMPARE(d.platform.shown.at(0).icon, Platform::Icon::Information);
        QCOMPARE(d.platform.shown.at(0).buttons, Platform::Buttons::Ok);
    }

    void idleTypingNeverAnswersTwice()
    {
        Drilling d;
        // Before the first question any typing is wrong.
        QVERIFY(!d.drill.typingChanged("l"));
        QVERIFY(d.drill.view().typingRed);
        QVERIFY(!d.drill.typingChanged(""));
        QVERIFY(d.ask(1));
        QVERIFY(d.drill.typingChanged("luce"));
        QVERIFY(!d.drill.typingChanged("lucex"));
        QVERIFY(!d.drill.typingChanged("luce"));
        QCOMPARE(d.session.doneCount, 1);
        QCOMPARE(d.session.points, 1004);
    }

    void valuesStayWithinSixteenBits_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("done");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("pointsAfter");
        QTest::addColumn<int>("doneAfter");
        QTest::newRow("prize at the top") << 32765 << 0 << 0 << 32767 << 1;
        QTest::newRow("done count at the top") << 1000 << 32767 << 0 << 1004 << 32767;
        QTest::newRow("penalties at the bottom") << -32760 << 0 << 40 << -32768 + 4 << 1;
    }
    void valuesStayWithinSixteenBits()
    {
        QFETCH(int, points);
        QFETCH(int, done);
        QFETCH(int, ticks);
        Drilling d;
        d.session.points = points;
        d.session.doneCount = done;
        QVERIFY(d.ask(1));
        for (int t = 1; t <= ticks; ++t)
            d.drill.timer1Tick();
        QVERIFY(d.drill.typingChanged("luce"));
        QTEST(d.session.points, "pointsAfter");
        QTEST(d.session.doneCount, "doneAfter");
    }
};

QTEST_GUILESS_MAIN(TestDrill)
#include "tst_drill.moc"
