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

    QString path(const QString &name) const { return dir->filePath(name); }
    ProgramState &state() { return window->state(); }
    QAction *action(const char *name) { return window->findChild<QAction *>(QLatin1String(name)); }
    QString label1() { return window->findChild<QLabel *>(QStringLiteral("Label1"))->text(); }
    QPlainTextEdit *htext() { return window->findChild<QPlainTextEdit *>(QStringLiteral("Htext")); }

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

    // The next file dialogue runs `steps` in turn once it is up; if it is
    // still open after the last one it is cancelled and the test fails.
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
        QList<Step> &steps = dialogues.first();
        if (steps.isEmpty()) {
            dialogueLeftOpen = true;
            dialogue->reject();
        } else {
            ++dialoguesSeen;
            for (const Step &step : std::as_const(steps))
                if (dialogue->isVisible())
                    step(*dialogue);
            steps.clear();
            if (dialogue->isVisible()) {
                dialogueLeftOpen = true;
                dialogue->reject();
            }
        }
        dialogues.removeFirst();
        if (!dialogues.isEmpty())
            QTimer::singleShot(0, this, &TestFileMenu::runStep);
    }

    static Step typeName(const QString &name)
    {
        return [name](Form3 &d) { d.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(name); };
    }
    static Step clickOk()
    {
        return [](Form3 &d) {
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        };
    }
    static Step clickCancel()
    {
        return [](Form3 &d) {
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
        };
    }
    static Step chooseFile(const QString &name)
    {
        return [name](Form3 &d) {
            auto *list = d.findChild<QListWidget *>(QStringLiteral("File1"));
            const auto found = list->findItems(name, Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
        };
    }
    // Records what the dialogue shows when it opens.
    Step look(QString &title, QString &name, bool &nameEditable)
    {
        return [&](Form3 &d) {
            title = d.windowTitle();
            auto *text1 = d.findChild<QLineEdit *>(QStringLiteral("Text1"));
            name = text1->text();
            nameEditable = text1->isEnabled();
        };
    }
    // Saves the text of the editing area as `name` through "S&alva con nome...".
    void saveAs(const QString &name)
    {
        expectDialogue({ typeName(name), clickOk() });
        action("menuFileSaveAs")->trigger();
    }
    // Types as the keyboard layout gives the characters, accented ones included.
    void typeIntoArea(const QString &text)
    {
        for (const QChar character : text)
            QTest::sendKeyEvent(QTest::Click, htext(), Qt::Key_unknown, QString(character), Qt::NoModifier);
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
        QTest::newRow("no extension") << "lettera"
                                      << "lettera.txt";
        QTest::newRow("lower case") << "lettera.txt"
                                    << "lettera.txt";
        QTest::newRow("upper case") << "LETTERA.TXT"
                                    << "LETTERA.TXT";
        QTest::newRow("mixed case") << "lettera.Txt"
                                    << "lettera.Txt.txt";
    }
    void saveNameRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QString title, proposed;
        bool editable = false;
        expectDialogue({ look(title, proposed, editable), typeName(typed), clickOk() });
        action("menuFileSaveAs")->trigger();
        QCOMPARE(title, QStringLiteral("   SALVA IL FILE"));
        QVERIFY(editable);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList { written });
        QCOMPARE(bytesOf(path(written)), TextFile::encode(sampleLetter() + QStringLiteral("\r\n")).value());
        QCOMPARE(state().NomeFileCorrente, path(written));
        QCOMPARE(label1(), path(written));
        QVERIFY(action("menuFileSave")->isEnabled());
        QVERIFY(platform.shown.isEmpty());
    }

    void saveAndReopenAddsOneLineBreak()
    {
        typeIntoArea(QStringLiteral("più "));
        const QString saved = window->editorText();
        saveAs(QStringLiteral("lettera"));
        QVERIFY(!window->isModified());

        // The text is unchanged since the save: "Apri" asks nothing.
        QString title, proposed;
        bool editable = true;
        expectDialogue({ look(title, proposed, editable), chooseFile(QStringLiteral("lettera.txt")),
            [](Form3 &d) {
                QCOMPARE(
                    d.findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QStringLiteral("lettera.txt"));
                QCOMPARE(d.focusWidget(), d.findChild<QPushButton *>(QStringLiteral("Command1")));
            },
            clickOk() });
        action("menuFileOpen")->trigger();
        QCOMPARE(title, QStringLiteral("   APRI UN FILE"));
        QCOMPARE(proposed, QStringLiteral("lettera.txt"));
        QVERIFY(!editable);
        QCOMPARE(window->editorText(), saved + QStringLiteral("\r\n"));
        QCOMPARE(state().TestoRiferimento, saved + QStringLiteral("\r\n"));
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
        expectDialogue({ chooseFile(QStringLiteral("file.txt")), clickOk() });
        action("menuFileOpen")->trigger();
        QCOMPARE(state().TestoRiferimento, TextFile::decode(bytes));
        QCOMPARE(htext()->blockCount(), lines);
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
        QStringList files, inSubfolder, folders;
        QString drive;
        expectDialogue({ [&](Form3 &d) {
                            auto *file1 = d.findChild<QListWidget *>(QStringLiteral("File1"));
                            auto *dir1 = d.findChild<QListWidget *>(QStringLiteral("Dir1"));
                            drive = d.findChild<QComboBox *>(QStringLiteral("Drive1"))->currentText();
                            for (int i = 0; i < file1->count(); ++i)
                                files << file1->item(i)->text();
                            for (int i = 0; i < dir1->count(); ++i)
                                folders << dir1->item(i)->text().trimmed();
                            const auto sub = dir1->findItems(QStringLiteral("sotto"), Qt::MatchEndsWith);
                            QCOMPARE(sub.size(), 1);
                            emit dir1->itemActivated(sub.first());
                            for (int i = 0; i < file1->count(); ++i)
                                inSubfolder << file1->item(i)->text();
                            QCOMPARE(d.folder(), path(QStringLiteral("sotto")));
                            // The page keys belong to the editing area only.
                            QTest::keyClick(file1, Qt::Key_PageDown);
                        },
            clickCancel() });
        action("menuFileOpen")->trigger();
        QCOMPARE(state().Stato, qint16(14));
        QCOMPARE(files, (QStringList { "a.txt", "B.TXT", "c.Txt" }));
        QCOMPARE(folders.first(), QStringLiteral("/"));
        QCOMPARE(folders.last(), QStringLiteral("sotto"));
        QCOMPARE(inSubfolder, QStringList { "e.txt" });
        QCOMPARE(drive, QStringLiteral("/"));
    }

    void driveListChangesTheFolder()
    {
        const QString missing = path(QStringLiteral("disco-assente"));
        platform.roots = QStringList { QStringLiteral("/"), dir->path(), missing };
        QString shownDrive, folderAfterRoot;
        int messagesAfterMissing = 0;
        expectDialogue({ [&](Form3 &d) {
                            auto *drive1 = d.findChild<QComboBox *>(QStringLiteral("Drive1"));
                            shownDrive = drive1->currentText();
                            drive1->setCurrentIndex(0);
                            emit drive1->activated(0);
                            folderAfterRoot = d.folder();
                            drive1->setCurrentIndex(2);
                            emit drive1->activated(2);
                            messagesAfterMissing = int(platform.shown.size());
                            QCOMPARE(d.folder(), QStringLiteral("/"));
                        },
            clickCancel() });
        action("menuFileOpen")->trigger();
        // The drive of the current folder is the longest root that holds it.
        QCOMPARE(shownDrive, dir->path());
        QCOMPARE(folderAfterRoot, QStringLiteral("/"));
        QCOMPARE(messagesAfterMissing, 1);
        QVERIFY(platform.shown.first().text.contains(QStringLiteral("non è pronto")));
    }

    void questions_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("text");
        QTest::newRow("Nuovo")
            << "menuFileNew"
            << "E' stato richiesto di Aprire un Nuovo File,\r\nma il file corrente è stato "
               "modificato.\r\nVuoi salvarlo ?";
        QTest::newRow("Apri") << "menuFileOpen"
                              << "E' stato richiesto di Aprire un altro File,\r\nma il file corrente è stato "
                                 "modificato.\r\nVuoi salvarlo ?";
        QTest::newRow("Chiudi")
            << "menuFileClose"
            << "E' stato chiesto di chiudere il programma,\r\nma il file corrente non è stato "
               "salvato dopo le modifiche.\r\nVuoi salvarlo ?";
    }
    void questions()
    {
        QFETCH(QString, menu);
        QFETCH(QString, text);
        typeIntoArea(QStringLiteral("x"));
        platform.answers.enqueue(Platform::Answer::No);
        if (menu == QLatin1String("menuFileOpen"))
            expectDialogue({ [this](Form3 &) { QVERIFY(window->editorText().isEmpty()); }, clickCancel() });
        window->findChild<QAction *>(menu)->trigger();
        QCOMPARE(platform.shown.size(), 1);
        QCOMPARE(platform.shown.first().title, QStringLiteral("Attenzione !"));
        QCOMPARE(platform.shown.first().text, text);
        QCOMPARE(platform.shown.first().buttons, Platform::Buttons::YesNo);
        QCOMPARE(platform.shown.first().icon, Platform::Icon::None);
        // No: nothing is saved and the text is given up.
        QCOMPARE(dialoguesSeen, menu == QLatin1String("menuFileOpen") ? 1 : 0);
        QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
        if (menu == QLatin1String("menuFileClose")) {
            QVERIFY(!window->isVisible());
        } else {
            QVERIFY(window->editorText().isEmpty());
            QVERIFY(!window->isModified());
            QVERIFY(label1().isEmpty());
        }
    }

    void yesSavesFirst_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::newRow("Nuovo") << "menuFileNew";
        QTest::newRow("Apri") << "menuFileOpen";
        QTest::newRow("Chiudi") << "menuFileClose";
    }
    void yesSavesFirst()
    {
        QFETCH(QString, menu);
        typeIntoArea(QStringLiteral("x"));
        const QString typed = window->editorText();
        platform.answers.enqueue(Platform::Answer::Yes);
        expectDialogue({ typeName(QStringLiteral("prima")), clickOk() });
        if (menu == QLatin1String("menuFileOpen"))
            expectDialogue({ clickCancel() });
        window->findChild<QAction *>(menu)->trigger();
        QCOMPARE(bytesOf(path(QStringLiteral("prima.txt"))),
            TextFile::encode(typed + QStringLiteral("\r\n")).value());
        QCOMPARE(dialoguesSeen, menu == QLatin1String("menuFileOpen") ? 2 : 1);
        if (menu == QLatin1String("menuFileClose"))
            QVERIFY(!window->isVisible());
        else
            QVERIFY(window->editorText().isEmpty());
        QCOMPARE(action("menuFileSave")->isEnabled(), menu != QLatin1String("menuFileNew"));
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
        Step cancel = clickCancel();
        if (how == QLatin1String("close"))
            cancel = [](Form3 &d) { d.close(); };
        else if (how == QLatin1String("Escape"))
            cancel = [](Form3 &d) { QTest::keyClick(&d, Qt::Key_Escape); };

        platform.answers.enqueue(Platform::Answer::Yes);
        expectDialogue({ chooseFile(QStringLiteral("vecchia.txt")), cancel });
        action("menuFileNew")->trigger();
        QCOMPARE(window->editorText(), typed);
        QCOMPARE(label1(), path(QStringLiteral("vecchia.txt")));
        QCOMPARE(state().TestoRiferimento, reference);
        QCOMPARE(state().NomeFileCorrente, path(QStringLiteral("vecchia.txt")));
        QCOMPARE(state().Operazione, qint16(ProgramState::Cancelled));
        QVERIFY(window->isModified());
        QCOMPARE(
            bytesOf(path(QStringLiteral("vecchia.txt"))), TextFile::encode(sampleLetter() + "\r\n").value());

        // The text was never written: closing still asks, and the program
        // ends after the save dialogue even when it is cancelled.
        platform.answers.enqueue(Platform::Answer::Yes);
        expectDialogue({ cancel });
        action("menuFileClose")->trigger();
        QCOMPARE(platform.shown.size(), 2);
        QVERIFY(!window->isVisible());
    }

    void cancelledOpenRestoresTheName()
    {
        saveAs(QStringLiteral("uno"));
        writeBytes(path(QStringLiteral("due.txt")), "due");
        expectDialogue({ chooseFile(QStringLiteral("due.txt")), clickCancel() });
        action("menuFileOpen")->trigger();
        QCOMPARE(state().NomeFileCorrente, path(QStringLiteral("uno.txt")));
        QVERIFY(window->editorText().isEmpty());
        QVERIFY(!window->isModified());
        // Nothing is shown as current: "&Salva" asks for a name rather than
        // writing the empty area over uno.txt.
        QVERIFY(action("menuFileSave")->isEnabled());
        QString proposed, title;
        bool editable = false;
        expectDialogue({ look(title, proposed, editable), clickCancel() });
        action("menuFileSave")->trigger();
        QCOMPARE(title, QStringLiteral("   SALVA IL FILE"));
        QCOMPARE(proposed, QStringLiteral("uno.txt"));
        QCOMPARE(bytesOf(path(QStringLiteral("uno.txt"))), TextFile::encode(sampleLetter() + "\r\n").value());
    }

    void nuovoKeepsTheNameForTheNextSave()
    {
        saveAs(QStringLiteral("lettera"));
        action("menuFileNew")->trigger();
        QVERIFY(platform.shown.isEmpty());
        QVERIFY(window->editorText().isEmpty());
        QVERIFY(!window->isModified());
        QVERIFY(label1().isEmpty());
        QVERIFY(!action("menuFileSave")->isEnabled());
        typeIntoArea(QStringLiteral("altro"));
        QString title, proposed;
        bool editable = false;
        expectDialogue({ look(title, proposed, editable), clickOk() });
        action("menuFileSaveAs")->trigger();
        QCOMPARE(proposed, QStringLiteral("lettera.txt"));
        // Saving over an existing file replaces it without a question.
        QCOMPARE(bytesOf(path(QStringLiteral("lettera.txt"))), QByteArray("altro\r\n"));
        QVERIFY(platform.shown.isEmpty());
    }

    void salvaWritesTheCurrentFile()
    {
        // A cancelled dialogue enables "&Salva" before any file is named; it
        // then works as "S&alva con nome...".
        typeIntoArea(QStringLiteral("A"));
        expectDialogue({ clickCancel() });
        action("menuFileSaveAs")->trigger();
        QVERIFY(action("menuFileSave")->isEnabled());
        QVERIFY(state().NomeFileCorrente.isEmpty());
        expectDialogue({ typeName(QStringLiteral("lettera")), clickOk() });
        action("menuFileSave")->trigger();
        QCOMPARE(dialoguesSeen, 2);
        typeIntoArea(QStringLiteral("B"));
        QVERIFY(window->isModified());
        action("menuFileSave")->trigger();
        QCOMPARE(dialoguesSeen, 2);
        QVERIFY(!window->isModified());
        QVERIFY(bytesOf(path(QStringLiteral("lettera.txt"))).contains("pABrimo"));
        QCOMPARE(label1(), path(QStringLiteral("lettera.txt")));
    }

    void fileErrorsKeepTheDialogueOpen_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty name") << ""
                                    << ""
                                    << "il Nome File non è valido, ripovare";
        QTest::newRow("blank name") << "   "
                                    << ""
                                    << "il Nome File non è valido, ripovare";
        QTest::newRow("missing folder") << "manca/lettera"
                                        << ""
                                        << "non si può scrivere";
        QTest::newRow("character outside the code page") << "lettera"
                                                         << "Łódź"
                                                         << "Ł";
    }
    void fileErrorsKeepTheDialogueOpen()
    {
        QFETCH(QString, typed);
        QFETCH(QString, area);
        QFETCH(QString, message);
        typeIntoArea(area.isEmpty() ? QStringLiteral("x") : area);
        const QString reference = state().TestoRiferimento;
        bool stillOpen = false;
        expectDialogue(
            { typeName(typed), clickOk(), [&](Form3 &d) { stillOpen = d.isVisible(); }, clickCancel() });
        action("menuFileSaveAs")->trigger();
        QVERIFY(stillOpen);
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY(platform.shown.first().title.startsWith(QStringLiteral("Attenzione")));
        QVERIFY2(platform.shown.first().text.contains(message), qPrintable(platform.shown.first().text));
        QVERIFY(QDir(dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
        QCOMPARE(state().TestoRiferimento, reference);
        QVERIFY(window->isModified());
    }

    void unreadableFileKeepsTheDialogueOpen()
    {
        state().NomeFileCorrente = path(QStringLiteral("sparito.txt"));
        bool stillOpen = false;
        expectDialogue({ clickOk(), [&](Form3 &d) { stillOpen = d.isVisible(); }, clickCancel() });
        action("menuFileOpen")->trigger();
        QVERIFY(stillOpen);
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY(platform.shown.first().text.contains(QStringLiteral("non esiste")));
        QCOMPARE(state().NomeFileCorrente, path(QStringLiteral("sparito.txt")));
    }

    void failedSalvaKeepsTheTextModified()
    {
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("sotto")));
        platform.folder = path(QStringLiteral("sotto"));
        saveAs(QStringLiteral("lettera"));
        QVERIFY(QDir(path(QStringLiteral("sotto"))).removeRecursively());
        typeIntoArea(QStringLiteral("x"));
        action("menuFileSave")->trigger();
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY(platform.shown.first().text.contains(QStringLiteral("non si può scrivere")));
        QVERIFY(window->isModified());
    }
};

QTEST_MAIN(TestFileMenu)
#include "tst_filemenu.moc"
