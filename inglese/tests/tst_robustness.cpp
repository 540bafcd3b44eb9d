#include "Form1.h"
#include "fakeplatform.h"
#include "mainrules.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

namespace {
QString wordLine(int lesson, const QString &english, const QString &italian)
{
    return QStringLiteral("%1   ").arg(lesson, 2) + english.leftJustified(50, u' ', true) + italian;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

// Vocabulary files that no one would write by hand, and saves that the disk
// refuses: the main window starts or refuses with its message, and a failed
// save leaves the old file whole and tells the user.
class TestRobustness : public QObject
{
    Q_OBJECT

private slots:
    void badVocabularyFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows"); // -1: the program refuses to start, -2: for too many words
        QTest::addColumn<int>("badLines"); // lines reported as malformed and left out

        QRandomGenerator random(20261206);
        QByteArray noise(64 * 1024, '\0');
        random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QTest::newRow("random bytes") << noise << -1 << 260;
        // Random bytes cut into lines that start like word lines.
        QByteArray lines;
        for (int i = 0; i < 200; ++i)
            lines += QByteArray::number(1 + i % 20).rightJustified(2, ' ') + "   " + noise.mid(i * 100, 100) + "\r\n";
        QTest::newRow("random texts in word lines") << lines << -1 << 159;

        QString many;
        for (int i = 0; i < 40000; ++i)
            many += wordLine(1 + i % 20, QStringLiteral("word %1").arg(i), QStringLiteral("parola %1").arg(i))
                + QStringLiteral("\r\n");
        QTest::newRow("40,000 lines") << Vocabulary::encode(many) << -2 << 0;

        QString longLines;
        for (int i = 0; i < 50; ++i)
            longLines += wordLine(3, QStringLiteral("long"), QString(10000 - 55, QChar(u'a' + i % 26)))
                + QStringLiteral("\r\n");
        QTest::newRow("lines of 10,000 characters") << Vocabulary::encode(longLines) << 50 << 0;

        const QByteArray nul = QByteArray(" 1   nul\0inside", 15).leftJustified(55, ' ') + QByteArray("zero\0x", 6);
        QTest::newRow("NUL bytes, lone CR and LF")
            << nul + "\r\n 2   lone\r 4   carriage return\r\n 3   lone\n 5   line feed\r\n" + nul << 6 << 0;
    }
    void badVocabularyFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(int, badLines);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("inglese.txt"), bytes));
        Session session;
        FakePlatform platform;
        platform.folder = dir.path();
        Form1 form(session, platform);
        const bool started = form.Form_Load();

        const auto reported = std::count_if(platform.shown.cbegin(), platform.shown.cend(),
                                            [](const auto &shown) { return shown.title == Vocabulary::BadLineTitle; });
        QCOMPARE(int(reported), badLines);
        if (rows < 0) {
            QVERIFY(!started);
            QCOMPARE(platform.shown.size(), badLines + 1);
            QCOMPARE(platform.shown.last().title, MainRules::StartupErrorTitle);
            QCOMPARE(platform.shown.last().text,
                     rows == -2 ? MainRules::tooManyWordsText() : MainRules::StartupErrorText);
            return;
        }
        QVERIFY(started);
        QCOMPARE(platform.shown.size(), badLines);
        QCOMPARE(session.words.count(), rows);
        for (int row = 0; row < rows; ++row)
            QVERIFY(session.words.english(row).size() <= 50 && session.words.italian(row).size() <= 50);
        // The window shows the list and a drill question can be prepared.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.findChild<QPlainTextEdit *>("ListaVoci")->blockCount() >= rows, true);
        session.selection.pendingWord = 0;
        QCOMPARE(session.selection.drawWord(platform),
                 rows > 0 ? WordSelection::Draw::Drawn : WordSelection::Draw::Empty);
        form.hide();
    }

    // A save that the disk cannot hold (a file size limit stands in for a
    // full disk): the old file stays whole and the user is told.
    void saveOntoFullDisk()
    {
        QTemporaryDir dir;
        QString text = QStringLiteral("## vocabolario\r\n");
        for (int i = 0; i < 20; ++i)
            text += wordLine(1, QStringLiteral("word %1").arg(i), QStringLiteral("parola %1").arg(i))
                + QStringLiteral("\r\n");
        const QByteArray old = Vocabulary::encode(text);
        QVERIFY(writeBytes(dir.filePath("inglese.txt"), old));
        Session session;
        FakePlatform platform;
        platform.folder = dir.path();
        Form1 form(session, platform);
        QVERIFY(form.Form_Load());
        form.findChild<QAction *>("menuModifica")->trigger();
        auto *list = form.findChild<QPlainTextEdit *>("ListaVoci");
        list->moveCursor(QTextCursor::End);
        list->insertPlainText(wordLine(2, QStringLiteral("one more"), QStringLiteral("ancora una")) + QStringLiteral("\n"));

        rlimit saved {};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        rlimit small = saved;
        small.rlim_cur = 1024; // less than the file needs
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &small) != 0)
            QSKIP("no file size limit can be set here");
        const bool written = form.menuSalva_Click();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        QVERIFY(!written);
        QCOMPARE(readBytes(dir.filePath("inglese.txt")), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { "inglese.txt" });
        QCOMPARE(platform.shown.size(), 1);
        QCOMPARE(platform.shown.first().title, Vocabulary::SaveTitle);
        QVERIFY(platform.shown.first().text.startsWith(QStringLiteral("Non riesco a scrivere il file")));
        QVERIFY(form.findChild<QAction *>("menuSalva")->isEnabled()); // the user can try again
        QVERIFY(form.menuSalva_Click());
        QVERIFY(readBytes(dir.filePath("inglese.txt")).contains("ancora una"));
    }
};

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
