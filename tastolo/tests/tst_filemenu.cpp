#include "Form1.h"
#include "Form3.h"
#include "fakeplatform.h"
#include "textfile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using Step = std::function<void(Form3 &)>;

// The File menu, its three questions and the file dialogue, driven through
// the real windows with scripted message-box answers.
class TestFileMenu : public QObject
{
    Q_OBJECT

private:
    FakePlatform platform;
    QTemporaryDir *dir = nullptr;
    Form1 *window = nullptr;
    // Steps for the file dialogues still to come, one list per dialogue.
    QList<QList<Step>> dialogues;
    int dialoguesSeen = 0;
    bool dialogueLeftOpen = false;
    // What the last dialogue showed when it opened.
    struct
    {
        QString title, name;
        bool nameEditable = false;
    } seen;

    QString path(const QString &name) const { return dir->filePath(name); }
    ProgramState &state() { return window->state(); }
    void trigger(const QString &menu) { window->findChild<QAction *>(menu)->trigger(); }
    bool saveEnabled() { return window->findChild<QAction *>(QStringLiteral("menuFileSave"))->isEnabled(); }
    QString label1() { return window->findChild<QLabel *>(QStringLiteral("Label1"))->text(); }
    QStringList files() const { return QDir(dir->path()).entryList(QDir::Files); }

    static QByteArray bytesOf(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void writeBytes(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray saved(const QString &text) { return TextFile::encode(text + QStringLiteral("\r\n")).value(); }

    // The next file dialogue records what it shows, then runs `steps` in
    // turn; if it is still open after the last one it is cancelled and the
    // test fails.
    void expectDialogue(QList<Step> steps)
    {
        dialogues.append(steps);
        if (dialogues.size() == 1)
            QTimer::singleShot(0, this, &TestFileMenu::runStep);
    }
    void runStep()
    {
        auto *dialogue = qobject_cast<Form3 *>(QApplication::activeModalWidget());
        if (!dialogue || dialogues.isEmpty())
            return;
        ++dialoguesSeen;
        auto *text1 = dialogue->findChild<QLineEdit *>(QStringLiteral("Text1"));
        seen = { dialogue->windowTitle(), text1->text(), text1->isEnabled() };
        for (const Step &step : dialogues.takeFirst())
            if (dialogue->isVisible())
                step(*dialogue);
        if (dialogue->isVisible()) {
            dialogueLeftOpen = true;
            dialogue->reject();
        }
        if (!dialogues.isEmpty())
            QTimer::singleShot(0, this, &TestFileMenu::runStep);
    }

    static Step typeName(const QString &name)
    {
        return [name](Form3 &d) { d.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(name); };
    }
    static Step click(const char *button)
    {
        return [button](Form3 &d) { QTest::mouseClick(d.findChild<QPushButton *>(button), Qt::LeftButton); };
    }
    static Step ok() { return click("Command1"); }
    static Step cancel() { return click("Command2"); }
    static Step chooseFile(const QString &name)
    {
        return [name](Form3 &d) {
            auto *list = d.findChild<QListWidget *>(QStringLiteral("File1"));
            const auto found = list->findItems(name, Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
        };
    }
    // Saves the text of the editing area as `name` through "S&alva con nome...".
    void saveAs(const QString &name)
    {
        expectDialogue({ typeName(name), ok() });
        trigger(QStringLiteral("menuFileSaveAs"));
    }
    // Types as the keyboard layout gives the characters, accented ones included.
    void typeIntoArea(const QString &text)
    {
        auto *htext = window->findChild<QPlainTextEdit *>(QStringLiteral("Htext"));
        for (const QChar character : text)
            QTest::sendKeyEvent(QTest::Click, htext, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }

private slots:
    void init()
    {
        dir = new QTemporaryDir;
        platform = FakePlatform();
        platform.folder = dir->path();
        dialogues.clear();
        dialoguesSeen = 0;
        dialogueLeftOpen = false;
        window = new Form1(platform);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup()
    {
        QVERIFY(!dialogueLeftOpen);
        QVERIFY(dialogues.isEmpty());
        delete window;
        delete dir;
    }

    void saveNameRule_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "lettera" << "lettera.txt";
        QTest::newRow("lower case") << "lettera.txt" << "lettera.txt";
        QTest::newRow("upper case") << "LETTERA.TXT" << "LETTERA.TXT";
        QTest::newRow("mixed case") << "lettera.Txt" << "lettera.Txt.txt";
    }
    void saveNameRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        saveAs(typed);
        QCOMPARE(seen.title, QStringLiteral("   SALVA IL FILE"));
        QVERIFY(seen.nameEditable);
        QCOMPARE(files(), QStringList { written });
        QCOMPARE(bytesOf(path(written)), saved(sampleLetter()));
        QCOMPARE(state().NomeFileCorrente, path(written));
        QCOMPARE(label1(), path(written));
        QVERIFY(saveEnabled());
        QVERIFY(platform.shown.isEmpty());
    }

    void saveAndReopenAddsOneLineBreak()
    {
        typeIntoArea(QStringLiteral("più "));
        const QString text = window->editorText() + QStringLiteral("\r\n");
        saveAs(QStringLiteral("lettera"));
        QVERIFY(!window->isModified());

        // The text is unchanged since the save: "Apri" asks nothing.
        expectDialogue({ chooseFile(QStringLiteral("lettera.txt")),
            [](Form3 &d) { QCOMPARE(d.focusWidget(), d.findChild<QPushButton *>(QStringLiteral("Command1"))); },
            ok() });
        trigger(QStringLiteral("menuFileOpen"));
        QCOMPARE(seen.title, QStringLiteral("   APRI UN FILE"));
        QCOMPARE(seen.name, QStringLiteral("lettera.txt"));
        QVERIFY(!seen.nameEditable);
        QCOMPARE(window->editorText(), text);
        QCOMPARE(state().TestoRiferimento, text);
        QVERIFY(!window->isModified());
        QCOMPARE(label1(), path(QStringLiteral("lettera.txt")));
        QCOMPARE(state().CartellaCorrente, dir->path());
        window->close();
        QVERIFY(platform.shown.isEmpty());
    }

    void openedFilesCountAsUnmodified_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lines");
        QTest::newRow("CR LF") << QByteArray("uno\r\ndue\r\n") << 3;
        QTest::newRow("LF alone") << QByteArray("uno\ndue\n") << 3;
        QTest::newRow("lone CR") << QByteArray("uno\rdue") << 2;
        QTest::newRow("mixed, accents, no-break space") << QByteArray("citt\xE0\n\xA0\xB0\r\n\tfine\r") << 4;
    }
    void openedFilesCountAsUnmodified()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lines);
        writeBytes(path(QStringLiteral("file.txt")), bytes);
        expectDialogue({ chooseFile(QStringLiteral("file.txt")), ok() });
        trigger(QStringLiteral("menuFileOpen"));
        QCOMPARE(state().TestoRiferimento, TextFile::decode(bytes));
        QCOMPARE(window->findChild<QPlainTextEdit *>(QStringLiteral("Htext"))->blockCount(), lines);
        QVERIFY(!window->isModified());
        window->close();
        QVERIFY(platform.shown.isEmpty());
    }

    void fileListShowsTextFilesWhateverTheCase()
    {
        for (const char *name : { "a.txt", "B.TXT", "c.Txt", "d.doc", "txt" })
            writeBytes(path(QLatin1String(name)), "x");
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("sotto/cartella")));
        writeBytes(path(QStringLiteral("sotto/e.txt")), "x");
        QStringList names[2], folders;
        QString drive;
        const auto list = [](QListWidget *widget, QStringList &into) {
            for (int i = 0; i < widget->count(); ++i)
                into << widget->item(i)->text().trimmed();
        };
        expectDialogue({ [&](Form3 &d) {
                            auto *file1 = d.findChild<QListWidget *>(QStringLiteral("File1"));
                            auto *dir1 = d.findChild<QListWidget *>(QStringLiteral("Dir1"));
                            drive = d.findChild<QComboBox *>(QStringLiteral("Drive1"))->currentText();
                            list(file1, names[0]);
                            list(dir1, folders);
                            const auto sub = dir1->findItems(QStringLiteral("sotto"), Qt::MatchEndsWith);
                            QCOMPARE(sub.size(), 1);
                            emit dir1->itemActivated(sub.first());
                            list(file1, names[1]);
                            QCOMPARE(d.folder(), path(QStringLiteral("sotto")));
                            // The page keys belong to the editing area only.
                            QTest::keyClick(file1, Qt::Key_PageDown);
                        },
            cancel() });
        trigger(QStringLiteral("menuFileOpen"));
        QCOMPARE(state().Stato, qint16(14));
        QCOMPARE(names[0], (QStringList { "a.txt", "B.TXT", "c.Txt" }));
        QCOMPARE(names[1], QStringList { "e.txt" });
        QCOMPARE(folders.first(), QStringLiteral("/"));
        QCOMPARE(folders.last(), QStringLiteral("sotto"));
        QCOMPARE(drive, QStringLiteral("/"));
    }

    void driveListChangesTheFolder()
    {
        platform.roots = QStringList { QStringLiteral("/"), dir->path(), path(QStringLiteral("disco-assente")) };
        QString shownDrive, folderAfterRoot;
        qsizetype messagesAfterMissing = 0;
        expectDialogue({ [&](Form3 &d) {
                            auto *drive1 = d.findChild<QComboBox *>(QStringLiteral("Drive1"));
                            shownDrive = drive1->currentText();
                            drive1->setCurrentIndex(0);
                            emit drive1->activated(0);
                            folderAfterRoot = d.folder();
                            drive1->setCurrentIndex(2);
                            emit drive1->activated(2);
                            messagesAfterMissing = platform.shown.size();
                            QCOMPARE(d.folder(), QStringLiteral("/"));
                        },
            cancel() });
        trigger(QStringLiteral("menuFileOpen"));
        // The drive of the current folder is the longest root that holds it.
        QCOMPARE(shownDrive, dir->path());
        QCOMPARE(folderAfterRoot, QStringLiteral("/"));
        QCOMPARE(messagesAfterMissing, 1);
        QVERIFY(platform.shown.first().text.contains(QStringLiteral("non è pronto")));
    }

    // A changed text: each menu asks; Yes saves it first through the save
    // dialogue, No gives it up. Then the menu does its work.
    void questions_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("saveAfter");
        const QString changed = QStringLiteral(",\r\nma il file corrente è stato modificato.\r\nVuoi salvarlo ?");
        const QString nuovo = QStringLiteral("E' stato richiesto di Aprire un Nuovo File") + changed;
        const QString apri = QStringLiteral("E' stato richiesto di Aprire un altro File") + changed;
        const QString chiudi = QStringLiteral("E' stato chiesto di chiudere il programma,\r\nma il file corrente "
                                              "non è stato salvato dopo le modifiche.\r\nVuoi salvarlo ?");
        QTest::newRow("Nuovo, No") << "menuFileNew" << nuovo << false << false;
        QTest::newRow("Nuovo, Yes") << "menuFileNew" << nuovo << true << false;
        QTest::newRow("Apri, No") << "menuFileOpen" << apri << false << true;
        QTest::newRow("Apri, Yes") << "menuFileOpen" << apri << true << true;
        QTest::newRow("Chiudi, No") << "menuFileClose" << chiudi << false << false;
        QTest::newRow("Chiudi, Yes") << "menuFileClose" << chiudi << true << true;
    }
    void questions()
    {
        QFETCH(QString, menu);
        QFETCH(QString, asked);
        QFETCH(bool, yes);
        QFETCH(bool, saveAfter);
        const bool opening = menu == QLatin1String("menuFileOpen");
        typeIntoArea(QStringLiteral("x"));
        const QString typed = window->editorText();
        platform.answers.enqueue(yes ? Platform::Answer::Yes : Platform::Answer::No);
        if (yes)
            expectDialogue({ typeName(QStringLiteral("prima")), ok() });
        if (opening) // the text is given up before the file is chosen
            expectDialogue({ [this](Form3 &) { QVERIFY(window->editorText().isEmpty()); }, cancel() });
        trigger(menu);
        QCOMPARE(platform.shown.size(), 1);
        QCOMPARE(platform.shown.first().title, QStringLiteral("Attenzione !"));
        QCOMPARE(platform.shown.first().text, asked);
        QCOMPARE(platform.shown.first().buttons, Platform::Buttons::YesNo);
        QCOMPARE(platform.shown.first().icon, Platform::Icon::None);
        QCOMPARE(dialoguesSeen, int(yes) + int(opening));
        QCOMPARE(files(), yes ? QStringList { QStringLiteral("prima.txt") } : QStringList());
        if (yes)
            QCOMPARE(bytesOf(path(QStringLiteral("prima.txt"))), saved(typed));
        if (menu == QLatin1String("menuFileClose")) {
            QVERIFY(!window->isVisible());
        } else {
            QVERIFY(window->editorText().isEmpty());
            QVERIFY(!window->isModified());
            QVERIFY(label1().isEmpty());
        }
        QCOMPARE(saveEnabled(), saveAfter);
    }

    void cancelledSaveKeepsEverything_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Annullo") << "Annullo";
        QTest::newRow("close control") << "close";
        QTest::newRow("Escape") << "Escape";
    }
    void cancelledSaveKeepsEverything()
    {
        QFETCH(QString, how);
        saveAs(QStringLiteral("vecchia"));
        typeIntoArea(QStringLiteral("nuovo testo"));
        const QString typed = window->editorText();
        const QString reference = state().TestoRiferimento;
        const Step close = how == QLatin1String("close") ? Step([](Form3 &d) { d.close(); })
            : how == QLatin1String("Escape")             ? Step([](Form3 &d) { QTest::keyClick(&d, Qt::Key_Escape); })
                                                         : cancel();
        platform.answers.enqueue(Platform::Answer::Yes);
        expectDialogue({ chooseFile(QStringLiteral("vecchia.txt")), close });
        trigger(QStringLiteral("menuFileNew"));
        QCOMPARE(window->editorText(), typed);
        QCOMPARE(label1(), path(QStringLiteral("vecchia.txt")));
        QCOMPARE(state().TestoRiferimento, reference);
        QCOMPARE(state().NomeFileCorrente, path(QStringLiteral("vecchia.txt")));
        QCOMPARE(state().Operazione, qint16(ProgramState::Cancelled));
        QVERIFY(window->isModified());
        QCOMPARE(bytesOf(path(QStringLiteral("vecchia.txt"))), saved(sampleLetter()));

        // The text was never written: closing still asks, and the program
        // ends after the save dialogue even when it is cancelled.
        platform.answers.enqueue(Platform::Answer::Yes);
        expectDialogue({ close });
        trigger(QStringLiteral("menuFileClose"));
        QCOMPARE(platform.shown.size(), 2);
        QVERIFY(!window->isVisible());
    }

    void cancelledOpenRestoresTheName()
    {
        saveAs(QStringLiteral("uno"));
        writeBytes(path(QStringLiteral("due.txt")), "due");
        expectDialogue({ chooseFile(QStringLiteral("due.txt")), cancel() });
        trigger(QStringLiteral("menuFileOpen"));
        QCOMPARE(state().NomeFileCorrente, path(QStringLiteral("uno.txt")));
        QVERIFY(window->editorText().isEmpty());
        QVERIFY(!window->isModified());
        // Nothing is shown as current: "&Salva" asks for a name rather than
        // writing the empty area over uno.txt.
        QVERIFY(saveEnabled());
        expectDialogue({ cancel() });
        trigger(QStringLiteral("menuFileSave"));
        QCOMPARE(seen.title, QStringLiteral("   SALVA IL FILE"));
        QCOMPARE(seen.name, QStringLiteral("uno.txt"));
        QCOMPARE(bytesOf(path(QStringLiteral("uno.txt"))), saved(sampleLetter()));
    }

    void nuovoKeepsTheNameForTheNextSave()
    {
        saveAs(QStringLiteral("lettera"));
        trigger(QStringLiteral("menuFileNew"));
        QVERIFY(platform.shown.isEmpty());
        QVERIFY(!window->isModified());
        QVERIFY(!saveEnabled());
        typeIntoArea(QStringLiteral("altro"));
        expectDialogue({ ok() });
        trigger(QStringLiteral("menuFileSaveAs"));
        QCOMPARE(seen.name, QStringLiteral("lettera.txt"));
        // Saving over an existing file replaces it without a question.
        QCOMPARE(bytesOf(path(QStringLiteral("lettera.txt"))), QByteArray("altro\r\n"));
        QVERIFY(platform.shown.isEmpty());
    }

    void salvaWritesTheCurrentFile()
    {
        // A cancelled dialogue enables "&Salva" before any file is named; it
        // then works as "S&alva con nome...".
        typeIntoArea(QStringLiteral("A"));
        expectDialogue({ cancel() });
        trigger(QStringLiteral("menuFileSaveAs"));
        QVERIFY(saveEnabled());
        QVERIFY(state().NomeFileCorrente.isEmpty());
        expectDialogue({ typeName(QStringLiteral("lettera")), ok() });
        trigger(QStringLiteral("menuFileSave"));
        QCOMPARE(dialoguesSeen, 2);
        typeIntoArea(QStringLiteral("B"));
        QVERIFY(window->isModified());
        trigger(QStringLiteral("menuFileSave"));
        QCOMPARE(dialoguesSeen, 2);
        QVERIFY(!window->isModified());
        QVERIFY(bytesOf(path(QStringLiteral("lettera.txt"))).contains("pABrimo"));
        QCOMPARE(label1(), path(QStringLiteral("lettera.txt")));
    }

    // A name that cannot be read or written is reported and the dialogue
    // stays open for another try; nothing is written or given up.
    void fileErrorsKeepTheDialogueOpen_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("il Nome File non è valido, ripovare");
        QTest::newRow("empty name") << "menuFileSaveAs" << "" << "x" << invalid;
        QTest::newRow("blank name") << "menuFileSaveAs" << "   " << "x" << invalid;
        QTest::newRow("missing folder") << "menuFileSaveAs" << "manca/lettera" << "x" << "non si può scrivere";
        QTest::newRow("character outside the code page") << "menuFileSaveAs" << "lettera" << "Łódź" << "Ł";
        QTest::newRow("opening a missing file") << "menuFileOpen" << "sparito.txt" << "" << "non esiste";
        QTest::newRow("opening a folder") << "menuFileOpen" << "cartella.txt" << "" << "non si può leggere";
    }
    void fileErrorsKeepTheDialogueOpen()
    {
        QFETCH(QString, menu);
        QFETCH(QString, typed);
        QFETCH(QString, area);
        QFETCH(QString, message);
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("cartella.txt")));
        typeIntoArea(area);
        const QString reference = state().TestoRiferimento;
        bool stillOpen = false;
        expectDialogue({ typeName(typed), ok(), [&](Form3 &d) { stillOpen = d.isVisible(); }, cancel() });
        trigger(menu);
        QVERIFY(stillOpen);
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY(platform.shown.first().title.startsWith(QStringLiteral("Attenzione")));
        QVERIFY2(platform.shown.first().text.contains(message), qPrintable(platform.shown.first().text));
        QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("cartella.txt") });
        // Opening gives the text up before the file is chosen.
        QCOMPARE(state().TestoRiferimento, area.isEmpty() ? QString() : reference);
        QCOMPARE(window->isModified(), !area.isEmpty());
    }

    void failedSalvaKeepsTheTextModified()
    {
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("sotto")));
        platform.folder = path(QStringLiteral("sotto"));
        saveAs(QStringLiteral("lettera"));
        QVERIFY(QDir(path(QStringLiteral("sotto"))).removeRecursively());
        typeIntoArea(QStringLiteral("x"));
        trigger(QStringLiteral("menuFileSave"));
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY(platform.shown.first().text.contains(QStringLiteral("non si può scrivere")));
        QVERIFY(window->isModified());
    }
};

QTEST_MAIN(TestFileMenu)
#include "tst_filemenu.moc"
