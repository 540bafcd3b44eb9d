// The review: the memory model against its published values, the grade of an answer, the file
// ripasso.tsv, today's words, and the review run through the main window and a drill window.
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

Q_DECLARE_METATYPE(Review::AnswerFacts)

const QByteArray Head = "inglese\titaliano\tstabilita\tdifficolta\tultimo_ripasso\tscadenza\tripassi\t"
                        "dimenticanze\n";

class TestReview : public QObject
{
    Q_OBJECT

private slots:
    // Two answers days apart: stability, difficulty and next interval at 90%, as published for the
    // version-5 model with its default weights.
    void sequences_data()
    {
        QTest::addColumn<int>("grade");
        QTest::addColumn<int>("days");
        QTest::addColumn<double>("stability");
        QTest::addColumn<double>("difficulty");
        QTest::addColumn<int>("interval");
        row("again again", 1, 1, 0.2619, 8.0827, 1);
        row("hard hard", 2, 1, 1.7073, 7.0405, 2);
        row("good good", 3, 1, 5.8691, 5.2729, 6);
        row("easy easy", 4, 1, 25.0123, 2.1301, 25);
        row("again again 2 days", 1, 2, 0.3403, 8.0827, 1);
        row("good good same day", 3, 0, 4.4669, 5.2729, 4);
    }
    void sequences()
    {
        QFETCH(int, grade);
        const Fsrs::Model model;
        const Fsrs::Memory m = model.next(model.first(Grade(grade)), fetched<int>("days"), Grade(grade));
        QCOMPARE_LT(qAbs(m.stability - fetched<double>("stability")), 1e-3);
        QCOMPARE_LT(qAbs(m.difficulty - fetched<double>("difficulty")), 1e-3);
        QTEST(Fsrs::Model::interval(m.stability), "interval");
    }

    void grade_data()
    {
        QTest::addColumn<Review::AnswerFacts>("facts");
        QTest::addColumn<int>("grade");
        const auto add = [](const char *tag, Review::AnswerFacts f, Grade g) { row(tag, f, int(g)); };
        add("3 s of 10", { .elapsedSeconds = 3, .freeTime = 10 }, Grade::Easy);
        add("4 s of 12", { .elapsedSeconds = 4, .freeTime = 12 }, Grade::Good);
        add("4 s of 14", { .elapsedSeconds = 4, .freeTime = 14 }, Grade::Easy);
        add("9 s of 10", { .elapsedSeconds = 9, .freeTime = 10 }, Grade::Good);
        add("first point lost", { .elapsedSeconds = 10, .freeTime = 10 }, Grade::Hard);
        add("10 s of 14, not yet slow", { .elapsedSeconds = 10, .freeTime = 14 }, Grade::Good);
        add("slow within 14", { .elapsedSeconds = 11, .freeTime = 14 }, Grade::Hard);
        add("help, fast", { .elapsedSeconds = 2, .freeTime = 10, .helpShown = true }, Grade::Again);
        add("given up", { .elapsedSeconds = 5, .freeTime = 10, .givenUp = true }, Grade::Again);
    }
    void grade() { QTEST(int(Review::gradeOf(fetched<Review::AnswerFacts>("facts"))), "grade"); }

    // The file as found on disk: what is read, what counts as damaged, what a write leaves.
    void file_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("damaged");
        QTest::addColumn<bool>("written");
        const QByteArray good = "house\tcasa\t3.1730\t5.2826\t2026-12-01\t2026-12-04\t1\t0\n";
        using St = Review::Store::Status;
        row("missing", QByteArray(), int(St::Missing), 0, 0, true);
        row("one word", Head + good, int(St::Read), 1, 0, true);
        row("CR LF and limits", QByteArray(Head + "#limiti\t20\t5\n" + good).replace("\n", "\r\n"),
            int(St::Read), 1, 0, true);
        QByteArray damaged = Head + good + "short\n" + good; // too few columns, a word twice
        // Each value unreadable, missing or just out of range, in a word of its own; a range's ends are read.
        const std::pair<int, const char *> values[] = { { 2, "2026-13-01" }, { 3, "2026-13-01" },
            { 4, "2026-13-01" }, { 5, "2026-13-01" }, { 6, "2026-13-01" }, { 7, "2026-13-01" }, { 2, "0" },
            { 2, "36500.01" }, { 3, "0.99" }, { 3, "10.01" }, { 6, "0" }, { 7, "-1" }, { 7, "2" }, { 1, "" },
            { 2, "36500" }, { 3, "1" }, { 3, "10" }, { 7, "1" } };
        for (const auto &[column, value] : values) {
            QList<QByteArray> cells
                = (QByteArray(value) + '/' + QByteArray::number(column) + good.mid(5)).trimmed().split('\t');
            cells[column] = value;
            damaged += cells.join('\t') + '\n';
        }
        row("damaged lines kept", damaged, int(St::Read), 5, 16, true);
        row("a byte order mark", "\xEF\xBB\xBF" + Head + good, int(St::Read), 1, 0, true);
        row("a folder in its place", QByteArray("folder"), int(St::Unreadable), 0, 0, false);
        row("a link to nowhere", QByteArray("link"), int(St::Unreadable), 0, 0, false);
        row("another version", "english\titalian\tS\tD\n" + good, int(St::OtherVersion), 0, 0, false);
    }
    void file()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, damaged);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString path = dir.filePath("ripasso.tsv");
        if (!bytes.isNull())
            QVERIFY(bytes == "folder" ? QDir().mkdir(path)
                    : bytes == "link" ? QFile::link("gone", path)
                                      : writeBytes(path, bytes));
        Review::Store store;
        store.read(dir.path()); // a folder: each read stands alone, and holds the file once
        store.read(path);
        QTEST(int(store.read(path)), "status");
        QTEST(int(store.cards().size()), "cards");
        QCOMPARE(store.damagedLines(), damaged);
        store.answer(u"d\\tog\tx ", u"ca\r\nne\n", Grade::Again, { 2026, 12, 5 }); // \, tab, line end
        QCOMPARE(store.write(path), written);
        Review::Store again;
        again.read(path);
        if (!written) {
            QCOMPARE(readBytes(path), bytes == "folder" || bytes == "link" ? QByteArray() : bytes); // kept
            return;
        }
        QCOMPARE(again.damagedLines(), damaged);
        const QByteArray house = "\nhouse\tcasa\t3.1730\t5.2826\t2026-12-01\t2026-12-04\t1\t0\n";
        QCOMPARE(readBytes(path).contains(house), bytes.contains("house")); // an unchanged word as it was
        QCOMPARE(again.limits.daily, bytes.contains("#limiti") ? 20 : 50);
        const Review::Card *d = again.find(u"d\\tog\tx", u"ca\r\nne"); // new, wrong: due tomorrow, no lapse
        QCOMPARE(d ? std::pair(d->due, d->lapses) : std::pair(QDate(), -1), std::pair(QDate(2026, 12, 6), 0));
    }

    // The limits window shows the file's limits and writes the new ones beside its words; a write that
    // fails leaves the file as it was, is told, and the window stays; Annulla closes it, writing nothing.
    void limits()
    {
        QTemporaryDir dir;
        FakePlatform platform;
        Session session;
        session.dataFolder = DataFolder(dir.path());
        const QString path = dir.filePath("ripasso.tsv");
        QVERIFY(writeBytes(
            path, Head + "#limiti\t30\t4\ncat\tgatto\t3.1730\t5.2826\t2026-12-01\t2026-12-04\t1\t0\n"));
        for (const QString way : { "fails", "Command2", "Command1" }) { // a failed write, Annulla, OK
            const bool fails = way == "fails";
            ReviewLimitsWindow form(session, platform);
            form.show();
            auto *daily = control<QSpinBox>(&form, "Text1"), *fresh = control<QSpinBox>(&form, "Text2");
            QCOMPARE(QPoint(daily->value(), fresh->value()), QPoint(30, 4));
            daily->setValue(20), fresh->setValue(7);
            QVERIFY(!fails || QFile::rename(dir.path(), dir.path() + ".gone"));
            control<QPushButton>(&form, fails ? "Command1" : way)->click();
            QCOMPARE(form.isVisible(), fails);
            QCOMPARE(platform.shown.size(), 1);
            QVERIFY(!fails || QFile::rename(dir.path() + ".gone", dir.path()));
        }
        Review::Store store;
        QCOMPARE(store.read(path), Review::Store::Status::Read);
        QCOMPARE(QPoint(store.limits.daily, store.limits.newWords), QPoint(20, 7));
        QCOMPARE(store.cards().size(), 1);
    }

    // Today's words: due ones most overdue first, then new ones, within the
    // limits, from the chosen lessons; a word is found by its texts wherever its row went.
    void dueWords_data()
    {
        QTest::addColumn<QString>("lessons"); // chosen lessons, empty: all
        QTest::addColumn<int>("daily");
        QTest::addColumn<int>("newWords");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("edit"); // of the vocabulary after the answers
        row("all", "", 50, 10, "3 1 0 4", "");
        row("no new words", "", 50, 0, "3 1", "");
        row("daily limit, one answered today", "", 3, 10, "3 1", "");
        row("daily limit reached today", "", 1, 10, "", "");
        row("one more new, one new today", "", 50, 2, "3 1 0", "");
        row("lesson 2", "2", 50, 10, "3 4", "");
        row("rows reversed", "", 50, 10, "4 1 0 7", "reversed");
        row("a text changed starts afresh", "", 50, 10, "3 6 0 1 4", "renamed");
        row("two due the same day keep their order", "", 50, 10, "1 3 0 4", "same day");
    }
    void dueWords()
    {
        QFETCH(QString, edit);
        // Rows 1, 3 are due (3 longer overdue), 2 not yet, 5 answered today; 0, 4 are new; 6, 7 repeat 1, 4.
        QList<QStringList> table { { " 1", "cat", "gatto" }, { " 1", "house", "casa" },
            { " 1", "dog", "cane" }, { " 2", "light", "luce" }, { " 2", "to walk", "camminare" },
            { " 2", "red", "rosso" }, { " 1", "house", "casa" }, { " 2", "to walk", "camminare" } };
        if (edit == "reversed")
            std::reverse(table.begin(), table.end());
        if (edit == "renamed")
            table[1][2] = "abitazione";
        WordTable words;
        for (const QStringList &w : table)
            words.append(QString(w[0] + "  "), w[1].leftJustified(50), w[2]);
        Review::Store store;
        const QDate today(2026, 12, 5);
        store.answer(u"house", u"casa", Grade::Good, today.addDays(-5)); // due in 3 days
        store.answer(u"light", u"luce", Grade::Good, today.addDays(edit == "same day" ? -5 : -6));
        store.answer(u"dog", u"cane", Grade::Easy, today.addDays(-1));
        store.answer(u"red", u"rosso", Grade::Again, today);
        store.limits = { fetched<int>("daily"), fetched<int>("newWords") };
        SelectionOptions options;
        for (const QString &l : fetched<QString>("lessons").split(' ', Qt::SkipEmptyParts))
            options.Ckles[0] = false, options.Ckles[std::size_t(l.toInt())] = true;
        QCOMPARE(Review::dueWords(words, options, store, today), numbers("rows"));
        QCOMPARE(Review::nextDueDay(words, options, store, today), today.addDays(1));
        WordTable dog; // nothing new: the day the one word is due
        dog.append(u" 1  ", u"dog", u"cane");
        QCOMPARE(Review::nextDueDay(dog, {}, store, today), today.addDays(15));
    }

    // F6 on the main window: three due words answered in the drill, their new
    // due dates in ripasso.tsv, the vocabulary untouched; then nothing is due.
    void reviewInTheDrill()
    {
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        const QByteArray vocabulary = Vocabulary::encode(wordLine(" 1", "", "cat", "gatto\r\n")
            + wordLine(" 1", "", "dog", "cane\r\n") + wordLine(" 1", "", "house", "casa\r\n")
            + wordLine(" 1", "", "red", "rosso\r\n"));
        writeBytes(dir.filePath("inglese.txt"), vocabulary);
        writeBytes(dir.filePath("ripasso.tsv"),
            Head + "#limiti\t50\t0\n"
                + "cat\tgatto\t3.1730\t5.2826\t2026-12-01\t2026-12-04\t1\t0\n"
                  "dog\tcane\t3.1730\t5.2826\t2026-12-01\t2026-12-05\t1\t0\n"
                  "house\tcasa\t3.1730\t5.2826\t2026-12-01\t2026-12-03\t1\t0\n"
                  "red\trosso\t3.1730\t5.2826\t2026-12-01\t2026-12-09\t1\t0\n");
        Session session;
        MainWindow main(session, platform);
        QVERIFY(main.Form_Load());
        main.show();
        QAction *review = control<QAction>(&main, "menuRipasso");
        emit control<QMenu>(&main, "menuProva")->aboutToShow();
        QCOMPARE(review->text(), "Ri&passo di oggi (3 parole)...");
        review->trigger();
        const auto shownDrill = [] { return qobject_cast<DrillWindow *>(QApplication::activeWindow()); };
        DrillWindow *drill = nullptr;
        QTRY_VERIFY((drill = shownDrill()) && !main.isVisible());
        QStringList asked;
        // House is the most overdue; answered at once (Easy), after 5 s (Good), after help (Again).
        // The first two answers find the data folder gone: said once, and written with the third.
        const QString gone = dir.path() + ".gone";
        for (int i = 0; i < 3; ++i) {
            drill->Command1_Click();
            asked << drill->shownBox()->text();
            for (int t = 0; t < 5 * i; ++t)
                tick(drill, "Timer1");
            if (i == 2)
                drill->drill().help();
            QVERIFY(i == 1 || QDir().rename(i ? gone : dir.path(), i ? dir.path() : gone));
            drill->typingBox()->setText(drill->drill().answer());
        }
        QCOMPARE(asked, QStringList({ "house", "cat", "dog" }));
        QVERIFY(platform.shown.size() == 1 && platform.shown[0].text.startsWith("Non riesco a scrivere"));
        QCOMPARE(control<QLabel>(drill, "Labripasso")->text(), "Ripasso di oggi: parola 3 di 3");
        drill->Command1_Click();
        QCOMPARE(platform.shown.last().text,
            "Ripasso di oggi finito, parole ripassate: 3.\r\nLa prossima è da ripassare il 06/12/2026.");
        drill->close();

        Review::Store store;
        QCOMPARE(store.read(dir.filePath("ripasso.tsv")), Review::Store::Status::Read);
        const QDate today = platform.date;
        QCOMPARE(store.find(u"house", u"casa")->due, QDate(2027, 1, 6)); // Easy: stability 32.4 days
        QCOMPARE(store.find(u"cat", u"gatto")->due, QDate(2026, 12, 18)); // Good: 12.9 days
        QCOMPARE(store.find(u"dog", u"cane")->due, today.addDays(1));
        QCOMPARE(store.find(u"dog", u"cane")->lapses, 1);
        QCOMPARE(store.find(u"red", u"rosso")->due, QDate(2026, 12, 9));
        QCOMPARE(session.doneCount, 3); // the drill's own counting goes on as ever
        QCOMPARE(readBytes(dir.filePath("inglese.txt")), vocabulary);

        emit control<QMenu>(&main, "menuProva")->aboutToShow();
        QCOMPARE(review->text(), "Ri&passo di oggi (0 parole)...");
        control<QAction>(&main, "menuRipassoIta")->trigger();
        QCOMPARE(platform.shown.last().text,
            "Oggi non c'è nessuna parola da ripassare nelle Lezioni scelte.\r\n"
            "La prossima è da ripassare il 06/12/2026.");
        QVERIFY(main.isVisible()); // and no drill opens

        // The next day the forgotten word is due; closing the window while it is asked gives it up.
        platform.date = today.addDays(1);
        control<QAction>(&main, "menuRipassoIta")->trigger();
        QTRY_VERIFY((drill = shownDrill()));
        drill->Command1_Click();
        QCOMPARE(drill->shownBox()->text(), "cane");
        drill->close();
        store.read(dir.filePath("ripasso.tsv"));
        QCOMPARE(store.find(u"dog", u"cane")->lapses, 2);
        QCOMPARE(store.find(u"dog", u"cane")->due, today.addDays(2));
        // A file of another version is said so once the review opens.
        QVERIFY(writeBytes(dir.filePath("ripasso.tsv"), "english\titalian\n"));
        control<QAction>(&main, "menuRipassoIta")->trigger();
        QVERIFY(platform.shown.last().text.startsWith("Il file ripasso.tsv è di un'altra versione"));
    }
};

QTEST_MAIN(TestReview)
#include "tst_review.moc"
