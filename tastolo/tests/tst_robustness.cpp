#include "Form1.h"
#include "Form3.h"
#include "fakeplatform.h"
#include "textfile.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>
#include <sys/resource.h>

// Files no practice text looks like, and a save the disk refuses: the window
// opens them or says why, stays usable, and never loses the old file.
class TestRobustness : public QObject
{
    Q_OBJECT

private:
    FakePlatform platform;
    QTemporaryDir *dir = nullptr;
    Form1 *window = nullptr;
    QPlainTextEdit *htext = nullptr;
    std::function<void(Form3 &)> dialogueSteps;
    bool dialogueSeen = false;

    QString path(const QString &name) const { return dir->filePath(name); }
    void trigger(const char *menu) { window->findChild<QAction *>(menu)->trigger(); }
    static QByteArray bytesOf(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static bool writeBytes(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    // The next file dialogue gets `name` typed and "OK" pressed; if it is
    // still open after that, "Annullo".
    void answerDialogue(const QString &name, std::function<void(Form3 &)> after = {})
    {
        dialogueSeen = false;
        dialogueSteps = [name, after](Form3 &d) {
            d.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(name);
            QTest::mouseClick(d.findChild<QPushButton *>("Command1"), Qt::LeftButton);
            if (after)
                after(d);
            if (d.isVisible())
                QTest::mouseClick(d.findChild<QPushButton *>("Command2"), Qt::LeftButton);
        };
        QTimer::singleShot(0, this, [this] {
            if (auto *d = qobject_cast<Form3 *>(QApplication::activeModalWidget())) {
                dialogueSeen = true;
                dialogueSteps(*d);
            }
        });
    }

private slots:
    void init()
    {
        dir = new QTemporaryDir;
        platform = FakePlatform();
        platform.folder = dir->path();
        window = new Form1(platform);
        htext = window->findChild<QPlainTextEdit *>(QStringLiteral("Htext"));
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanup()
    {
        delete window;
        delete dir;
    }

    void openOddFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray large;
        const QByteArray line = "Caro Mario, ti scrivo questa lettera per dirti che arrivo luned\xec alle nove.\r\n";
        while (large.size() < 20 * 1024 * 1024)
            large += line;
        QTest::newRow("20 MB of text") << large;
        QByteArray binary(256 * 1024, '\0');
        QRandomGenerator random(4242);
        random.fillRange(reinterpret_cast<quint32 *>(binary.data()), binary.size() / 4);
        for (int c = 0; c < 256; ++c)
            binary[c * 7] = char(c); // every byte value, NUL, lone CR and LF among them
        QTest::newRow("binary file") << binary;
    }
    void openOddFiles()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(writeBytes(path("strano.txt"), bytes));
        answerDialogue(QStringLiteral("strano.txt"));
        trigger("menuFileOpen");
        QVERIFY(dialogueSeen);
        QCOMPARE(platform.shown.size(), 0);
        // Every byte is one character of the text; the editing area shows
        // each line break as one.
        QCOMPARE(window->state().TestoRiferimento.size(), bytes.size());
        QCOMPARE(htext->document()->characterCount() - 1, TextFile::toLf(TextFile::decode(bytes)).size());
        QVERIFY(!window->isModified());

        // The window still takes typing and answers its menu.
        htext->moveCursor(QTextCursor::Start);
        QTest::keyClicks(htext, QStringLiteral("Xy"));
        QVERIFY(htext->document()->findBlockByNumber(0).text().startsWith(QStringLiteral("Xy")));
        QVERIFY(window->isModified());
        platform.answers.enqueue(Platform::Answer::No);
        trigger("menuFileNew");
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY(platform.shown.first().text.endsWith(QStringLiteral("Vuoi salvarlo ?")));
        QCOMPARE(htext->toPlainText(), QString());
    }

    // A save the disk cannot hold (a file size limit stands in for a full
    // disk) is reported, and the file of that name stays as it was.
    void saveOntoFullDisk()
    {
        const QByteArray old = "vecchio testo\r\n";
        QVERIFY(writeBytes(path("lettera.txt"), old));
        window->setEditorText(QString(4000, QLatin1Char('a')));

        rlimit saved {};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        rlimit small = saved;
        small.rlim_cur = 1024;
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &small) != 0)
            QSKIP("no file size limit can be set here");
        bool stayedOpen = false;
        answerDialogue(QStringLiteral("lettera"), [&](Form3 &d) { stayedOpen = d.isVisible(); });
        trigger("menuFileSaveAs");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        QVERIFY(dialogueSeen);
        QVERIFY(stayedOpen);
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY2(platform.shown.first().text.contains(QStringLiteral("non si può scrivere")),
            qPrintable(platform.shown.first().text));
        QCOMPARE(bytesOf(path("lettera.txt")), old);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList { QStringLiteral("lettera.txt") });
    }
};

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
