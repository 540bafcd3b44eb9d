// The review: the memory model against its published values, the grade of an answer, the review's day,
// ripasso.tsv (its upgrade, its values, two copies, its bounds), today's words, what the pupil is told,
// and the review run through the main window and a drill window.
#include "EnglishDrillWindow.h"
#include "MainWindow.h"
#include "ReviewLimitsWindow.h"
#include "fixture.h"
#include "review.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

using Fsrs::Grade;
constexpr Direction E = Direction::EnglishToItalian, I = Direction::ItalianToEnglish;

Q_DECLARE_METATYPE(Review::AnswerFacts)
using St = Review::Store::Status;

// The first line of the version before: the only one that version reads as its own.
const QByteArray Before
    = "inglese\titaliano\tstabilita\tdifficolta\tultimo_ripasso\tscadenza\tripassi\tdimenticanze\n";
const QByteArray Head = "inglese\titaliano\tdirezione\tstabilita\tdifficolta\tprimo_ripasso\tultimo_ripasso\t"
                        "scadenza\tripassi\tdimenticanze\n";

class TestReview : public QObject
{
    Q_OBJECT
    // A folder of its own for each test and row, and the review file in it.
    std::unique_ptr<QTemporaryDir> dir;
    QString path;

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        path = dir->filePath("ripasso.tsv");
    }

    // FSRS-6 with its default weights against the values its authors publish in fsrs-rs (the memory
    // after a whole history; after one answer from S 5, D 5; the stability formulas at a given chance,
    // from D 1 to 4): "g@t" is an answer graded g after t days, "g~r" the formula of grade g at chance r.
    void published_data()
    {
        // difficulty 0: not published
        columns<QString, double, double, double>("steps", "difficulty0", "stability", "difficulty");
        row("a history with a same-day answer", "1@0 3@0 3@1 3@3 3@8 3@21", 0.0, 53.62691, 6.3574867);
        row("same day, Again", "1@0", 5.0, 1.596818, 8.341763);
        row("same day, Hard keeps the stability", "2@0", 5.0, 5.0, 6.6659956);
        row("same day, Easy", "4@0", 5.0, 8.12961, 3.3144615);
        row("forgotten at 90%", "1~0.9", 1.0, 1.0525396, 0.0);
        row("forgotten at 60%", "1~0.6", 4.0, 1.584989, 0.0);
        row("Hard at 80%", "2~0.8", 2.0, 28.226582, 0.0);
        row("Easy at 60%", "4~0.6", 4.0, 127.226685, 0.0);
    }
    void published()
    {
        QFETCH(double, difficulty0);
        QFETCH(double, difficulty);
        const Fsrs::Model model;
        Fsrs::Memory m { difficulty0 > 0 ? 5.0 : 0.0, difficulty0 };
        for (const QString &step : fetched<QString>("steps").split(u' ')) {
            const Grade g = Grade(step.at(0).digitValue());
            const double x = step.mid(2).toDouble();
            if (step.at(1) == u'@')
                m = model.next(m, x, g);
            else
                m.stability = g == Grade::Again ? model.stabilityAfterLapse(m, x)
                                                : model.stabilityAfterSuccess(m, x, g);
        }
        QCOMPARE_LT(qAbs(m.stability - fetched<double>("stability")), 1e-4);
        QCOMPARE_LT(difficulty > 0 ? qAbs(m.difficulty - difficulty) : 0, 1e-4);
    }

    // The whole days to a retention of 10% .. 100% from a stability of one day, through the forgetting
    // curve's decay w20, as fsrs-rs publishes them; never beyond 100 years.
    void intervals()
    {
        const Fsrs::Model model;
        QList<int> days;
        for (int r = 1; r <= 10; ++r)
            days << model.interval(1, r / 10.0);
        QCOMPARE(days, QList<int>({ 36500, 34793, 2508, 387, 90, 27, 9, 3, 1, 1 }));
    }

    // The published spread of a due date: none up to 2 days, then a day either way plus 15% of the days
    // from 2.5 to 7, 10% from 7 to 20 and 5% beyond; the draw picks evenly within.
    void spread_data()
    {
        columns<int, QString>("interval", "spread"); // spread: shortest, longest
        row("1 day", 1, "1 1");
        row("2 days", 2, "2 2");
        row("3 days", 3, "2 4");
        row("10 days", 10, "8 12");
        row("100 days", 100, "93 107");
        row("100 years", Fsrs::MaximumInterval, "34673 36500");
    }
    void spread()
    {
        QFETCH(int, interval);
        QCOMPARE(
            QList<int>({ Fsrs::spread(interval, 0), Fsrs::spread(interval, 0.999999) }), numbers("spread"));
    }

    void grade_data()
    {
        columns<Review::AnswerFacts, int>("facts", "grade");
        // { seconds taken, free time }, and what else happened
        const auto add = [](const char *tag, Review::AnswerFacts f, Grade g) { row(tag, f, int(g)); };
        add("3 s of 10", { 3, 10 }, Grade::Easy);
        add("4 s of 12", { 4, 12 }, Grade::Good);
        add("9 s of 10", { 9, 10 }, Grade::Good);
        add("first point lost", { 10, 10 }, Grade::Hard);
        add("10 s of 14, not yet slow", { 10, 14 }, Grade::Good);
        add("slow within 14", { 11, 14 }, Grade::Hard);
        add("help, fast", { .elapsedSeconds = 2, .freeTime = 10, .helpShown = true }, Grade::Again);
        add("red once, then right at once", { .elapsedSeconds = 1, .freeTime = 10, .wentWrong = true },
            Grade::Again);
        add("given up", { .elapsedSeconds = 5, .freeTime = 10, .givenUp = true }, Grade::Again);
    }
    void grade() { QTEST(int(Review::gradeOf(fetched<Review::AnswerFacts>("facts"))), "grade"); }

    // The review's day starts at 4:00: an evening and the night after it are one day.
    void day_data()
    {
        columns<QTime, int>("time", "day"); // day: from the calendar's
        row("23:59", QTime(23, 59), 0);
        row("03:59", QTime(3, 59), -1);
        row("04:00", QTime(4, 0), 0);
    }
    void day()
    {
        const QDate date(2026, 12, 5);
        QCOMPARE(Review::reviewDay(date, fetched<QTime>("time")), date.addDays(fetched<int>("day")));
    }

    // The file as found on disk: what is read, what a write leaves. The version before is written anew,
    // with a first line that version refuses.
    void file_data()
    {
        columns<QByteArray, int, int, bool>("bytes", "status", "cards", "written");
        const QByteArray good = "house\tcasa\ting->ita\t3.1730\t5.2826\t\t2026-12-01\t2026-12-04\t2\t0\n";
        row("missing", QByteArray(), int(St::Missing), 0, true);
        row("one word", Head + good, int(St::Read), 1, true);
        row("CR LF and limits", QByteArray(Head + "#limiti\t20\t5\n" + good).replace("\n", "\r\n"),
            int(St::Read), 1, true);
        row("a byte order mark", "\xEF\xBB\xBF" + Head + good, int(St::Read), 1, true);
        row("the version before",
            Before + "#limiti\t20\t5\nhouse\tcasa\t3.1730\t5.2826\t2026-12-01\t2026-12-04\t2\t0\n",
            int(St::Read), 2, true);
        row("a folder in its place", QByteArray("folder"), int(St::Unreadable), 0, false);
        row("a link to nowhere", QByteArray("link"), int(St::Unreadable), 0, false);
        row("another version", "english\titalian\tS\tD\n" + good, int(St::OtherVersion), 0, false);
    }
    void file()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, written);
        if (!bytes.isNull())
            QVERIFY(bytes == "folder" ? QDir().mkdir(path)
                    : bytes == "link" ? QFile::link("gone", path)
                                      : writeBytes(path, bytes));
        Review::Store store;
        store.read(dir->path()); // a folder: each read stands alone
        QTEST(int(store.read(path)), "status");
        QTEST(int(store.refresh(path)), "status"); // unchanged since
        QTEST(int(store.cards().size()), "cards");
        store.answer(u"d\\tog\tx ", u"ca\r\nne\n", I, Grade::Again, { 2026, 12, 5 }); // \, tab, line end
        QCOMPARE(store.write(path), written);
        if (!written) {
            QCOMPARE(readBytes(path), bytes == "folder" || bytes == "link" ? QByteArray() : bytes); // kept
            return;
        }
        const QByteArray text = readBytes(path);
        QVERIFY(
            text.startsWith(Head)); // never the version before's first line, which it would take as its own
        Review::Store again;
        again.read(path);
        QCOMPARE(again.text(), text); // read as written
        QCOMPARE(text.contains("\nhouse\tcasa\tita->ing\t3.1730\t5.2826\t\t2026-12-01\t2026-12-04\t2\t0\n"),
            bytes.startsWith(Before)); // the history of both directions
        QVERIFY(text.contains( // new, wrong: due tomorrow, no lapse; the backslash, tab and line end escaped
            "\nd\\\\tog\\tx\tca\\r\\nne\tita->ing\t0.2120\t6.4133\t2026-12-05\t2026-12-05\t2026-12-"
            "06\t1\t0\n"));
    }

    // Every value is one the reader takes back: a line as read, then answered on a day near the end of
    // the calendar, written and read again keeps every line; a damaged line stays byte for byte.
    void values_data()
    {
        columns<QByteArray, QByteArray>("line", "read"); // read: as written back; empty: damaged
        const QByteArray tail = "\t2026-12-01\t2026-12-04\t1\t0", word = "a\tb\ting->ita\t3\t5\t\t";
        row("stability too small", "a\tb\ting->ita\t0.00004\t5\t" + tail,
            "a\tb\ting->ita\t0.0010\t5.0000\t" + tail);
        row("stability and difficulty too large", "a\tb\tita->ing\t99999\t11\t" + tail,
            "a\tb\tita->ing\t36500.0000\t10.0000\t" + tail);
        row("reviews at the largest number", word + "2026-12-01\t2026-12-04\t2147483647\t9",
            QByteArray("a\tb\ting->ita\t3.0000\t5.0000\t\t2026-12-01\t2026-12-04\t1000000000\t9"));
        row("the first and the last day of four digits", word + "0001-01-01\t9999-12-31\t1\t0",
            QByteArray("a\tb\ting->ita\t3.0000\t5.0000\t\t0001-01-01\t9999-12-31\t1\t0"));
        row("more lapses than reviews", "a\tb\ting->ita\t3\t5\t2026-11-01" + tail.chopped(1) + "4",
            "a\tb\ting->ita\t3.0000\t5.0000\t2026-11-01" + tail.chopped(1) + "1");
        row("a broken escape, then CR LF", "a\\q\tb\ting->ita\t3\t5\t" + tail + '\r', QByteArray());
        // Each field bad alone damages its line.
        for (const QByteArray bad : { "0caf\xE9", "2both", "3x", "3inf", "30", "4x", "4nan", "52026-12",
                 "62026-13-01", "7x", "8x", "80", "9-1" }) { // the field, then its value
            QList<QByteArray> fields = (word + tail.mid(1)).split('\t');
            fields[bad[0] - '0'] = bad.mid(1);
            QTest::newRow(bad.constData()) << fields.join('\t') << QByteArray();
        }
    }
    void values()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, read);
        QVERIFY(writeBytes(path, Head + line + '\n'));
        Review::Store store;
        store.read(path);
        QVERIFY(store.text().contains('\n' + (read.isEmpty() ? line : read) + '\n'));
        QCOMPARE(store.damagedLines(), int(read.isEmpty()));
        for (const auto &card : QList(store.cards()))
            store.answer(card.english, card.italian, card.direction, Grade::Easy, { 9999, 12, 30 });
        QVERIFY(store.write(path));
        Review::Store again;
        again.read(path);
        QCOMPARE(again.text(), readBytes(path));
        QCOMPARE(again.cards().size() + again.damagedLines(), 1);
        QVERIFY(again.cards().isEmpty() || again.cards()[0].due == QDate(9999, 12, 31));
    }

    // Two copies of the program on one folder, both answering: each write takes in what the other
    // wrote since, so no answer and no limit is lost; a word both answered counts both answers.
    void twoCopies()
    {
        const QDate day(2026, 12, 5);
        Review::Store a, b;
        a.read(path), b.read(path);
        a.answer(u"yes", u"sì", E, Grade::Good, day);
        QVERIFY(a.write(path));
        b.answer(u"thank you", u"grazie", E, Grade::Good, day);
        b.answer(u"yes", u"sì", E, Grade::Again, day);
        QVERIFY(b.write(path));
        QVERIFY(a.writeLimits(path, { 20, 5 }));
        QCOMPARE(b.refresh(path), St::Read);
        QCOMPARE(b.text(),
            Head
                + "#limiti\t20\t5\nyes\tsì\ting->ita\t0.7751\t7.3945\t2026-12-05\t2026-12-05\t2026-12-"
                  "06\t2\t0\n"
                  "thank you\tgrazie\ting->ita\t2.3065\t2.1181\t2026-12-05\t2026-12-05\t2026-12-07\t1\t0\n");
    }

    // A round leaves out the words another copy has answered today since the round began.
    void answeredElsewhere()
    {
        FakePlatform platform;
        Session session;
        session.dataFolder = DataFolder(dir->path());
        for (const char16_t *word : { u"cat", u"dog" })
            session.words.append(u" 1  ", word, word);
        QVERIFY(writeBytes(path,
            Head
                + "cat\tcat\ting->ita\t3\t5\t\t2026-12-01\t2026-12-04\t1\t0\ndog\tdog\ting->"
                  "ita\t3\t5\t\t2026-12-01\t2026-12-04\t1\t0\n"));
        Review::Round round(session, platform, E);
        Review::Store other;
        other.read(path);
        other.answer(u"dog", u"dog", E, Grade::Good, platform.date);
        QVERIFY(round.open() && other.write(path) && round.mayAsk());
        QCOMPARE(round.count(), 1); // of the two due
    }

    // Lines of words no longer in the vocabulary and damaged lines are kept up to a bound; past it they are
    // left out at the next write, after a copy of the file as it was.
    void bounds()
    {
        QByteArray bytes = Head + "cat\tgatto\ting->ita\t3\t5\t\t2026-12-01\t2026-12-04\t1\t0\n";
        for (int i = 0; i < Review::Store::KeptOrphans + 2; ++i)
            bytes += QByteArray::number(i) + "\tx\ting->ita\t3\t5\t\t2026-12-01\t2026-12-04\t1\t0\n";
        // one line, across the pieces of the reading
        bytes += QByteArray(UserFile::PieceBytes, 'x') + '\n';
        for (int i = 0; i < Review::Store::KeptDamaged + 2; ++i)
            bytes += "damaged " + QByteArray::number(i) + '\n';
        QVERIFY(writeBytes(path, bytes));
        WordTable words;
        words.append(u" 1  ", u"cat", u"gatto");
        Review::Store store;
        store.read(path, &words);
        QCOMPARE(QList<qsizetype>({ store.cards().size(), store.damagedLines(), store.leftOut() }),
            QList<qsizetype>({ Review::Store::KeptOrphans + 1, Review::Store::KeptDamaged, 5 }));
        QVERIFY(store.write(path));
        QCOMPARE(readBytes(dir->filePath("ripasso-copia.tsv")), bytes);
        QCOMPARE(store.read(path, &words), St::Read);
        QCOMPARE(store.leftOut(), 0);
    }

    // The limits window shows the file's limits and writes the new ones beside its words; a write that
    // fails leaves the file as it was, is told, and the window stays; Annulla closes it, writing nothing.
    // New words are never more than the day's words.
    void limits()
    {
        FakePlatform platform;
        Session session;
        session.dataFolder = DataFolder(dir->path());
        QVERIFY(writeBytes(path,
            Head + "#limiti\t30\t4\ncat\tgatto\ting->ita\t3.1730\t5.2826\t\t2026-12-01\t2026-12-04\t1\t0\n"));
        for (const QString way : { "fails", "Command2", "Command1" }) { // a failed write, Annulla, OK
            const bool fails = way == "fails";
            ReviewLimitsWindow form(session, platform);
            form.show();
            auto *daily = control<QSpinBox>(&form, "Text1"), *fresh = control<QSpinBox>(&form, "Text2");
            QCOMPARE(QPoint(daily->value(), fresh->value()), QPoint(30, 4));
            fresh->setValue(7), daily->setValue(5);
            QCOMPARE(fresh->value(), 5);
            daily->setValue(20), fresh->setValue(7);
            QVERIFY(!fails || QFile::rename(dir->path(), dir->path() + ".gone"));
            control<QPushButton>(&form, fails ? "Command1" : way)->click();
            QCOMPARE(form.isVisible(), fails);
            QCOMPARE(platform.shown.size(), 1);
            QVERIFY(!fails || QFile::rename(dir->path() + ".gone", dir->path()));
        }
        QCOMPARE(readBytes(path),
            Head + "#limiti\t20\t7\ncat\tgatto\ting->ita\t3.1730\t5.2826\t\t2026-12-01\t2026-12-04\t1\t0\n");
    }

    // Today's words in one direction: due ones most overdue first, then new ones, within the limits, from
    // the chosen lessons; a word is found by its texts wherever its row went. The next day with a word, of
    // a due word and a new one, counts the new one only when the limits bring new words in. With no word
    // left the menu says whether today's limit holds the due ones back.
    void dueWords_data()
    {
        // lessons: chosen, empty: all; next: days from today; edit: of the vocabulary after the answers;
        // menu: the menu's count when no word is left
        columns<QString, int, int, QString, int, QString, QString>(
            "lessons", "daily", "newWords", "rows", "next", "edit", "menu");
        row("all", "", 50, 10, "3 1 0 4", 1, "");
        row("no new words", "", 50, 0, "3 1", 7, "");
        row("daily limit, one answered today", "", 3, 3, "3 1", 1, "");
        row("daily limit reached today", "", 1, 1, "", 1, "", " (limite di oggi raggiunto)");
        row("one more new, one new today", "", 50, 2, "3 1 0", 1, "");
        row("lesson 2", "2", 50, 10, "3 4", 7, "");
        row("rows reversed", "", 50, 10, "4 1 0 7", 1, "reversed");
        row("a text changed starts afresh", "", 50, 10, "3 6 0 1 4", 1, "renamed");
        row("two due the same day keep their order", "", 50, 10, "1 3 0 4", 1, "same day");
        row("from Italian: every word new", "", 50, 10, "0 1 2 3 4 5", 1, "Italian");
        row("from Italian, no new words: none", "", 50, 0, "", -1, "Italian", " (nessuna parola)");
    }
    void dueWords()
    {
        QFETCH(QString, edit);
        // Rows 1, 3 are due (3 longer overdue), 2 not yet, 5 answered today; 0, 4 are new; 6, 7 repeat 1, 4.
        QStringList table
            = QString(" 1  |cat|gatto/ 1  |house|casa/ 1  |dog|cane/ 2  |light|luce/ 2  |to walk|camminare/"
                      " 2  |red|rosso/ 1  |house|casa/ 2  |to walk|camminare")
                  .split(u'/');
        if (edit == "reversed")
            std::reverse(table.begin(), table.end());
        if (edit == "renamed")
            table[1] = " 1  |house|abitazione";
        WordTable words;
        for (const QString &w : table)
            words.append(w.section(u'|', 0, 0), w.section(u'|', 1, 1).leftJustified(50), w.section(u'|', 2));
        Review::Store store;
        const QDate today(2026, 12, 5);
        store.answer(u"house", u"casa", E, Grade::Good, today.addDays(-5)); // due in 3 days
        store.answer(u"light", u"luce", E, Grade::Good, today.addDays(edit == "same day" ? -5 : -6));
        store.answer(u"dog", u"cane", E, Grade::Easy, today.addDays(-1));
        store.answer(u"red", u"rosso", E, Grade::Again, today);
        store.setLimits({ fetched<int>("daily"), fetched<int>("newWords") });
        SelectionOptions options;
        for (const QString &l : fetched<QString>("lessons").split(' ', Qt::SkipEmptyParts))
            options.Ckles[0] = false, options.Ckles[std::size_t(l.toInt())] = true;
        const Direction direction = edit == "Italian" ? I : E;
        const Review::Plan plan = Review::plan(words, options, store, today, direction);
        QCOMPARE(plan.rows, numbers("rows"));
        QVERIFY(!plan.rows.isEmpty() || Review::menuCount(plan) == fetched<QString>("menu"));
        WordTable two; // a due word and a new one
        two.append(u" 2  ", u"dog", u"cane"), two.append(u" 1  ", u"cat", u"gatto");
        const int next = fetched<int>("next"); // -1: none
        QCOMPARE(Review::nextDueDay(two, options, store, today, direction),
            next < 0 ? QDate() : today.addDays(next));
    }

    // What "Risultati" says of the review: memories due today and learned (from a stability of 21 days), the
    // recall expected now of the words not answered today, so that failing never raises it, the damaged
    // lines; from the log, the words recalled when due in the last 30 days beside the 90% aimed.
    void told_data()
    {
        columns<QByteArray, QByteArray, QString>("words", "log", "line");
        const QByteArray learned = "house\tcasa\ting->ita\t21\t5\t\t2026-11-25\t2026-12-05\t3\t0\n";
        const QByteArray almost = "cat\tgatto\ting->ita\t20.9999\t5\t\t2026-11-25\t2026-12-16\t3\t0\n";
        const QByteArray failedToday = "dog\tcane\ting->ita\t0.2120\t5\t\t2026-12-05\t2026-12-06\t3\t1\n";
        const QString none
            = "\nRipasso, ultimi 30 giorni: nessuna parola ancora dovuta (obiettivo 90% ricordate)";
        const QByteArray answered = "2026-12-01 09:00:00\thouse\tcasa\ting->ita\t",
                         first = "2026-11-06" + answered.mid(10), old = "2026-11-05" + answered.mid(10);
        row("learned from 21 days", learned + almost, QByteArray(),
            "Ripasso: da ripassare oggi 1, imparate 1, ricordo atteso ora 94%" + none);
        row("a word failed today left out", learned + failedToday, QByteArray(),
            "Ripasso: da ripassare oggi 1, imparate 1, ricordo atteso ora 94%" + none);
        row("only words of today", failedToday + "damaged\n", QByteArray(),
            "Ripasso: da ripassare oggi 0, imparate 0 (1 riga di ripasso.tsv illeggibile)" + none);
        row("the log unreadable", QByteArray(), QByteArray("folder"),
            "Ripasso: nessuna parola ancora ripassata\nIl file ~/ripassolog non è un file normale (è una "
            "cartella, una coda o un dispositivo): non lo leggo.");
        row("the log from 4 MiB on: recalled, forgotten, new, same day, on the first day, too old",
            QByteArray(),
            QByteArray(UserFile::PieceBytes, '\n') + answered + "3\t5\t0.9000\n" + answered + "1\t9\t0.8000\n"
                + answered + "3\t\t\n" + answered + "4\t0\t1.0000\n" + first + "3\t4\t0.9000\n" + old
                + "1\t4\t0.9000\n",
            "Ripasso: nessuna parola ancora ripassata\n"
            "Ripasso, ultimi 30 giorni: ricordate 67% delle 3 parole dovute (obiettivo 90%)");
    }
    void told()
    {
        const QDate today(2026, 12, 5);
        QVERIFY(writeBytes(path, Head + fetched<QByteArray>("words")));
        QVERIFY(fetched<QByteArray>("log") == "folder"
                ? QDir(dir->path()).mkdir("ripassolog")
                : writeBytes(dir->filePath("ripassolog"), fetched<QByteArray>("log")));
        WordTable words;
        for (const char *w : { "house casa", "cat gatto", "dog cane" })
            words.append(u" 1  ", QString(w).section(u' ', 0, 0), QString(w).section(u' ', 1));
        Review::Store store;
        store.read(path);
        QTEST(Review::summaryLine(words, store, today, Review::retention(dir->filePath("ripassolog"), today))
                  .replace(dir->path(), "~"),
            "line");
    }

    // F6 on the main window with the file of the version before: two due words answered in the drill, one
    // red and corrected, one after help, both asked again at the end; today's limit is then reached, said
    // so in the menu and by F6, while the other direction has its own words. The vocabulary stays as it was,
    // each answer is a line of the log, and a round begun before midnight counts for its own day.
    // Steps: "menu" opens the menu (its two entries said), F6 / F7 the review from English / Italian (then
    // "main" or "drill" said, whichever shows), "next" the drill's next word (said, with the round's count),
    // "x" a wrong letter, "help", "right" the answer, "gone" / "back" the data folder moved away and back,
    // "close", "+D:HH:MM" the clock days later, "other" what the files hold (said: the review file, the log,
    // the drill's count), then a file of another version. Each message is said where it shows.
    void reviewInTheDrill()
    {
        FakePlatform platform;
        platform.folder = dir->path();
        const QDate today = platform.date;
        const QByteArray vocabulary = Vocabulary::encode(wordLine(" 1", "", "cat", "gatto\r\n")
            + wordLine(" 1", "", "dog", "cane\r\n") + wordLine(" 1", "", "house", "casa\r\n")
            + wordLine(" 1", "", "red", "rosso\r\n"));
        writeBytes(dir->filePath("inglese.txt"), vocabulary);
        writeBytes(path,
            Before + "#limiti\t2\t0\n"
                + "cat\tgatto\t3.1730\t5.2826\t2026-12-01\t2026-12-04\t1\t0\n"
                  "dog\tcane\t3.1730\t5.2826\t2026-12-01\t2026-12-05\t1\t0\n"
                  "house\tcasa\t3.1730\t5.2826\t2026-12-01\t2026-12-03\t1\t0\n"
                  "red\trosso\t3.1730\t5.2826\t2026-12-01\t2026-12-09\t1\t0\n");
        Session session;
        MainWindow main(session, platform);
        QVERIFY(main.Form_Load());
        main.show();
        QStringList said;
        DrillWindow *drill = nullptr;
        for (const QString &step :
            QString("menu F6 next x gone right next help right next back right next help right next close "
                    "F6 +1:23:59 F6 next +2:00:01 close other F7")
                .split(u' ')) {
            const qsizetype shown = platform.shown.size();
            if (step == "menu") {
                emit control<QMenu>(&main, "menuProva")->aboutToShow();
                said << control<QAction>(&main, "menuRipasso")->text()
                     << control<QAction>(&main, "menuRipassoIta")->text();
            } else if (step.startsWith(u'F')) {
                control<QAction>(&main, step == "F6" ? "menuRipasso" : "menuRipassoIta")->trigger();
                drill = nullptr;
                for (QWidget *window : QApplication::topLevelWidgets())
                    if (auto *shownDrill = qobject_cast<DrillWindow *>(window);
                        shownDrill && window->isVisible())
                        drill = shownDrill;
                said << (main.isVisible() ? "main" : "drill");
            } else if (step == "next") {
                QVERIFY(drill);
                drill->Command1_Click();
                said << drill->shownBox()->text() + ", " + control<QLabel>(drill, "Labripasso")->text();
            } else if (step == "x" || step == "right") {
                drill->typingBox()->setText(step == "x" ? step : drill->drill().answer());
            } else if (step == "help") {
                drill->drill().help();
            } else if (step == "gone" || step == "back") {
                QVERIFY(QDir().rename(dir->path() + (step == "back" ? ".gone" : ""),
                    dir->path() + (step == "gone" ? ".gone" : "")));
            } else if (step == "close") {
                drill->close();
            } else if (step.startsWith(u'+')) {
                platform.date = today.addDays(step.mid(1, 1).toInt());
                platform.time = QTime::fromString(step.mid(3), "hh:mm");
            } else { // what the files hold, then a file of another version
                said << readBytes(path) << readBytes(dir->filePath("ripassolog"))
                     << QString::number(session.doneCount); // the drill's own counting goes on as ever
                QVERIFY(writeBytes(path, "english\titalian\n"));
            }
            for (const auto &message : platform.shown.sliced(shown))
                said << QString(message.text).replace(dir->path(), "~");
        }
        QCOMPARE(readBytes(dir->filePath("inglese.txt")), vocabulary);
        QCOMPARE(said.join(u'|'),
            "Ri&passo di oggi (2 parole)...|Ripasso di oggi, Italiano->Inglese (2 parole)...|drill|"
            "house, Ripasso di oggi: parola 1 di 2|"
            "Non riesco a scrivere il file ~/ripasso.tsv:\r\nla cartella non c'è più\r\nIl ripasso continua: "
            "riprovo a salvare le risposte alla prossima parola.|"
            "Non riesco a scrivere nel registro del ripasso ~/ripassolog:\r\nla cartella non c'è più\r\nIl "
            "ripasso continua, ma le sue righe vanno perse.|"
            "cat, Ripasso di oggi: parola 2 di 2|house, Ripasso di oggi: parola 3 di 4|"
            "cat, Ripasso di oggi: parola 4 di 4|cat, Ripasso di oggi: parola 4 di 4|"
            "Ripasso di oggi finito, parole ripassate: 2.\r\nLa prossima è da ripassare il 06/12/2026.|main|"
            "Oggi hai già ripassato 2 parole, il limite del giorno; ne restano da ripassare ancora 1.\r\nIl "
            "limite si cambia in \"Opzioni / Limiti del Ripasso...\".|"
            "drill|dog, Ripasso di oggi: parola 1 di 2|"
            "inglese\titaliano\tdirezione\tstabilita\tdifficolta\tprimo_ripasso\tultimo_"
            "ripasso\tscadenza\tripassi\tdimenticanze\n"
            "#limiti\t2\t0\n"
            "cat\tgatto\ting->ita\t0.2680\t9.4707\t2026-12-01\t2026-12-05\t2026-12-06\t3\t1\n"
            "cat\tgatto\tita->ing\t3.1730\t5.2826\t2026-12-01\t2026-12-01\t2026-12-04\t1\t0\n"
            "dog\tcane\ting->ita\t0.7616\t8.4347\t2026-12-01\t2026-12-06\t2026-12-07\t2\t1\n"
            "dog\tcane\tita->ing\t3.1730\t5.2826\t2026-12-01\t2026-12-01\t2026-12-05\t1\t0\n"
            "house\tcasa\ting->ita\t1.3644\t7.8968\t2026-12-01\t2026-12-05\t2026-12-06\t3\t1\n"
            "house\tcasa\tita->ing\t3.1730\t5.2826\t2026-12-01\t2026-12-01\t2026-12-03\t1\t0\n"
            "red\trosso\ting->ita\t3.1730\t5.2826\t2026-12-01\t2026-12-01\t2026-12-09\t1\t0\n"
            "red\trosso\tita->ing\t3.1730\t5.2826\t2026-12-01\t2026-12-01\t2026-12-09\t1\t0\n|"
            "2026-12-05 09:10:02\thouse\tcasa\ting->ita\t4\t0\t1.0000\n"
            "2026-12-05 09:10:02\tcat\tgatto\ting->ita\t1\t0\t1.0000\n"
            "2026-12-07 00:01:00\tdog\tcane\ting->ita\t1\t5\t0.8659\n|4|drill|"
            "Il file ripasso.tsv è di un'altra versione del programma o non si legge: lo lascio com'è, e le "
            "risposte di questo ripasso non vengono salvate.");
    }
};

QTEST_MAIN(TestReview)
#include "tst_review.moc"
