#include "drill.h"
#include "fixture.h"
#include "helptext.h"
#include "mainrules.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

// Files written by other editors or by a full disk, saves that the next
// start-up would refuse, and answers a learner cannot type: none of them may
// lose a word or leave the user stuck.
class TestLostWords : public QObject
{
    Q_OBJECT

private slots:
    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "fifo": a named pipe instead of a file
        QTest::addColumn<QString>("text"); // null: not read
        const QString crLf = "cat\r\ndog\r\n";
        row("LF line ends", QByteArray("cat\ndog\n"), crLf);
        row("CR line ends", QByteArray("cat\rdog\r"), crLf);
        row("mixed line ends", QByteArray("cat\r\ndog\n"), crLf);
        row("UTF-8 with mark",
            QByteArray("\xEF\xBB\xBF"
                       "citt\xC3\xA0\r\n"),
            QString("citt\u00e0\r\n"));
        row("UTF-8 without mark", QByteArray("perch\xC3\xA9\r\n"), QString("perch\u00e9\r\n"));
        row("not UTF-8 stays Windows-1252", QByteArray("\xC3\x28 \x80\r\n"), QString("\u00c3( \u20ac\r\n"));
        row("named pipe", QByteArray("fifo"), QString());
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath("inglese.txt");
        QVERIFY(bytes == "fifo" ? mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                : writeBytes(path, bytes));
        QString read;
        QCOMPARE(Vocabulary::readFile(path, read), !text.isNull());
        QCOMPARE(read, text);
    }

    void saveCheck_data()
    {
        QTest::addColumn<QString>("wordText");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("says");
        using P = Vocabulary::SaveProblem;
        const QString good = wordLine("1", "", "cat", "gatto") + "\r\n";
        row("empty list", QString(), int(P::NoWords), "nessun vocabolo");
        row("comments only", "## note\r\n", int(P::NoWords), "nessun vocabolo");
        row("tab in a line", good + " 2\tdog\r\n", int(P::Tab),
            "La Riga numero 2 contiene un carattere di tabulazione");
        row("emoji", good + wordLine("2", "", "smile \U0001F600", "sorriso") + "\r\n", int(P::BadCharacter),
            "\u00ab\U0001F600\u00bb (U+1F600)");
        row("one word", good, int(P::None), QString());
    }
    void saveCheck()
    {
        QFETCH(QString, wordText);
        const Vocabulary::SaveProblem problem = Vocabulary::checkBeforeSave(wordText);
        QTEST(int(problem.kind), "kind");
        const QString message = Vocabulary::saveProblemMessage(problem);
        QVERIFY2(
            message.contains(*static_cast<const QString *>(QTest::qData("says", qMetaTypeId<QString>()))),
            qPrintable(message));
    }

    // The log line goes in whole or not at all: a disk that takes only part
    // of it (here a file size limit) leaves the log as it was.
    void exitLog_data()
    {
        QTest::addColumn<qint64>("room"); // bytes the file may still grow by
        row("room for the line", qint64(1000));
        row("disk full in the middle of the line", qint64(10));
    }
    void exitLog()
    {
        QFETCH(qint64, room);
        QTemporaryDir dir;
        const QString path = dir.filePath("inglelog"),
                      line = "06/12/2026 10:00:00 10:20:00    12/987/2        2 5";
        const QByteArray old = "05/12/2026 09:10:02 09:31:45    1/1000/0        TUTTE\r\n";
        QVERIFY(writeBytes(path, old));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved {}, limit {};
        getrlimit(RLIMIT_FSIZE, &saved);
        limit = { rlim_t(old.size() + room), saved.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = MainRules::appendExitLog(path, line);
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(written, room > 100);
        QCOMPARE(readBytes(path), written ? old + line.toLatin1() + "\r\n" : old);
    }

    // Whatever the instructions file holds, no entry stalls the help window;
    // the shipped instructions put the critical marks where the list shows them.
    void help()
    {
        const QStringList lines = helpLines(QByteArray(10'000'000, 'x') + "\r\nfine\r\n");
        QVERIFY(lines.size() == 2 && lines.first().size() <= 1000 && lines.last() == "fine");
        QVERIFY(helpLines(QByteArray("x\r\n").repeated(1'000'000)).size() <= 10000);
        const QString shipped = helpLines(readBytes(INGLESE_SAMPLES_DIR "/aiutoV5.txt")).join('\n');
        QVERIFY(!shipped.contains("(e una \"c\" se la parola"));
        QVERIFY(shipped.contains("la \"c\" scritta nel file") && shipped.contains("non compare nessuna"));
    }

    // The launcher cannot prepare the data folder: the program still starts,
    // to show the reason in a window.
    void launcher_data()
    {
        QTest::addColumn<QString>("obstacle"); // what stands where the data folder goes
        row("free place", QString());
        row("dangling link", "link");
        row("a file", "file");
    }
    void launcher()
    {
        QFETCH(QString, obstacle);
        QTemporaryDir dir;
        const QString program = dir.filePath("program"), data = dir.filePath("xdg/inglese");
        QVERIFY(writeBytes(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$REPORT\"\n")
            && QDir().mkpath(dir.filePath("xdg"))
            && QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(obstacle == "link" ? QFile::link(dir.filePath("nowhere"), data)
                                   : obstacle != "file" || writeBytes(data, "x"));
        QProcess launch;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dir.filePath("xdg"));
        environment.insert("REPORT", dir.filePath("report"));
        launch.setProcessEnvironment(environment);
        launch.start("bash", { INGLESE_LAUNCHER, program, INGLESE_SAMPLES_DIR });
        QVERIFY(launch.waitForFinished() && launch.exitCode() == 0);
        const QString failure
            = MainRules::launchFailure(QString(readBytes(dir.filePath("report"))).split('\n'));
        QCOMPARE(failure.contains(data), !obstacle.isEmpty());
        QCOMPARE(QFile::exists(data + "/inglese.txt"), obstacle.isEmpty());
    }

    // Answers written as school lists write them, and many words sharing one
    // prompt: the asked word's own answer is always accepted, the help shows
    // it, and the synonyms message stays short enough for the screen.
    void answers_data()
    {
        QTest::addColumn<QList<QStringList>>("words");
        QTest::addColumn<int>("asked");
        QTest::addColumn<bool>("toEnglish");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("help");
        QTest::addColumn<QString>("synonymsEnd"); // empty: no synonyms message
        const QList<QStringList> verbs { { "1", "(to) run", "correre" }, { "1", "dog", "(il) cane" } };
        row("Italian after the article", verbs, 1, false, "cane", "####", "");
        row("Italian with the article", verbs, 1, false, "il cane", "####", "");
        row("English verb", verbs, 0, true, "run", "###", "");
        row("English verb with to", verbs, 0, true, "to run", "###", "");
        QList<QStringList> many;
        for (int i = 0; i < 25; ++i)
            many.append({ "2", "go", QStringLiteral("v%1").arg(i, 2, 10, QChar('0')) });
        row("last of 25 words sharing a prompt", many, 24, false, "v24", "###", "\r... e altri 5");
    }
    void answers()
    {
        QFETCH(QList<QStringList>, words);
        QFETCH(int, asked);
        QFETCH(bool, toEnglish);
        QFETCH(QString, typed);
        QFETCH(QString, synonymsEnd);
        FakePlatform platform;
        Session session;
        for (const QStringList &w : words)
            session.words.append(w[0].leftJustified(4), w[1].leftJustified(50), w[2].leftJustified(50));
        session.selection.buildSelection(session.words, session.memoc);
        session.selection.selectionPos = asked; // the forward draw asks the next one
        Drill drill(session, platform, toEnglish ? Direction::ItalianToEnglish : Direction::EnglishToItalian);
        drill.load();
        QVERIFY(drill.start());
        QCOMPARE(session.selection.currentWord, asked);
        drill.help();
        QTEST(drill.view().helpBoxText, "help");
        QVERIFY(drill.typingChanged(typed));
        drill.showSynonyms();
        QCOMPARE(platform.shown.isEmpty(), synonymsEnd.isEmpty());
        QVERIFY(synonymsEnd.isEmpty()
            || (platform.shown.last().text.endsWith(synonymsEnd)
                && platform.shown.last().text.count('\r') == Answers::MaxEntries + 1));
    }
};

QTEST_GUILESS_MAIN(TestLostWords)
#include "tst_lostwords.moc"
