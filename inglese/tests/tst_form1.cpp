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
#include <QTextBlock>
#include <QTest>
#include <QTimer>

#include <memory>

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
    bool menuEnabled(const char *name) const { return child<QMenu>(name)->menuAction()->isEnabled(); }

    // Writes the vocabulary and starts the window on it.
    bool start(const QByteArray &vocabulary)
    {
        if (!writeBytes(path("inglese.txt"), vocabulary))
            return false;
        return m_form->Form_Load();
    }
    bool start(const QString &vocabulary = Sample) { return start(Vocabulary::encode(vocabulary)); }

    void placeCaret(int line, int column)
    {
        QTextCursor cursor(list()->document()->findBlockByNumber(line));
        cursor.setPosition(cursor.position() + column - 1);
        list()->setTextCursor(cursor);
    }
    void typeAtEnd(const QString &text)
    {
        QTextCursor cursor = list()->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
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
        m_platform.time = QTime(8, 1, 2);
        QVERIFY(start());
        QVERIFY(m_platform.shown.isEmpty());
        QCOMPARE(m_session->dataFolder, m_dir->path() + "/");
        QCOMPARE(m_form->fileName(), path("inglese.txt"));
        QCOMPARE(m_form->comments(), "## sample vocabulary\r\n## lesson 3\r\n");
        const WordTable &words = m_session->words;
        QCOMPARE(words.Listc, QStringList({ "12 c", " 3  ", " 3  ", " 0  " }));
        QCOMPARE(words.Listit.at(3).trimmed(), "s\u00ec");
        QCOMPARE(m_session->memoc.words(), QList<int>({ 0 }));
        QCOMPARE(m_session->points, 1000);
        QCOMPARE(m_session->startTime, QTime(8, 1, 2));
        QCOMPARE(m_session->lessonState[0], 1);
        QCOMPARE(m_session->lessonState[3], 1);
        QCOMPARE(m_session->lessonState[12], 1);
        QCOMPARE(m_session->lessonState[5], 0);
        QCOMPARE(m_session->selection.builtMode, m_session->selection.orderMode);
        // Empty lines are gone, comments are out of the list, the columns are as in the file.
        QCOMPARE(list()->toPlainText().split('\n').size(), 5);
        QVERIFY(list()->toPlainText().startsWith(wordLine("12", "c", "house", "casa (abitazione, dimora)") + "\n"));
        QCOMPARE(m_form->wordListText(), Vocabulary::splitFileText(Sample).wordText);
    }

    void startsLockedWithItsMenus()
    {
        QVERIFY(start());
        QCOMPARE(m_form->windowTitle(), "    STUDIO L'INGLESE");
        QVERIFY(list()->isReadOnly());
        QVERIFY(!action("menuModifica")->isChecked());
        QVERIFY(!action("menuSalva")->isEnabled());
        QVERIFY(action("menuFine")->isEnabled());
        QVERIFY(menuEnabled("menuOpzioni"));
        QVERIFY(menuEnabled("menuProva"));
        QCOMPARE(action("menuLezioni")->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(action("menuIstruzioni")->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(child<QTimer>("TimTab")->interval(), 100);
        QVERIFY(!child<QTimer>("TimTab")->isActive());
    }

    void startUpFailure_data()
    {
        QTest::addColumn<QByteArray>("file"); // "-" for no file at all
        QTest::newRow("no file") << QByteArray("-");
        QTest::newRow("lesson 21") << Vocabulary::encode(wordLine("21", "", "a", "b") + "\r\n");
        QTest::newRow("lesson 25 after good lines")
            << Vocabulary::encode(wordLine("1", "", "a", "b") + "\r\n" + wordLine("25", "", "c", "d") + "\r\n");
        QTest::newRow("lesson ab") << Vocabulary::encode(wordLine("ab", "", "a", "b") + "\r\n");
        QTest::newRow("folder instead of file") << QByteArray("dir");
    }
    void startUpFailure()
    {
        QFETCH(QByteArray, file);
        bool loaded = false;
        if (file == "-") {
            loaded = m_form->Form_Load();
        } else if (file == "dir") {
            QVERIFY(QDir(m_dir->path()).mkdir("inglese.txt"));
            loaded = m_form->Form_Load();
        } else {
            loaded = start(file);
        }
        QVERIFY(!loaded);
        QCOMPARE(m_platform.shown.size(), 1);
        QCOMPARE(m_platform.shown.last().title, "FILE ...");
        QCOMPARE(m_platform.shown.last().text, "File INGLESE.TXT non trovato ... Riprova");
        QCOMPARE(m_platform.shown.last().buttons, Platform::Buttons::Ok);
    }

    void startUpReportsMalformedLines()
    {
        const QString text = wordLine("1", "", "one", "uno") + "\r\n" + wordLine("1", "", "two", "due") + "\r\n"
            + wordLine("1", "", "to run (away", "scappare") + "\r\n";
        QVERIFY(start(text));
        QCOMPARE(m_platform.shown.size(), 1);
        QCOMPARE(m_platform.shown.first().title, "Riga ignorata ...");
        QVERIFY(m_platform.shown.first().text.startsWith("La Riga numero 3 usa male le parentesi\r\n\r\n"));
        QCOMPARE(m_session->words.count(), 2);
        QCOMPARE(list()->toPlainText().count('\n'), 3); // the line stays in the text
    }

    void editModeSwitchesMenus()
    {
        QVERIFY(start());
        m_form->menuModifica_Click();
        QVERIFY(action("menuModifica")->isChecked());
        QVERIFY(!list()->isReadOnly());
        QVERIFY(!menuEnabled("menuOpzioni"));
        QVERIFY(!menuEnabled("menuProva"));
        QVERIFY(action("menuSalva")->isEnabled());
        QVERIFY(child<QPushButton>("Command1")->isEnabled());
        QVERIFY(child<QPushButton>("Command3")->isEnabled());

        action("menuModifica")->trigger(); // through the menu, as the user does
        QVERIFY(!action("menuModifica")->isChecked());
        QVERIFY(list()->isReadOnly());
        QVERIFY(menuEnabled("menuOpzioni"));
        QVERIFY(menuEnabled("menuProva"));
        QVERIFY(action("menuSalva")->isEnabled()); // stays until a save

        QVERIFY(m_form->menuSalva_Click());
        QVERIFY(!action("menuSalva")->isEnabled());
        m_form->menuModifica_Click();
        QVERIFY(action("menuSalva")->isEnabled());
    }

    void tabMovesToTheNextField_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("target");
        for (int line : { 0, 2 }) {
            const auto add = [line](int column, int target) {
                QTest::addRow("line %d column %d", line + 1, column) << line << column << target;
            };
            add(1, 6);
            add(5, 6);
            add(7, 6);
            add(8, 56);
            add(30, 56);
            add(57, 56);
            add(58, 58);
            add(59, 2);
            add(105, 2);
        }
    }
    void tabMovesToTheNextField()
    {
        QFETCH(int, line);
        QFETCH(int, column);
        QVERIFY(start());
        m_form->show();
        m_form->menuModifica_Click();
        list()->setFocus();
        const QString before = list()->toPlainText();
        placeCaret(line, column);
        QTest::keyClick(list(), Qt::Key_Tab);
        QCOMPARE(m_form->spia(), 9);
        QVERIFY(child<QTimer>("TimTab")->isActive());
        QCOMPARE(m_form->focusWidget(), list()); // Tab stays with the list
        m_form->TimTab_Timer();
        QCOMPARE(m_form->spia(), 0);
        QVERIFY(!child<QTimer>("TimTab")->isActive());
        QCOMPARE(list()->toPlainText(), before); // no tab character is left
        const QTextCursor cursor = list()->textCursor();
        QCOMPARE(cursor.blockNumber(), line);
        QTEST(cursor.positionInBlock() + 1, "target");
    }

    void tabOnAShortLineStaysOnIt()
    {
        QVERIFY(start());
        m_form->menuModifica_Click();
        typeAtEnd("7 c dog");
        placeCaret(4, 8);
        QTest::keyClick(list(), Qt::Key_Tab);
        m_form->TimTab_Timer();
        QCOMPARE(list()->textCursor().blockNumber(), 4);
        QCOMPARE(list()->textCursor().positionInBlock(), 7); // the end of the line
        QVERIFY(!list()->toPlainText().contains('\t'));
    }

    void enterStartsALineOfBlanks()
    {
        QVERIFY(start());
        m_form->menuModifica_Click();
        placeCaret(1, 106); // end of the second word line
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(m_form->spia(), 13);
        QVERIFY(child<QTimer>("TimTab")->isActive());
        m_form->TimTab_Timer();
        QCOMPARE(m_form->spia(), 0);
        const QTextCursor cursor = list()->textCursor();
        QCOMPARE(cursor.blockNumber(), 2);
        QCOMPARE(cursor.positionInBlock(), 0);
        QCOMPARE(cursor.block().text(), QString(56, ' '));
        QCOMPARE(list()->document()->blockCount(), 6);

        // Typing the lesson and Tab goes on to the English field, then the Italian one.
        QTest::keyClicks(list(), "4  c");
        QTest::keyClick(list(), Qt::Key_Tab);
        m_form->TimTab_Timer();
        QTest::keyClicks(list(), "car");
        QTest::keyClick(list(), Qt::Key_Tab);
        m_form->TimTab_Timer();
        QTest::keyClicks(list(), "auto");
        QCOMPARE(list()->textCursor().block().text().left(62),
                 wordLine(" 4", "c", "car", "auto").left(62).replace(0, 2, "4 "));
    }

    void keysDoNothingSpecialWhenLocked_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Tab") << int(Qt::Key_Tab);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void keysDoNothingSpecialWhenLocked()
    {
        QFETCH(int, key);
        QVERIFY(start());
        m_form->show();
        list()->setFocus();
        const QString before = list()->toPlainText();
        placeCaret(1, 3);
        QTest::keyClick(list(), Qt::Key(key));
        QCOMPARE(m_form->spia(), 0);
        QVERIFY(!child<QTimer>("TimTab")->isActive());
        QCOMPARE(list()->toPlainText(), before);
        QCOMPARE(list()->textCursor().positionInBlock(), 2);
        QCOMPARE(m_form->focusWidget(), list());
    }

    void saveWritesCommentsFirst()
    {
        QVERIFY(start());
        m_form->menuModifica_Click();
        typeAtEnd("## new note\n" + wordLine("5", "x", "tree", "albero \u20ac"));
        QVERIFY(m_form->menuSalva_Click());
        QVERIFY(m_platform.shown.isEmpty());
        const QString words = Vocabulary::splitFileText(Sample).wordText + "## new note\r\n"
            + wordLine("5", "x", "tree", "albero \u20ac");
        QCOMPARE(readBytes(path("inglese.txt")),
                 Vocabulary::encode("## sample vocabulary\r\n## lesson 3\r\n\r\n" + words + "\r\n"));
        // The table follows the text line by line: until the next start the
        // comment line typed into the list is a row too (its fourth character
        // is no blank, so it even counts as marked).
        QCOMPARE(m_session->words.count(), 6);
        QCOMPARE(m_session->words.Listc.last(), "5  x");
        QCOMPARE(m_session->memoc.words(), QList<int>({ 0, 4, 5 }));
        QVERIFY(!action("menuSalva")->isEnabled());

        // The next start reads the same words and moves the new comment up.
        Session again;
        FakePlatform platform;
        platform.folder = m_dir->path();
        Form1 second(again, platform);
        QVERIFY(second.Form_Load());
        QCOMPARE(second.comments(), "## sample vocabulary\r\n## lesson 3\r\n## new note\r\n");
        QCOMPARE(again.words.count(), 5);
        QCOMPARE(again.memoc.words(), QList<int>({ 0, 4 }));
    }

    void saveDoesNotDuplicateCriticalKeys()
    {
        QVERIFY(start());
        QCOMPARE(m_session->memoc.count(), 1);
        m_form->menuModifica_Click();
        QVERIFY(m_form->menuSalva_Click());
        m_form->menuModifica_Click();
        QVERIFY(m_form->menuSalva_Click());
        QCOMPARE(m_session->memoc.count(), 1);
        m_form->close();
        QVERIFY(readBytes(path("inglelog")).contains("    0/1000/1       "));
    }

    void saveRefusesWhatTheNextStartWouldRefuse_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("start");
        QTest::newRow("lesson 21") << wordLine("21", "", "a", "b") << "La Riga numero 5 ha un numero di lezione";
        QTest::newRow("lesson letters") << "ab  c" << "La Riga numero 5 ha un numero di lezione";
        QTest::newRow("no lesson") << "    house" << "La Riga numero 5 ha un numero di lezione";
        QTest::newRow("character outside the code page")
            << wordLine("2", "", "Krak\u00f3w", "Cracovia \u0101") << "La Riga numero 5 contiene un carattere";
    }
    void saveRefusesWhatTheNextStartWouldRefuse()
    {
        QFETCH(QString, typed);
        QFETCH(QString, start);
        QVERIFY(this->start());
        const QByteArray before = readBytes(path("inglese.txt"));
        const QStringList listc = m_session->words.Listc;
        m_form->menuModifica_Click();
        typeAtEnd(typed);
        QVERIFY(!m_form->menuSalva_Click());
        QCOMPARE(m_platform.shown.size(), 1);
        QCOMPARE(m_platform.shown.first().title, "Salva Aggiornamenti");
        QVERIFY2(m_platform.shown.first().text.startsWith(start), qPrintable(m_platform.shown.first().text));
        QCOMPARE(readBytes(path("inglese.txt")), before);
        QCOMPARE(m_session->words.Listc, listc);
        QVERIFY(action("menuSalva")->isEnabled());
        QVERIFY(list()->toPlainText().endsWith(typed));
    }

    void failedSaveKeepsEverything()
    {
        QVERIFY(start());
        m_form->menuModifica_Click();
        typeAtEnd(wordLine("4", "", "new", "nuovo"));
        // The data folder goes away under the program's feet.
        const QString moved = m_dir->path() + "-moved";
        QVERIFY(QDir().rename(m_dir->path(), moved));
        const bool saved = m_form->menuSalva_Click();
        QVERIFY(QDir().rename(moved, m_dir->path()));
        QVERIFY(!saved);
        QCOMPARE(m_platform.shown.size(), 1);
        QCOMPARE(m_platform.shown.first().title, "Salva Aggiornamenti");
        QVERIFY(m_platform.shown.first().text.startsWith("Non riesco a scrivere il file\r\n" + path("inglese.txt")));
        QVERIFY(action("menuSalva")->isEnabled());
        QVERIFY(list()->toPlainText().endsWith(wordLine("4", "", "new", "nuovo")));
        QCOMPARE(readBytes(path("inglese.txt")), Vocabulary::encode(Sample));
    }

    void failedSaveInReadOnlyFolder()
    {
        QVERIFY(start());
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
        const auto writable = [this] {
            QFile probe(path("probe"));
            return probe.open(QIODevice::WriteOnly) && probe.remove();
        };
        if (writable()) {
            // The superuser ignores permissions: make the folder immutable instead.
            m_immutable = QProcess::execute("chattr", { "+i", m_dir->path() }) == 0;
            if (!m_immutable || writable())
                QSKIP("no way to make a folder read-only for this user");
        }
        m_form->menuModifica_Click();
        typeAtEnd(wordLine("4", "", "new", "nuovo"));
        QVERIFY(!m_form->menuSalva_Click());
        QCOMPARE(m_platform.shown.size(), 1);
        QVERIFY(action("menuSalva")->isEnabled());
        QCOMPARE(readBytes(path("inglese.txt")), Vocabulary::encode(Sample));
    }

    void endWritesTheLogLine_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<QString>("ending");
        QTest::newRow("FINE, no lesson chosen") << "FINE" << QList<int>() << "        TUTTE\r\n";
        QTest::newRow("FINE, lessons 2 and 5") << "FINE" << QList<int>({ 2, 5 }) << "        2 5\r\n";
        QTest::newRow("menu Fine") << "Fine" << QList<int>({ 20 }) << "        20\r\n";
        QTest::newRow("window closed") << "close" << QList<int>() << "        TUTTE\r\n";
    }
    void endWritesTheLogLine()
    {
        QFETCH(QString, how);
        QFETCH(QList<int>, chosen);
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
        QFETCH(QString, ending);
        QCOMPARE(QString::fromLatin1(readBytes(path("inglelog"))),
                 "old line\r\n05/12/2026 09:10:02 09:31:45    12/987/2" + ending);
    }

    void endWithoutLogStillEnds()
    {
        QVERIFY(start());
        m_form->show();
        QVERIFY(QDir(m_dir->path()).mkdir("inglelog")); // the log cannot be opened
        QSignalSpy ended(m_form, &Form1::programEnded);
        m_form->Command3_Click();
        QCOMPARE(ended.size(), 1);
        QCOMPARE(m_platform.shown.size(), 1);
        QVERIFY(m_platform.shown.first().text.contains(path("inglelog")));
    }

    void layoutFollowsTheWindow_data()
    {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("design size") << QSize(600, 390) << QSize(600, 390);
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
        QCOMPARE(child<QLabel>("Label0")->width(), w - 15);
        QCOMPARE(child<QPushButton>("Command1")->y(), h - 30);
        QCOMPARE(child<QPushButton>("Command2")->y(), h - 30);
        QPushButton *fine = child<QPushButton>("Command3");
        QCOMPARE(fine->geometry().topLeft(), QPoint(w - 15 - fine->width(), h - 30));
        QCOMPARE(child<QPushButton>("Command1")->x(), 8);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
