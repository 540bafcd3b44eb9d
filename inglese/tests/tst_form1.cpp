#include "Form1.h"
#include "fakeplatform.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

namespace {
QString wordLine(const QString &lesson, const QString &mark, const QString &english, const QString &italian)
{
    return lesson.leftJustified(2) + u' ' + mark.leftJustified(1) + u' ' + english.leftJustified(50)
        + italian.leftJustified(50);
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

const QString Sample = "## sample vocabulary\r\n" + wordLine("12", "c", "house", "casa (abitazione, dimora)") + "\r\n"
    + wordLine(" 3", "", "light", "luce") + "\r\n## lesson 3\r\n" + wordLine(" 3", "", "light", "leggero") + "\r\n\r\n"
    + wordLine(" 0", "", "yes", "s\u00ec") + "\r\n";
} // namespace

// The main window driven as the user drives it, on a temporary data folder.
class TestForm1 : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    FakePlatform m_platform;
    Session *m_session = nullptr;
    Form1 *m_form = nullptr;
    bool m_immutable = false;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    template<typename T>
    T *child(const char *name) const
    {
        T *found = m_form->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QPlainTextEdit *list() const { return child<QPlainTextEdit>("ListaVoci"); }
    QAction *action(const char *name) const { return child<QAction>(name); }
    QTimer *timTab() const { return child<QTimer>("TimTab"); }
    bool menuEnabled(const char *name) const { return child<QMenu>(name)->menuAction()->isEnabled(); }

    bool start(const QString &vocabulary = Sample)
    {
        return writeBytes(path("inglese.txt"), Vocabulary::encode(vocabulary)) && m_form->Form_Load();
    }
    // Starts on the sample, in edit mode, with `text` typed at the end of the list.
    bool startEditing(const QString &text = {})
    {
        if (!start())
            return false;
        m_form->menuModifica_Click();
        QTextCursor cursor = list()->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
        return true;
    }
    void placeCaret(int line, int column)
    {
        QTextCursor cursor(list()->document()->findBlockByNumber(line));
        cursor.setPosition(cursor.position() + column - 1);
        list()->setTextCursor(cursor);
    }
    void verifyMenus(bool editing, bool saveEnabled)
    {
        QCOMPARE(action("menuModifica")->isChecked(), editing);
        QCOMPARE(list()->isReadOnly(), !editing);
        QCOMPARE(menuEnabled("menuOpzioni"), !editing);
        QCOMPARE(menuEnabled("menuProva"), !editing);
        QCOMPARE(action("menuSalva")->isEnabled(), saveEnabled);
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
        if (m_immutable)
            QProcess::execute("chattr", { "-i", m_dir->path() });
        m_immutable = false;
        QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        delete m_dir;
    }

    void startUpReadsTheVocabulary()
    {
        QVERIFY(start());
        QVERIFY(m_platform.shown.isEmpty());
        QCOMPARE(m_form->comments(), "## sample vocabulary\r\n## lesson 3\r\n");
        QCOMPARE(m_session->words.lessonColumn(), QStringList({ "12 c", " 3  ", " 3  ", " 0  " }));
        QCOMPARE(m_session->memoc.words(), QList<int>({ 0 }));
        QCOMPARE(m_session->points, 1000);
        const auto &state = m_session->lessonState;
        QCOMPARE(QList<int>({ state[0], state[3], state[5], state[12] }), QList<int>({ 1, 1, 0, 1 }));
        // Empty lines are gone, comments are out of the list, the columns are as in the file.
        QCOMPARE(list()->toPlainText().split('\n').size(), 5);
        QVERIFY(list()->toPlainText().startsWith(wordLine("12", "c", "house", "casa (abitazione, dimora)") + "\n"));
        QCOMPARE(m_form->wordListText(), Vocabulary::splitFileText(Sample).wordText);
    }

    // "Aggiorna Vocaboli" unlocks the list and locks the other menus; "Salva
    // Aggiornamenti" stays enabled from the first unlock until a save.
    void editModeSwitchesMenus()
    {
        QVERIFY(start());
        verifyMenus(false, false);
        m_form->menuModifica_Click();
        verifyMenus(true, true);
        action("menuModifica")->trigger(); // through the menu, as the user does
        verifyMenus(false, true);
        QVERIFY(m_form->menuSalva_Click());
        verifyMenus(false, false);
        m_form->menuModifica_Click();
        verifyMenus(true, true);
    }

    void startUpFailure_data()
    {
        QTest::addColumn<QString>("file"); // empty: no file; "dir": a folder by that name
        QTest::newRow("no file") << QString();
        QTest::newRow("folder instead of file") << "dir";
        QTest::newRow("lesson 25 after a good line") << wordLine("1", "", "a", "b") + "\r\n" + wordLine("25", "", "c", "d") + "\r\n";
        QTest::newRow("lesson ab") << wordLine("ab", "", "a", "b") + "\r\n";
    }
    void startUpFailure()
    {
        QFETCH(QString, file);
        if (file == "dir")
            QVERIFY(QDir(m_dir->path()).mkdir("inglese.txt"));
        QVERIFY(file.isEmpty() || file == "dir" ? !m_form->Form_Load() : !start(file));
        QCOMPARE(m_platform.shown.size(), 1);
        QCOMPARE(m_platform.shown.last().title, "FILE ...");
        QCOMPARE(m_platform.shown.last().text, "File INGLESE.TXT non trovato ... Riprova");
        QCOMPARE(m_platform.shown.last().buttons, Platform::Buttons::Ok);
    }

    // Tab in edit mode jumps to the next field of the line (English at 6,
    // Italian at 56, then back to 2) once TimTab ticks;
    // when the list is locked, Tab and Enter do nothing special.
    void keysInTheList_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("target");
        const int tab = Qt::Key_Tab;
        for (auto [column, target] : { std::pair { 1, 6 }, { 5, 6 }, { 7, 6 }, { 8, 56 }, { 57, 56 }, { 58, 58 }, { 59, 2 } })
            QTest::addRow("Tab at %d", column) << true << tab << QString() << 0 << column << target;
        QTest::newRow("Tab on the third line") << true << tab << QString() << 2 << 30 << 56;
        QTest::newRow("Tab at the end of a line") << true << tab << QString() << 2 << 105 << 2;
        QTest::newRow("Tab on a short line stays at its end") << true << tab << "7 c dog" << 4 << 8 << 8;
        QTest::newRow("Tab when locked") << false << tab << QString() << 1 << 3 << 3;
        QTest::newRow("Enter when locked") << false << int(Qt::Key_Return) << QString() << 1 << 3 << 3;
    }
    void keysInTheList()
    {
        QFETCH(bool, editing);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(int, line);
        QFETCH(int, column);
        QVERIFY(editing ? startEditing(typed) : start());
        m_form->show();
        list()->setFocus();
        const QString before = list()->toPlainText();
        placeCaret(line, column);
        QTest::keyClick(list(), Qt::Key(key));
        QCOMPARE(m_form->spia(), editing ? 9 : 0);
        QCOMPARE(timTab()->isActive(), editing);
        if (editing)
            m_form->TimTab_Timer();
        QCOMPARE(m_form->spia(), 0);
        QVERIFY(!timTab()->isActive());
        QCOMPARE(list()->toPlainText(), before); // no tab character is left
        QCOMPARE(m_form->focusWidget(), list());
        QCOMPARE(list()->textCursor().blockNumber(), line);
        QTEST(list()->textCursor().positionInBlock() + 1, "target");
    }

    void enterStartsALineOfBlanks()
    {
        QVERIFY(startEditing());
        placeCaret(1, 106); // end of the second word line
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(m_form->spia(), 13);
        QVERIFY(timTab()->isActive());
        m_form->TimTab_Timer();
        QCOMPARE(m_form->spia(), 0);
        QCOMPARE(list()->textCursor().blockNumber(), 2);
        QCOMPARE(list()->textCursor().positionInBlock(), 0);
        QCOMPARE(list()->textCursor().block().text(), QString(56, ' '));
        QCOMPARE(list()->document()->blockCount(), 6);

        // Typing the lesson and Tab goes on to the English field, then the Italian one.
        QTest::keyClicks(list(), "4  c");
        for (const char *field : { "car", "auto" }) {
            QTest::keyClick(list(), Qt::Key_Tab);
            m_form->TimTab_Timer();
            QTest::keyClicks(list(), field);
        }
        QCOMPARE(list()->textCursor().block().text().left(62), wordLine("4", "c", "car", "auto").left(62));
    }

    // A save moves comment lines to the top of the file and the table follows
    // the text; it writes nothing the next start-up would refuse, and a write
    // that fails leaves the old file whole, the text as typed and the save
    // enabled, and says so.
    void save_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("folder"); // "gone", "read-only" or as it is
        QTest::addColumn<QString>("message"); // how it begins; empty: saved
        QTest::newRow("saved") << "## new note\n" + wordLine("5", "x", "tree", "albero \u20ac") << "" << "";
        QTest::newRow("lesson letters") << "ab  c" << "" << "La Riga numero 5 ha un numero di lezione";
        QTest::newRow("character outside the code page")
            << wordLine("2", "", "Krak\u00f3w", "Cracovia \u0101") << "" << "La Riga numero 5 contiene un carattere";
        const QString failed = "Non riesco a scrivere il file\r\n";
        QTest::newRow("data folder gone") << wordLine("4", "", "new", "nuovo") << "gone" << failed;
        QTest::newRow("read-only data folder") << wordLine("4", "", "new", "nuovo") << "read-only" << failed;
    }
    void save()
    {
        QFETCH(QString, typed);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QVERIFY(startEditing(typed));
        const QStringList listc = m_session->words.lessonColumn();
        const QString moved = m_dir->path() + "-moved";
        if (folder == "gone")
            QVERIFY(QDir().rename(m_dir->path(), moved));
        if (folder == "read-only") {
            QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
            const auto writable = [this] {
                QFile probe(path("probe"));
                return probe.open(QIODevice::WriteOnly) && probe.remove();
            };
            // The superuser ignores permissions: make the folder immutable instead.
            if (writable() && (!(m_immutable = QProcess::execute("chattr", { "+i", m_dir->path() }) == 0) || writable()))
                QSKIP("no way to make a folder read-only for this user");
        }
        const bool saved = m_form->menuSalva_Click();
        if (folder == "gone")
            QVERIFY(QDir().rename(moved, m_dir->path()));
        QCOMPARE(saved, message.isEmpty());
        QCOMPARE(action("menuSalva")->isEnabled(), !saved);
        QCOMPARE(m_platform.shown.size(), saved ? 0 : 1);
        if (!saved) {
            QCOMPARE(m_platform.shown.first().title, "Salva Aggiornamenti");
            QVERIFY2(m_platform.shown.first().text.startsWith(message), qPrintable(m_platform.shown.first().text));
            QCOMPARE(readBytes(path("inglese.txt")), Vocabulary::encode(Sample));
            if (folder.isEmpty()) // refused before anything changed; a failed write has already re-read the list
                QCOMPARE(m_session->words.lessonColumn(), listc);
            QVERIFY(list()->toPlainText().endsWith(typed));
            return;
        }
        const QString words = Vocabulary::splitFileText(Sample).wordText + QString(typed).replace("\n", "\r\n");
        QCOMPARE(readBytes(path("inglese.txt")),
                 Vocabulary::encode("## sample vocabulary\r\n## lesson 3\r\n\r\n" + words + "\r\n"));
        // Until the next start the typed comment is a row too (its fourth
        // character is no blank, so it even counts as marked); the critical
        // word already listed gets no second key.
        QCOMPARE(m_session->words.count(), 6);
        QCOMPARE(m_session->words.lessonColumn().last(), "5  x");
        QCOMPARE(m_session->memoc.words(), QList<int>({ 0, 4, 5 }));
    }

    // Every way out appends the log line; a log that cannot be written is
    // reported and the program still ends.
    void endWritesTheLogLine_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<QString>("ending"); // empty: the log cannot be opened
        QTest::newRow("FINE, lessons 2 and 5") << "FINE" << QList<int>({ 2, 5 }) << "        2 5\r\n";
        QTest::newRow("menu Fine") << "Fine" << QList<int>({ 20 }) << "        20\r\n";
        QTest::newRow("window closed, no lesson chosen") << "close" << QList<int>() << "        TUTTE\r\n";
        QTest::newRow("log cannot be written") << "FINE" << QList<int>() << QString();
    }
    void endWritesTheLogLine()
    {
        QFETCH(QString, how);
        QFETCH(QList<int>, chosen);
        QFETCH(QString, ending);
        if (ending.isEmpty())
            QVERIFY(QDir(m_dir->path()).mkdir("inglelog"));
        else
            QVERIFY(writeBytes(path("inglelog"), "old line\r\n"));
        QVERIFY(start());
        m_form->show();
        for (int k : chosen)
            m_session->lessonState[std::size_t(k)] = 2;
        m_session->doneCount = 12;
        m_session->points = 987;
        m_session->memoc.add(7);
        m_platform.time = QTime(9, 31, 45);
        QSignalSpy ended(m_form, &Form1::programEnded);
        if (how == "FINE")
            QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
        else if (how == "Fine")
            action("menuFine")->trigger();
        else
            m_form->close();
        QCOMPARE(ended.size(), 1);
        QVERIFY(!m_form->isVisible());
        if (ending.isEmpty()) {
            QCOMPARE(m_platform.shown.size(), 1);
            QVERIFY(m_platform.shown.first().text.contains(path("inglelog")));
        } else {
            QCOMPARE(QString::fromLatin1(readBytes(path("inglelog"))),
                     "old line\r\n05/12/2026 09:10:02 09:31:45    12/987/2" + ending);
        }
    }

    void layoutFollowsTheWindow_data()
    {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("large") << QSize(900, 700) << QSize(900, 700);
        QTest::newRow("too small is held at the minimum") << QSize(50, 40) << QSize(300, 200);
    }
    void layoutFollowsTheWindow()
    {
        QFETCH(QSize, area);
        QFETCH(QSize, expected);
        QVERIFY(start());
        m_form->show();
        QWidget *central = m_form->centralWidget();
        m_form->resize(m_form->size() + area - central->size());
        QCoreApplication::processEvents();
        QCOMPARE(central->size(), expected);
        const int w = expected.width();
        const int h = expected.height();
        QCOMPARE(list()->size(), QSize(w - 15, h - 100));
        QCOMPARE(child<QPushButton>("Command1")->pos(), QPoint(8, h - 30));
        QPushButton *fine = child<QPushButton>("Command3");
        QCOMPARE(fine->pos(), QPoint(w - 15 - fine->width(), h - 30));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
