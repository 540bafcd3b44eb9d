#include "drill.h"
#include "fakeplatform.h"
#include "session.h"

#include <QTest>

namespace {
// A session over the given (English, Italian) words, all in lesson 1, asked
// in forward order.
void fill(Session &session, const QList<QStringList> &rows)
{
    for (const QStringList &r : rows)
        session.words.append(" 1  ", " 1", r.at(0).leftJustified(50), r.at(1).leftJustified(50));
    session.selection.options.order = 2;
    session.selection.buildSelection(session.words, session.memoc);
}

// Makes the next "Via!" ask `word` (forward order, every word selected).
void next(Session &session, int word)
{
    session.selection.pendingWord = 0;
    session.selection.selectionPos = word;
}

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
} // namespace

class TestDrill : public QObject
{
    Q_OBJECT

private slots:
    // The answer check on a sequence of typed texts: the colour, the beeps,
    // the answer the typing follows and whether the question was answered.
    void answerCheck_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("word");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("red");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("following");
        QTest::addColumn<bool>("answered");

        const int toItalian = int(Direction::EnglishToItalian);
        const int toEnglish = int(Direction::ItalianToEnglish);
        QTest::newRow("alternative followed") << toItalian << 0 << QStringList { "a", "ab" } << false << 0 << "abitazione" << false;
        QTest::newRow("alternative completes") << toItalian << 0 << QStringList { "dimora" } << false << 40 << "dimora" << true;
        QTest::newRow("wrong letter") << toItalian << 0 << QStringList { "x" } << true << 5 << "casa" << false;
        QTest::newRow("wrong then deleted") << toItalian << 0 << QStringList { "x", "" } << false << 5 << "casa" << false;
        QTest::newRow("two wrong changes") << toItalian << 0 << QStringList { "cx", "cxy" } << true << 10 << "casa" << false;
        QTest::newRow("case counts") << toItalian << 1 << QStringList { "L" } << true << 5 << "luce" << false;
        QTest::newRow("bracket remark never typed") << toItalian << 3 << QStringList { "vestito" } << false << 40 << "vestito" << true;
        QTest::newRow("longer than the answer") << toItalian << 1 << QStringList { "lucee" } << true << 5 << "luce" << false;
        QTest::newRow("blank inside counts") << toEnglish << 4 << QStringList { "to walk" } << false << 40 << "to walk" << true;
        QTest::newRow("typed without the blank") << toEnglish << 4 << QStringList { "towalk" } << true << 5 << "to walk" << false;
    }
    void answerCheck()
    {
        QFETCH(int, direction);
        QFETCH(int, word);
        QFETCH(QStringList, typed);
        QFETCH(bool, red);
        QFETCH(int, beeps);
        QFETCH(QString, following);
        QFETCH(bool, answered);

        Session session;
        FakePlatform platform;
        fill(session, Words);
        Drill drill(session, platform, Direction(direction));
        drill.load();
        next(session, word);
        QVERIFY(drill.start());
        bool done = false;
        for (const QString &t : typed)
            done = drill.typingChanged(t) || done;
        QCOMPARE(drill.view().typingRed, red);
        QCOMPARE(session.drill.typingWrong, red ? 1 : 0);
        QCOMPARE(platform.beeps, beeps);
        QCOMPARE(drill.answer(), following);
        QCOMPARE(done, answered);
        QCOMPARE(session.doneCount, answered ? 1 : 0);
        QCOMPARE(session.selection.pendingWord, answered ? 0 : word);
    }

    // Points, the last penalty and the critical mark for a question answered
    // after some ticks, with help pressed after a given tick.
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
        QFETCH(int, tickBeeps);

        Session session;
        FakePlatform platform;
        fill(session, Words);
        // The word was critical before; a clean answer must clear it.
        session.memoc.add(word);
        Drill drill(session, platform, Direction::EnglishToItalian);
        drill.load();
        next(session, word);
        QVERIFY(drill.start());
        if (helpAfterTick == 0)
            drill.help();
        for (int t = 1; t <= ticks; ++t) {
            drill.timer1Tick();
            if (t == helpAfterTick)
                drill.help();
        }
        QCOMPARE(platform.beeps, tickBeeps);
        QVERIFY(drill.typingChanged(drill.answer()));
        QCOMPARE(session.points, 1000 + change);
        QCOMPARE(drill.pointsText(), QString::number(1000 + change));
        QCOMPARE(session.memoc.contains(word), critical);
        QCOMPARE(session.memoc.count(), critical ? 2 : 0);
        QCOMPARE(session.drill.lastPenalty, 0);
        QCOMPARE(drill.counterLine(), QStringLiteral("Già fatti =1 Critici =%1").arg(critical ? 2 : 0));
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
        QFETCH(QString, shown);
        Session session;
        FakePlatform platform;
        QList<QStringList> words = Words;
        words[0] = { "what", "che cosa ?" };
        fill(session, words);
        Drill drill(session, platform, Direction::EnglishToItalian);
        next(session, word);
        QVERIFY(drill.start());
        drill.typingChanged(typed);
        drill.help();
        QVERIFY(drill.view().helpBoxVisible);
        QCOMPARE(drill.view().helpBoxText, shown);
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
        QFETCH(QString, caption);
        Session session;
        FakePlatform platform;
        fill(session, { { "word", answer } });
        Drill drill(session, platform, Direction::EnglishToItalian);
        QVERIFY(drill.start());
        QCOMPARE(drill.view().caption, "    Prova dall' INGLESE");
        for (int t = 1; t <= 10; ++t)
            drill.timer1Tick();
        QCOMPARE(drill.view().caption, caption);
        QCOMPARE(drill.view().command1Caption, "Traduci...");
        drill.timer1Tick();
        QCOMPARE(drill.view().command1Caption, "Sei lento!");
        QCOMPARE(drill.view().command1DisabledFace, DrillView::Sad);
    }

    void synonymsMessage_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("two light words") << 1 << "luce" << "Sinomini di:  light (nelle Lez. scelte)"
                                         << "\r(Lez.1)   light = luce\r(Lez.1)   light = leggero";
        QTest::newRow("own alternatives") << 0 << "casa" << "Sinomini di:  house (nelle Lez. scelte)"
                                          << "(Lez.1)   house = casa (abitazione, dimora)";
        QTest::newRow("single answer") << 7 << "miglio" << QString() << QString();
    }
    void synonymsMessage()
    {
        QFETCH(int, word);
        QFETCH(QString, typed);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Session session;
        FakePlatform platform;
        fill(session, Words);
        Drill drill(session, platform, Direction::EnglishToItalian);
        next(session, word);
        QVERIFY(drill.start());
        QVERIFY(drill.typingChanged(typed));
        QVERIFY(platform.shown.isEmpty());
        drill.showSynonyms();
        if (title.isEmpty()) {
            QVERIFY(platform.shown.isEmpty());
            return;
        }
        QCOMPARE(platform.shown.size(), 1);
        QCOMPARE(platform.shown.at(0).title, title);
        QCOMPARE(platform.shown.at(0).text, text);
        QCOMPARE(platform.shown.at(0).icon, Platform::Icon::Information);
        QCOMPARE(platform.shown.at(0).buttons, Platform::Buttons::Ok);
    }

    void idleTypingNeverAnswersTwice()
    {
        Session session;
        FakePlatform platform;
        fill(session, Words);
        Drill drill(session, platform, Direction::EnglishToItalian);
        // Before the first question any typing is wrong.
        QVERIFY(!drill.typingChanged("l"));
        QVERIFY(drill.view().typingRed);
        QVERIFY(!drill.typingChanged(""));
        next(session, 1);
        QVERIFY(drill.start());
        QVERIFY(drill.typingChanged("luce"));
        QVERIFY(!drill.typingChanged("lucex"));
        QVERIFY(!drill.typingChanged("luce"));
        QCOMPARE(session.doneCount, 1);
        QCOMPARE(session.points, 1004);
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
        QFETCH(int, pointsAfter);
        QFETCH(int, doneAfter);
        Session session;
        FakePlatform platform;
        fill(session, Words);
        session.points = points;
        session.doneCount = done;
        Drill drill(session, platform, Direction::EnglishToItalian);
        next(session, 1);
        QVERIFY(drill.start());
        for (int t = 1; t <= ticks; ++t)
            drill.timer1Tick();
        QVERIFY(drill.typingChanged("luce"));
        QCOMPARE(session.points, pointsAfter);
        QCOMPARE(session.doneCount, doneAfter);
    }
};

QTEST_GUILESS_MAIN(TestDrill)
#include "tst_drill.moc"
