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
            session.words.append(u" 1  ", r.at(0).leftJustified(50), r.at(1).leftJustified(50));
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

// Texts typed one after the other into the typing box.
struct Typing
{
    bool toEnglish = false;
    int word = 0;
    QStringList typed;
    bool red = false;
    int beeps = 0;
    QString following; // the accepted answer the typing follows
    bool answered = false;
};
Q_DECLARE_METATYPE(Typing)

// A question answered after some ticks, with help pressed after a given tick
// (0: at once), starting from the given points and count of answered words.
struct Scoring
{
    int word = 1;
    int ticks = 0;
    int help = -1;
    int points = 1000;
    int done = 0;
    int pointsAfter = 0;
    int doneAfter = 1;
    bool critical = false;
    int tickBeeps = 0;
};
Q_DECLARE_METATYPE(Scoring)

class TestDrill : public QObject
{
    Q_OBJECT

private slots:
    void answerCheck_data()
    {
        QTest::addColumn<Typing>("t");
        QTest::newRow("alternative followed") << Typing { .typed = { "a", "ab" }, .following = "abitazione" };
        QTest::newRow("alternative completes")
            << Typing { .typed = { "dimora" }, .beeps = 40, .following = "dimora", .answered = true };
        QTest::newRow("two wrong changes") << Typing { .typed = { "cx", "cxy" }, .red = true, .beeps = 10, .following = "casa" };
        QTest::newRow("case counts") << Typing { .word = 1, .typed = { "L" }, .red = true, .beeps = 5, .following = "luce" };
        QTest::newRow("bracket remark never typed")
            << Typing { .word = 3, .typed = { "vestito" }, .beeps = 40, .following = "vestito", .answered = true };
        QTest::newRow("longer than the answer")
            << Typing { .word = 1, .typed = { "lucee" }, .red = true, .beeps = 5, .following = "luce" };
        QTest::newRow("blank inside counts") << Typing { .toEnglish = true, .word = 4, .typed = { "to walk" }, .beeps = 40, .following = "to walk", .answered = true };
        QTest::newRow("typed without the blank") << Typing { .toEnglish = true, .word = 4, .typed = { "towalk" }, .red = true, .beeps = 5, .following = "to walk" };
    }
    void answerCheck()
    {
        QFETCH(Typing, t);
        Drilling d(Words, t.toEnglish ? Direction::ItalianToEnglish : Direction::EnglishToItalian);
        QVERIFY(d.ask(t.word));
        bool done = false;
        for (const QString &text : t.typed)
            done = d.drill.typingChanged(text) || done;
        QCOMPARE(d.drill.view().typingRed, t.red);
        QCOMPARE(d.session.drill.typingWrong, t.red ? 1 : 0);
        QCOMPARE(d.platform.beeps, t.beeps);
        QCOMPARE(d.drill.answer(), t.following);
        QCOMPARE(done, t.answered);
        QCOMPARE(d.session.doneCount, t.answered ? 1 : 0);
        QCOMPARE(d.session.selection.pendingWord, t.answered ? 0 : t.word);
    }

    // Prize, time and help penalties and the critical mark. The word was
    // critical before: a clean answer clears it. Points and the count of
    // answered words stay within 16 bits.
    void scoring_data()
    {
        QTest::addColumn<Scoring>("s");
        QTest::newRow("4 letters in the 9th second") << Scoring { .ticks = 9, .pointsAfter = 1004 };
        QTest::newRow("at the 10th tick") << Scoring { .ticks = 10, .pointsAfter = 1003, .critical = true };
        QTest::newRow("25th tick, free time 10")
            << Scoring { .ticks = 25, .pointsAfter = 1004 - 22, .critical = true, .tickBeeps = 15 };
        QTest::newRow("14 letters at the 13th tick") << Scoring { .word = 6, .ticks = 13, .pointsAfter = 1014 };
        QTest::newRow("14 letters at the 14th tick")
            << Scoring { .word = 6, .ticks = 14, .pointsAfter = 1013, .critical = true };
        QTest::newRow("14 letters at the 15th tick")
            << Scoring { .word = 6, .ticks = 15, .pointsAfter = 1012, .critical = true, .tickBeeps = 1 };
        QTest::newRow("help on 7 letters") << Scoring { .word = 2, .ticks = 3, .help = 3, .pointsAfter = 1004, .critical = true };
        QTest::newRow("help then a tick in free time") << Scoring { .word = 2, .ticks = 4, .help = 3, .pointsAfter = 1004 };
        QTest::newRow("help on 1 letter") << Scoring { .word = 5, .help = 0, .pointsAfter = 1001 };
        QTest::newRow("prize at the top") << Scoring { .points = 32765, .pointsAfter = 32767 };
        QTest::newRow("done count at the top") << Scoring { .done = 32767, .pointsAfter = 1004, .doneAfter = 32767 };
        QTest::newRow("penalties at the bottom")
            << Scoring { .ticks = 40, .points = -32760, .pointsAfter = -32768 + 4, .critical = true, .tickBeeps = 30 };
    }
    void scoring()
    {
        QFETCH(Scoring, s);
        Drilling d;
        d.session.memoc.add(s.word);
        d.session.points = s.points;
        d.session.doneCount = s.done;
        QVERIFY(d.ask(s.word));
        if (s.help == 0)
            d.drill.help();
        for (int t = 1; t <= s.ticks; ++t) {
            d.drill.timer1Tick();
            if (t == s.help)
                d.drill.help();
        }
        QCOMPARE(d.platform.beeps, s.tickBeeps);
        QVERIFY(d.drill.typingChanged(d.drill.answer()));
        QCOMPARE(d.session.points, s.pointsAfter);
        QCOMPARE(d.drill.pointsText(), QString::number(s.pointsAfter));
        QCOMPARE(d.session.doneCount, s.doneAfter);
        QCOMPARE(d.session.memoc.contains(s.word), s.critical);
        QCOMPARE(d.session.memoc.count(), s.critical ? 2 : 0);
        QCOMPARE(d.session.drill.lastPenalty, 0);
        QCOMPARE(d.drill.counterLine(), QStringLiteral("Già fatti =%1 Critici =%2").arg(s.doneAfter).arg(s.critical ? 2 : 0));
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

    // "Sei lento!" and the sad face come at the eleventh tick even when the
    // free time is longer; the caption shows the free time from the first tick.
    void slowAfterTenSeconds()
    {
        Drilling d(QList<QStringList> { { "word", "quindicilettere" } });
        QVERIFY(d.drill.start());
        QCOMPARE(d.drill.view().caption, "    Prova dall' INGLESE");
        for (int t = 1; t <= 10; ++t)
            d.drill.timer1Tick();
        QCOMPARE(d.drill.view().caption, "    Prova dall' INGLESE ... (tempo libero= 15)");
        QCOMPARE(d.drill.view().command1Caption, "Traduci...");
        d.drill.timer1Tick();
        QCOMPARE(d.drill.view().command1Caption, "Sei lento!");
        QCOMPARE(d.drill.view().command1DisabledFace, DrillView::Sad);
    }

    // The synonyms message after an answer, only when more than one answer
    // was accepted.
    void synonymsMessage()
    {
        Drilling d;
        QVERIFY(d.ask(7));
        QVERIFY(d.drill.typingChanged("miglio"));
        d.drill.showSynonyms();
        QVERIFY(d.platform.shown.isEmpty());
        QVERIFY(d.ask(1));
        QVERIFY(d.drill.typingChanged("luce"));
        QVERIFY(d.platform.shown.isEmpty());
        d.drill.showSynonyms();
        QCOMPARE(d.platform.shown.size(), 1);
        QCOMPARE(d.platform.shown.at(0).title, "Sinomini di:  light (nelle Lez. scelte)");
        QCOMPARE(d.platform.shown.at(0).text, "\r(Lez.1)   light = luce\r(Lez.1)   light = leggero");
        QCOMPARE(d.platform.shown.at(0).icon, Platform::Icon::Information);
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
};

QTEST_GUILESS_MAIN(TestDrill)
#include "tst_drill.moc"
