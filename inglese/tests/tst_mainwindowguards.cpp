#include "Form1.h"
#include "fixture.h"
#include "qtplatform.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {
const QString Sample = "## mine\r\n" + wordLine(" 1", "", "cat", "gatto") + "\r\n"
    + wordLine(" 1", "", "dog", "cane") + "\r\n" + wordLine(" 2", "", "house", "casa") + "\r\n";
}

// The main window never throws typed words away: not at its close, not over
// another copy's save, not through a tab; and what it reads or shows says
// what is wrong.
class TestMainWindowGuards : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakePlatform m_platform;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Form1> m_form;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QPlainTextEdit *list() const { return control<QPlainTextEdit>(m_form.get(), "ListaVoci"); }
    bool start(const QByteArray &bytes = Vocabulary::encode(Sample))
    {
        return writeBytes(path("inglese.txt"), bytes) && m_form->Form_Load();
    }
    // Starts in edit mode with the list replaced by `text` as typed ("=": left as it is).
    bool startEditing(const QString &text)
    {
        const bool started = start();
        m_form->menuModifica_Click();
        if (text != "=") {
            list()->selectAll();
            list()->insertPlainText(text);
        }
        return started;
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

    void loading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("message"); // how it begins; empty: started
        const QByteArray many = QByteArray(" 1   w\r\n").repeated(32768);
        row("LF line ends", Vocabulary::encode(Sample).replace("\r\n", "\n"), 3, "");
        row("32767 words", many.mid(8), 32767, "");
        row("32768 words", many, 32767, "File INGLESE.TXT con troppi vocaboli: al massimo 32767");
    }
    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QCOMPARE(start(bytes), message.isEmpty());
        QTEST(m_session->words.count(), "rows");
        QCOMPARE(m_platform.shown.isEmpty() ? QString() : m_platform.shown.last().text.left(message.size()),
            message);
    }

    // Closing with edits not saved asks first; Sì saves (and stays open if the
    // save is refused), No ends without saving, Annulla stays open.
    void closeWithEdits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<bool>("ended");
        QTest::addColumn<bool>("saved");
        const QString edited = wordLine(" 1", "", "cat", "micio") + "\n";
        row("Si", edited, int(Platform::Answer::Yes), true, true);
        row("Si, save refused", QString(), int(Platform::Answer::Yes), false, false);
        row("No", edited, int(Platform::Answer::No), true, false);
        row("Annulla", edited, int(Platform::Answer::Cancel), false, false);
        row("nothing typed", "=", -1, true, false);
    }
    void closeWithEdits()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, ended);
        QVERIFY(startEditing(typed));
        m_form->show();
        if (answer >= 0)
            m_platform.answers.enqueue(Platform::Answer(answer));
        QSignalSpy end(m_form.get(), &Form1::programEnded);
        control<QPushButton>(m_form.get(), "Command3")->click();
        QCOMPARE(end.size() == 1 && !m_form->isVisible() && QFile::exists(path("inglelog")), ended);
        QCOMPARE(m_platform.shown.isEmpty() ? QString() : m_platform.shown.first().text,
            answer >= 0 ? "Salvare gli aggiornamenti?" : QString());
        QTEST(readBytes(path("inglese.txt")).contains("micio"), "saved");
        QVERIFY(ended || list()->toPlainText() == typed);
    }

    // Another copy of the program saved the file after this one read it:
    // the save asks once before it overwrites, and keeps the typed words either way.
    void saveOverAnotherCopy_data()
    {
        QTest::addColumn<bool>("overwrite");
        row("overwrite", true);
        row("keep the file on disk", false);
    }
    void saveOverAnotherCopy()
    {
        QFETCH(bool, overwrite);
        const QString mine = wordLine(" 1", "", "cat", "micio");
        QVERIFY(startEditing(mine));
        const QByteArray theirs = Vocabulary::encode(Sample + wordLine(" 3", "", "tree", "albero") + "\r\n");
        QVERIFY(writeBytes(path("inglese.txt"), theirs));
        m_platform.answers.enqueue(overwrite ? Platform::Answer::Yes : Platform::Answer::No);
        QCOMPARE(m_form->menuSalva_Click(), overwrite);
        QVERIFY(m_platform.shown.size() == 1 && m_platform.shown.first().buttons == Platform::Buttons::YesNo);
        const QByteArray onDisk = readBytes(path("inglese.txt"));
        QVERIFY(overwrite ? onDisk.contains("micio") : onDisk == theirs);
        QVERIFY(m_form->editMode() && list()->toPlainText() == mine);
        // The next save after one of its own asks nothing.
        QVERIFY(!overwrite || (m_form->menuSalva_Click() && m_platform.shown.size() == 1));
    }

    // Tab never leaves a tab character in the text, undo included.
    void tabThenUndo_data()
    {
        QTest::addColumn<int>("undos");
        row("Ctrl+Z once", 1);
        row("Ctrl+Z three times", 3);
    }
    void tabThenUndo()
    {
        QFETCH(int, undos);
        QVERIFY(startEditing("="));
        m_form->show();
        list()->setFocus();
        QTest::keyClicks(list(), "x");
        QTest::keyClick(list(), Qt::Key_Tab);
        m_form->TimTab_Timer();
        for (int i = 0; i < undos; ++i)
            QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!m_form->wordListText().contains('\t'));
    }

    // A save that removes the waiting word's row and critical words' rows:
    // the next "Via!" of either drill draws a word, and only existing words count.
    void saveDropsMissingRows_data()
    {
        QTest::addColumn<bool>("toEnglish");
        row("Ingl -> Ital", false);
        row("Ital -> Ingl", true);
    }
    void saveDropsMissingRows()
    {
        QFETCH(bool, toEnglish);
        QVERIFY(startEditing(wordLine(" 1", "", "cat", "gatto")));
        m_session->selection.pendingWord = 2;
        for (int word = 0; word < 8; ++word)
            m_session->memoc.add(word);
        QVERIFY(m_form->menuSalva_Click());
        QCOMPARE(m_session->memoc.words(), QList<int> { 0 });
        Drill drill(
            *m_session, m_platform, toEnglish ? Direction::ItalianToEnglish : Direction::EnglishToItalian);
        QVERIFY(drill.start());
        QCOMPARE(drill.view().shownText, toEnglish ? "gatto" : "cat");
        QCOMPARE(drill.counterLine(), QStringLiteral("Già fatti =0 Critici =1"));
    }

    // Every message box is wide enough for its whole title.
    void messageTitles_data()
    {
        QTest::addColumn<QString>("title");
        row("synonyms", "Sinomini di:  house (nelle Lez. scelte)");
        row("choice", "Rifare la Scelta...");
    }
    void messageTitles()
    {
        QFETCH(QString, title);
        QtPlatform platform;
        int width = 0, needed = 0;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            width = box->width();
            needed = box->fontMetrics().horizontalAdvance(title) + 60; // the title bar's buttons
            box->accept();
        });
        platform.message(title, "x", Platform::Buttons::Ok, Platform::Icon::Information);
        QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
    }
};

QTEST_MAIN(TestMainWindowGuards)
#include "tst_mainwindowguards.moc"
