#include "Form1.h"
#include "fakeplatform.h"
#include "qtplatform.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
QString wordLine(const QString &lesson, const QString &english, const QString &italian)
{
    return lesson.leftJustified(5) + english.leftJustified(50) + italian.leftJustified(50);
}
const QString Sample = "## mine\r\n" + wordLine(" 1", "cat", "gatto") + "\r\n" + wordLine(" 1", "dog", "cane")
    + "\r\n" + wordLine(" 2", "house", "casa") + "\r\n";
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

// The main window never throws typed words away: not at its close, not over
// another copy's save, not through a tab; and what it reads or shows says
// what is wrong.
class TestMainWindowGuards : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    FakePlatform m_platform;
    Session *m_session = nullptr;
    Form1 *m_form = nullptr;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QPlainTextEdit *list() const { return m_form->findChild<QPlainTextEdit *>("ListaVoci"); }
    bool start(const QByteArray &bytes = Vocabulary::encode(Sample))
    {
        return writeBytes(path("inglese.txt"), bytes) && m_form->Form_Load();
    }
    // Starts in edit mode with the list replaced by `text` as typed ("=": left as it is).
    bool startEditing(const QString &text)
    {
        if (!start())
            return false;
        m_form->menuModifica_Click();
        if (text != "=") {
            list()->selectAll();
            list()->insertPlainText(text);
        }
        return true;
    }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        m_platform = FakePlatform();
        m_platform.folder = m_dir->path();
        m_session = new Session;
        m_form = new Form1(*m_session, m_platform);
    }
    void cleanup()
    {
        delete m_form;
        delete m_session;
        delete m_dir;
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("message"); // empty: started
        QTest::newRow("LF line ends") << Vocabulary::encode(Sample).replace("\r\n", "\n") << 3 << "";
        QByteArray many;
        for (int i = 0; i < 32768; ++i)
            many += " 1   w\r\n";
        QTest::newRow("32767 words") << many.mid(8) << 32767 << "";
        QTest::newRow("32768 words") << many << 32767
                                     << "File INGLESE.TXT con troppi vocaboli: al massimo 32767";
    }
    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QCOMPARE(start(bytes), message.isEmpty());
        QTEST(m_session->words.count(), "rows");
        QCOMPARE(m_platform.shown.isEmpty(), message.isEmpty());
        if (!message.isEmpty())
            QVERIFY2(
                m_platform.shown.last().text.startsWith(message), qPrintable(m_platform.shown.last().text));
    }

    // Closing with edits not saved asks first; Sì saves (and stays open if the
    // save is refused), No ends without saving, Annulla stays open.
    void closeWithEdits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<bool>("ended");
        QTest::addColumn<bool>("saved");
        const QString edited = wordLine(" 1", "cat", "micio") + "\n";
        QTest::newRow("Si") << edited << int(Platform::Answer::Yes) << true << true;
        QTest::newRow("Si, save refused") << QString() << int(Platform::Answer::Yes) << false << false;
        QTest::newRow("No") << edited << int(Platform::Answer::No) << true << false;
        QTest::newRow("Annulla") << edited << int(Platform::Answer::Cancel) << false << false;
        QTest::newRow("nothing typed") << QString("=") << -1 << true << false;
    }
    void closeWithEdits()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(bool, ended);
        QFETCH(bool, saved);
        QVERIFY(startEditing(typed));
        m_form->show();
        if (answer >= 0)
            m_platform.answers.enqueue(Platform::Answer(answer));
        QSignalSpy end(m_form, &Form1::programEnded);
        m_form->findChild<QPushButton *>("Command3")->click();
        QCOMPARE(end.size(), ended ? 1 : 0);
        QCOMPARE(m_form->isVisible(), !ended);
        QCOMPARE(QFile::exists(path("inglelog")), ended);
        if (answer >= 0)
            QCOMPARE(m_platform.shown.first().text, "Salvare gli aggiornamenti?");
        else
            QVERIFY(m_platform.shown.isEmpty());
        QCOMPARE(readBytes(path("inglese.txt")).contains("micio"), saved);
        QVERIFY(ended || list()->toPlainText() == typed);
    }

    // Another copy of the program saved the file after this one read it.
    void saveOverAnotherCopy_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("overwrite") << int(Platform::Answer::Yes);
        QTest::newRow("keep the file on disk") << int(Platform::Answer::No);
    }
    void saveOverAnotherCopy()
    {
        QFETCH(int, answer);
        const QString mine = wordLine(" 1", "cat", "micio");
        QVERIFY(startEditing(mine));
        const QByteArray theirs = Vocabulary::encode(Sample + wordLine(" 3", "tree", "albero") + "\r\n");
        QVERIFY(writeBytes(path("inglese.txt"), theirs));
        m_platform.answers.enqueue(Platform::Answer(answer));
        const bool overwrite = answer == int(Platform::Answer::Yes);
        QCOMPARE(m_form->menuSalva_Click(), overwrite);
        QCOMPARE(m_platform.shown.size(), 1);
        QCOMPARE(m_platform.shown.first().buttons, Platform::Buttons::YesNo);
        QCOMPARE(readBytes(path("inglese.txt")).contains("micio"), overwrite);
        QCOMPARE(readBytes(path("inglese.txt")) == theirs, !overwrite);
        QVERIFY(m_form->editMode());
        QCOMPARE(list()->toPlainText(), mine);
        // The next save after one of its own asks nothing.
        QVERIFY(!overwrite || (m_form->menuSalva_Click() && m_platform.shown.size() == 1));
    }

    // Tab never leaves a tab character in the text, undo included.
    void tabThenUndo_data()
    {
        QTest::addColumn<int>("undos");
        QTest::newRow("Ctrl+Z once") << 1;
        QTest::newRow("Ctrl+Z three times") << 3;
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
        QTest::newRow("Ingl -> Ital") << false;
        QTest::newRow("Ital -> Ingl") << true;
    }
    void saveDropsMissingRows()
    {
        QFETCH(bool, toEnglish);
        QVERIFY(startEditing(wordLine(" 1", "cat", "gatto")));
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
        QTest::newRow("synonyms") << "Sinomini di:  house (nelle Lez. scelte)";
        QTest::newRow("choice") << "Rifare la Scelta...";
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
