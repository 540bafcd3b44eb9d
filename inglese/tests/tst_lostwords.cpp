#include "Form1.h"
#include "Form5.h"
#include "fixture.h"
#include "helptext.h"
#include "mainrules.h"
#include "qtplatform.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

const QString Sample = "## mine\r\n 1   cat\r\n 1   dog\r\n 2   house\r\n";

// Other editors' files, full disks, refused saves, the window's close, another copy's save, a tab,
// answers a learner cannot type: none may lose a word or leave the user stuck without a word why.
class TestLostWords : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakePlatform m_platform;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Form1> m_form;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QPlainTextEdit *list() const { return control<QPlainTextEdit>(m_form.get(), "ListaVoci"); }
    // Starts in edit mode with the list replaced by `text` as typed ("=": left as it is).
    bool startEditing(const QString &text)
    {
        const bool ok = writeBytes(path("inglese.txt"), Vocabulary::encode(Sample)) && m_form->Form_Load();
        m_form->menuModifica_Click();
        if (text != "=") {
            list()->selectAll();
            list()->insertPlainText(text);
        }
        return ok;
    }

private slots:
    void init()
    {
        m_form.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        m_platform = FakePlatform();
        m_platform.folder = m_dir->path();
        m_session = std::make_unique<Session>();
        m_form = std::make_unique<Form1>(*m_session, m_platform);
    }

    // A file longer than the word table is refused with its own message.
    void tooManyWords()
    {
        QVERIFY(writeBytes(path("inglese.txt"), QByteArray(" 1   w\r\n").repeated(32768))
            && !m_form->Form_Load());
        QVERIFY(m_platform.shown.size() == 1
            && m_platform.shown[0].text.startsWith("File INGLESE.TXT con troppi vocaboli: al massimo 32767"));
    }

    // Closing with edits not saved asks first; Sì saves (stays open if refused), Annulla stays open.
    void closeWithEdits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ended");
        QTest::addColumn<bool>("saved");
        const QString edited = wordLine(" 1", "", "cat", "micio") + "\n";
        row("Si", edited, int(Platform::Answer::Yes), true, true);
        row("Si, save refused", QString(), int(Platform::Answer::Yes), false, false);
        row("Annulla", edited, int(Platform::Answer::Cancel), false, false);
        row("nothing typed: no question", "=", int(Platform::Answer::Cancel), true, false);
    }
    void closeWithEdits()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, ended);
        QVERIFY(startEditing(typed));
        m_form->show();
        m_platform.answers.enqueue(Platform::Answer(answer));
        QSignalSpy end(m_form.get(), &Form1::programEnded);
        control<QPushButton>(m_form.get(), "Command3")->click();
        QCOMPARE(end.size() == 1 && !m_form->isVisible() && QFile::exists(path("inglelog")), ended);
        QCOMPARE(m_platform.shown.isEmpty() ? QString() : m_platform.shown.first().text,
            typed == "=" ? QString() : "Salvare gli aggiornamenti?");
        QTEST(readBytes(path("inglese.txt")).contains("micio"), "saved");
        QVERIFY(ended || list()->toPlainText() == typed);
    }

    // Over another copy's save each save asks (No keeps that file); after its own it asks nothing.
    void saveOverAnotherCopy()
    {
        const QString mine = wordLine(" 1", "", "cat", "micio");
        QVERIFY(startEditing(mine));
        const QByteArray theirs = Vocabulary::encode(Sample + " 3   tree\r\n");
        QVERIFY(writeBytes(path("inglese.txt"), theirs));
        m_platform.answers << Platform::Answer::No << Platform::Answer::Yes;
        QVERIFY(!m_form->menuSalva_Click() && readBytes(path("inglese.txt")) == theirs);
        QVERIFY(m_form->menuSalva_Click() && readBytes(path("inglese.txt")).contains("micio"));
        QVERIFY(m_form->menuSalva_Click() && m_platform.shown.size() == 2);
        QVERIFY(m_platform.shown[1].buttons == Platform::Buttons::YesNo && m_form->editMode());
        QCOMPARE(list()->toPlainText(), mine);
    }

    // Tab never leaves a tab character in the text, undo included.
    void tabThenUndo()
    {
        QVERIFY(startEditing("="));
        m_form->show();
        list()->setFocus();
        for (int undos : { 1, 3 }) {
            QTest::keyClicks(list(), "x");
            QTest::keyClick(list(), Qt::Key_Tab);
            m_form->TimTab_Timer();
            for (int i = 0; i < undos; ++i)
                QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(!m_form->wordListText().contains('\t'), qPrintable(QString::number(undos)));
        }
    }

    // A save that removes the waiting word's row and critical words' rows: the next "Via!"
    // of either drill draws a word, and only existing words count.
    void saveDropsMissingRows()
    {
        for (const Direction direction : { Direction::EnglishToItalian, Direction::ItalianToEnglish }) {
            init();
            QVERIFY(startEditing(wordLine(" 1", "", "cat", "gatto")));
            m_session->selection.pendingWord = 2;
            for (int word = 0; word < 8; ++word)
                m_session->memoc.add(word);
            QVERIFY(m_form->menuSalva_Click());
            QCOMPARE(m_session->memoc.words(), QList<int> { 0 });
            Drill drill(*m_session, m_platform, direction);
            QVERIFY(drill.start());
            QCOMPARE(drill.view().shownText, direction == Direction::EnglishToItalian ? "cat" : "gatto");
            QCOMPARE(drill.counterLine(), QStringLiteral("Già fatti =0 Critici =1"));
        }
    }
    // Every message box is wide enough for its whole title; Escape gives its most cautious answer.
    void messageBoxes_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("escape"); // the answer Escape gives
        using B = Platform::Buttons;
        using A = Platform::Answer;
        row("Sinomini di:  house (nelle Lez. scelte)", int(B::Ok), int(QMessageBox::Information), int(A::Ok));
        row("Rifare la Scelta...", int(B::OkCancel), int(QMessageBox::NoIcon), int(A::Cancel));
        row("Salva Aggiornamenti", int(B::YesNo), int(QMessageBox::Critical), int(A::No));
        row("Salvare gli aggiornamenti?", int(B::YesNoCancel), int(QMessageBox::NoIcon), int(A::Cancel));
    }
    void messageBoxes()
    {
        QFETCH(int, buttons);
        QFETCH(int, icon);
        const QString title = QTest::currentDataTag();
        QtPlatform platform;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            const int width = box->width(), shown = box->icon();
            QTest::keyClick(box, Qt::Key_Escape);
            QCOMPARE_GE(width, box->fontMetrics().horizontalAdvance(title) + 60); // and buttons
            QCOMPARE(shown, icon);
        });
        const Platform::Icon given = icon == QMessageBox::Information ? Platform::Icon::Information
            : icon == QMessageBox::Critical                           ? Platform::Icon::Stop
                                                                      : Platform::Icon::None;
        QTEST(int(platform.message(title, "x", Platform::Buttons(buttons), given)), "escape");
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "fifo": a named pipe instead of a file
        QTest::addColumn<QString>("text"); // null: not read
        const QString crLf = "cat\r\ndog\r\n";
        row("LF line ends", QByteArray("cat\ndog\n"), crLf);
        row("CR line ends", QByteArray("cat\rdog\r"), crLf);
        row("mixed line ends", QByteArray("cat\r\ndog\n"), crLf);
        row("UTF-8 with mark", QByteArray("\xEF\xBB\xBF\x63itt\xC3\xA0\r\n"), QString("citt\u00e0\r\n"));
        row("UTF-8 without mark", QByteArray("perch\xC3\xA9\r\n"), QString("perch\u00e9\r\n"));
        row("not UTF-8 stays Windows-1252", QByteArray("\xC3\x28 \x80\r\n"), QString("\u00c3( \u20ac\r\n"));
        row("named pipe", QByteArray("fifo"), QString());
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QVERIFY(bytes == "fifo" ? mkfifo(QFile::encodeName(path("in")).constData(), 0600) == 0
                                : writeBytes(path("in"), bytes));
        QString read;
        QCOMPARE(Vocabulary::readFile(path("in"), read), !text.isNull());
        QCOMPARE(read, text);
    }

    // A disk that takes only part of the log line (here a file size limit) leaves the log as it was.
    void exitLogOnAFullDisk()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        const QByteArray old = "old line\r\n";
        QVERIFY(writeBytes(path("inglelog"), old));
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit { rlim_t(old.size() + 10), saved.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = MainRules::appendExitLog(path("inglelog"), QString(60, u'x'));
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written && readBytes(path("inglelog")) == old);
    }

    // No instructions file stalls the help window, and none missing opens it empty; the shipped
    // one puts the critical marks right.
    void help()
    {
        m_session->dataFolder = m_dir->path() + u'/';
        QVERIFY(!Form5(*m_session, m_platform).load());
        QCOMPARE(m_platform.shown.value(0).text, "File AIUTO.TXT non trovato");
        const QStringList lines = helpLines(QByteArray(10'000'000, 'x') + "\r\nfine\r\n");
        QVERIFY(lines.size() == 2 && lines.first().size() <= 1000 && lines.last() == "fine");
        QVERIFY(helpLines(QByteArray("x\r\n").repeated(1'000'000)).size() <= 10000);
        const QString shipped = helpLines(readBytes(INGLESE_SAMPLES_DIR "/aiutoV5.txt")).join('\n');
        QVERIFY(!shipped.contains("(e una \"c\" se la parola")
            && shipped.contains("la \"c\" scritta nel file") && shipped.contains("non compare nessuna"));
    }

    // When the launcher cannot prepare the data folder, the program still starts to tell why.
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
        const QString program = path("program"), data = path("xdg/inglese");
        QVERIFY(writeBytes(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$REPORT\"\n")
            && QDir().mkpath(path("xdg"))
            && QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(obstacle == "link" ? QFile::link(path("nowhere"), data)
                                   : obstacle != "file" || writeBytes(data, "x"));
        QProcess launch;
        launch.setEnvironment(
            QProcess::systemEnvironment() << "XDG_DATA_HOME=" + path("xdg") << "REPORT=" + path("report"));
        launch.start("bash", { INGLESE_LAUNCHER, program, INGLESE_SAMPLES_DIR });
        QVERIFY(launch.waitForFinished() && launch.exitCode() == 0);
        QCOMPARE(MainRules::launchFailure(QString(readBytes(path("report"))).split('\n')).contains(data),
            !obstacle.isEmpty());
        QCOMPARE(QFile::exists(data + "/inglese.txt"), obstacle.isEmpty());
    }

    // The asked word's own answer is accepted and helped, and the synonyms message kept short.
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
        for (const QStringList &w : words)
            m_session->words.append(w[0].leftJustified(4), w[1].leftJustified(50), w[2].leftJustified(50));
        m_session->selection.buildSelection(m_session->words, m_session->memoc);
        m_session->selection.selectionPos = asked; // the forward draw asks the next one
        Drill drill(
            *m_session, m_platform, toEnglish ? Direction::ItalianToEnglish : Direction::EnglishToItalian);
        drill.load();
        QVERIFY(drill.start());
        QCOMPARE(m_session->selection.currentWord, asked);
        drill.help();
        QTEST(drill.view().helpBoxText, "help");
        QVERIFY(drill.typingChanged(typed));
        drill.showSynonyms();
        QVERIFY(synonymsEnd.isEmpty() ? m_platform.shown.isEmpty()
                                      : m_platform.shown.last().text.endsWith(synonymsEnd)
                    && m_platform.shown.last().text.count('\r') == Answers::MaxEntries + 1);
    }
};

QTEST_MAIN(TestLostWords)
#include "tst_lostwords.moc"
