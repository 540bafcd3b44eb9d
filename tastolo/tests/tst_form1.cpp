#include "Form1.h"
#include "Form3.h"
#include "fakeplatform.h"
#include "helppages.h"
#include "programstate.h"
#include "textfile.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <functional>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

using Step = std::function<void(Form3 &)>;

// The keyboard trainer: the .txt format and path rules on their own, then the
// exercise window driven through QTest with scripted message-box answers:
// start-up, the help page ring, the editing area, the File menu, its three
// questions and the file dialogue.
class TestForm1 : public QObject
{
    Q_OBJECT

private:
    FakePlatform platform;
    QTemporaryDir *dir = nullptr;
    Form1 *window = nullptr;
    QPlainTextEdit *htext = nullptr;
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
    QString label1() { return label("Label1")->text(); }
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
            QTimer::singleShot(0, this, &TestForm1::runStep);
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
            QTimer::singleShot(0, this, &TestForm1::runStep);
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
    QLabel *label(const char *name) { return window->findChild<QLabel *>(QLatin1String(name)); }
    QColor helpColour() { return label("AiuT")->palette().color(QPalette::WindowText); }
    int caret() { return window->insertionOffset(); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(htext, Qt::Key(key), modifiers);
    }
    // Types `script` into the editing area: characters as the keyboard layout
    // gives them, accented ones included; "{Key}" for a named key and
    // "{+Key}" for it with Shift.
    void play(const QString &script)
    {
        static const QHash<QString, Qt::Key> keys { { "Up", Qt::Key_Up }, { "Down", Qt::Key_Down },
            { "Right", Qt::Key_Right }, { "Home", Qt::Key_Home }, { "End", Qt::Key_End },
            { "Delete", Qt::Key_Delete }, { "Backspace", Qt::Key_Backspace }, { "Insert", Qt::Key_Insert },
            { "Return", Qt::Key_Return }, { "Tab", Qt::Key_Tab }, { "Backtab", Qt::Key_Backtab } };
        for (int i = 0; i < script.size(); ++i) {
            if (script[i] != u'{') {
                QTest::sendKeyEvent(QTest::Click, htext, Qt::Key_unknown, QString(script[i]), Qt::NoModifier);
                continue;
            }
            const int end = int(script.indexOf(u'}', i));
            QString name = script.mid(i + 1, end - i - 1);
            const bool shift = name.startsWith(u'+');
            QVERIFY2(keys.contains(name.remove(u'+')), qPrintable(name));
            press(keys.value(name), shift ? Qt::ShiftModifier : Qt::NoModifier);
            i = end;
        }
    }
    // Checks that the help column shows state `stato`.
    void checkPage(qint16 stato)
    {
        QCOMPARE(window->state().Stato, stato);
        QCOMPARE(label("Label2")->text(), QString::number((stato + 1) % 15));
        QCOMPARE(label("AiuT")->text(), TextFile::toLf(HelpPages::text(stato)));
        QLabel *picture = label("AiuI");
        if (stato == HelpPages::Introduction) {
            QVERIFY(!picture->isVisible() || picture->pixmap().isNull()); // no picture shows
            QCOMPARE(helpColour(), QColor(255, 0, 255));
        } else {
            QVERIFY(picture->isVisible());
            QCOMPARE(picture->size(), HelpPages::pictureSize(stato));
            QCOMPARE(picture->pixmap().size(), HelpPages::pictureSize(stato));
            QCOMPARE(helpColour(), QApplication::palette().color(QPalette::ButtonText));
        }
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
        htext = window->findChild<QPlainTextEdit *>(QStringLiteral("Htext"));
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanup()
    {
        QVERIFY(!dialogueLeftOpen);
        QVERIFY(dialogues.isEmpty());
        delete window;
        delete dir;
    }

    void paths_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("root") << "/" << "/lettera.txt";
        QTest::newRow("folder") << "/home/anna" << "/home/anna/lettera.txt";
        QTest::newRow("folder ending in separator") << "/home/anna/" << "/home/anna/lettera.txt";
    }
    void paths()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(TextFile::joinPath(folder, QStringLiteral("lettera.txt")), path);
        QCOMPARE(TextFile::fileName(path), QStringLiteral("lettera.txt"));
    }

    void everyByteIsOneCharacter()
    {
        QByteArray all;
        for (int byte = 0; byte < 256; ++byte)
            all.append(char(byte));
        const QString text = TextFile::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0xE8), QChar(u'è'));
        QCOMPARE(text.at(0x80), QChar(u'€'));
        QCOMPARE(TextFile::encode(text).value_or(QByteArray()), all);
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::newRow("Italian letters, special keys") << QStringLiteral("più perché ° # € @ §") << true;
        QTest::newRow("Polish l") << QStringLiteral("Łódź") << false;
        QTest::newRow("arrow") << QStringLiteral("a → b") << false;
        QTest::newRow("emoji") << QStringLiteral("ciao 😀") << false;
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QCOMPARE(TextFile::encode(text).has_value(), fits);
        QCOMPARE(TextFile::unencodable(text).isEmpty(), fits);
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("crLf");
        QTest::newRow("LF") << "a\nb\n" << "a\r\nb\r\n";
        QTest::newRow("CR LF") << "a\r\nb" << "a\r\nb";
        QTest::newRow("lone CR") << "a\rb" << "a\r\nb";
        QTest::newRow("CR before CR LF") << "a\r\r\nb" << "a\r\n\r\nb";
        QTest::newRow("LF CR") << "a\n\rb" << "a\r\n\r\nb";
        QTest::newRow("empty lines") << "\n\n" << "\r\n\r\n";
    }
    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, crLf);
        QCOMPARE(TextFile::toCrLf(text), crLf);
        QCOMPARE(TextFile::toCrLf(TextFile::toLf(text)), crLf);
    }

    void offsetsCountBothBreakCharacters()
    {
        const QString lf = TextFile::toLf(sampleLetter());
        // In the letter the fourth line starts after three line breaks.
        QCOMPARE(TextFile::lfPosition(lf, SampleLetterCaret), 40);
        QCOMPARE(TextFile::crLfOffset(lf, 40), SampleLetterCaret);
        for (int position = 0; position <= lf.size(); ++position)
            QCOMPARE(TextFile::lfPosition(lf, TextFile::crLfOffset(lf, position)), position);
    }

    // The dialogue tests check that such failures reach the user; here the
    // old file must come through whole and no stray file may be left.
    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("character outside the code page") << "lettera.txt" << "Łódź" << "Ł";
        QTest::newRow("folder that does not exist") << "manca/lettera.txt" << "ciao" << "non si può scrivere";
        QTest::newRow("name too long") << QString(300, QLatin1Char('x')) << "ciao" << "non si può scrivere";
    }
    void failedWriteKeepsTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        const QString old = path(QStringLiteral("lettera.txt"));
        QVERIFY(TextFile::write(old, QStringLiteral("vecchio")).isNull());

        QVERIFY(TextFile::write(path(name), text).contains(reason));
        QCOMPARE(bytesOf(old), QByteArray("vecchio\r\n"));
        QCOMPARE(files(), QStringList { QStringLiteral("lettera.txt") });
    }

    void startUp()
    {
        const QString letter = window->editorText();
        QCOMPARE(letter.size(), 267);
        QVERIFY(letter.startsWith(QStringLiteral("Pratomane 26/01/2009\r\n\r\n\r\nQuesto è il mio p")));
        QVERIFY(letter.endsWith(QString(37, QLatin1Char(' ')) + QStringLiteral("Tobiolo")));
        QCOMPARE(caret(), 43);
        QCOMPARE(letter.mid(caret() - 1, 2), QStringLiteral("pr"));
        QVERIFY(!htext->textCursor().hasSelection());
        QCOMPARE(QApplication::focusWidget(), htext);
        QVERIFY(!window->isModified());
        QCOMPARE(window->pos(), QPoint(px(400), px(400)));
        QVERIFY(window->windowTitle().startsWith(QStringLiteral(" ALLENAMENTO  SULLA  TASTIERA  ")));
        QCOMPARE(htext->tabStopDistance(), 1.25 / 2.54 * htext->logicalDpiX()); // a tab stop every 1.25 cm
        // The help column opens on the magenta introduction at the top.
        checkPage(HelpPages::Introduction);
        QCOMPARE(label("Label2")->text() + label("Label3")->text(), QStringLiteral("0/14"));
        QCOMPARE(label("AiuT")->y(), px(960));
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("menuFileSave"))->isEnabled());
    }

    void closingAtSessionEndAsksNothing()
    {
        press(Qt::Key_X);
        window->setSessionEnding(true);
        QVERIFY(window->close());
        QVERIFY(platform.shown.isEmpty());
    }

    // Page Down and Page Up turn the page whatever the shift state.
    void pageRing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("step");
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << Qt::KeyboardModifiers() << 1;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << Qt::KeyboardModifiers() << -1;
        QTest::newRow("Shift Page Down") << int(Qt::Key_PageDown) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1;
        QTest::newRow("Ctrl Page Up") << int(Qt::Key_PageUp) << Qt::KeyboardModifiers(Qt::ControlModifier) << -1;
        QTest::newRow("Alt Page Down") << int(Qt::Key_PageDown) << Qt::KeyboardModifiers(Qt::AltModifier) << 1;
        QTest::newRow("Ctrl Shift Page Up")
            << int(Qt::Key_PageUp) << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier) << -1;
    }
    void pageRing()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, step);
        // Once round the fourteen pages and the introduction, and one more.
        for (int stato = HelpPages::Introduction, i = 0; i <= 15; ++i) {
            press(key, modifiers);
            stato = (stato + step + 15) % 15;
            checkPage(qint16(stato));
        }
        QCOMPARE(window->editorText(), sampleLetter());
    }

    void helpTextFollowsThePicture()
    {
        const auto top = [](int pictureHeight) { return px(120 + pictureHeight * 15 + 100); };
        for (int i = 0; i < 4; ++i)
            press(Qt::Key_PageDown);
        QCOMPARE(label("AiuI")->height(), 101);
        QCOMPARE(label("AiuT")->y(), top(101));
        press(Qt::Key_PageDown);
        QCOMPARE(label("AiuT")->y(), top(46));
        QCOMPARE(label("AiuT")->x(), px(120));
        // Back at the introduction the hidden picture keeps its size and place.
        for (int i = 0; i < 10; ++i)
            press(Qt::Key_PageDown);
        checkPage(HelpPages::Introduction);
        QCOMPARE(label("AiuT")->y(), top(46));
        QCOMPARE(label("AiuT")->size(), QSize(px(1890), px(4935)));
    }

    void pageKeysAlsoMoveTheInsertionPoint()
    {
        press(Qt::Key_PageDown);
        // The whole letter fits in the area: a page down reaches its last line.
        QVERIFY(caret() > 267 - 44);
        const int lastLine = caret();
        // The editing area cannot go further down; the page turns all the same.
        press(Qt::Key_PageDown);
        QCOMPARE(caret(), lastLine);
        checkPage(1);
        press(Qt::Key_PageUp, Qt::ShiftModifier);
        QVERIFY(htext->textCursor().hasSelection());
        checkPage(0);
    }

    // Every key but the page keys leaves the help page alone; closing asks
    // only when the text differs from the one the program put there.
    void editingKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("modified");
        const QString line4 = QStringLiteral("Questo è il mio primo lavoro al computer e");
        const QString line5 = QStringLiteral("sono molto contento di imparare ad usarlo.");
        QTest::newRow("typing inserts") << "xy" << "Questo è il mio pxyrimo" << 45 << true;
        QTest::newRow("Insert never overwrites") << "{Insert}x" << "mio pxrimo" << 44 << true;
        QTest::newRow("Tab inserts a tab and keeps the focus") << "{Tab}" << "mio p\trimo" << 44 << true;
        QTest::newRow("Shift Tab keeps the focus") << "{+Backtab}" << line4 << 43 << false;
        QTest::newRow("Enter splits the line") << "{Return}" << "mio p\r\nrimo" << 45 << true;
        QTest::newRow("Delete at the end joins") << "{End}{Delete}" << line4 + line5 << 26 + 42 << true;
        QTest::newRow("Backspace at the start joins") << "{Down}{Home}{Backspace}" << line4 + line5 << 68 << true;
        QTest::newRow("Backspace removes the left character") << "{Backspace}" << "mio rimo" << 42 << true;
        QTest::newRow("Right passes the line break") << "{End}{Right}" << line4 + "\r\n" + line5 << 70 << false;
        QTest::newRow("Up to a shorter line goes to its end") << "{Up}" << line4 << 24 << false;
        QTest::newRow("a typed character replaces the selection") << "{+Right}{+Right}Z" << "mio pZmo" << 44 << true;
        QTest::newRow("typing and deleting is no change")
            << "abc{Backspace}{Backspace}{Backspace}" << line4 << 43 << false;
    }
    void editingKeys()
    {
        QFETCH(QString, keys);
        QFETCH(QString, line);
        QFETCH(int, offset);
        QFETCH(bool, modified);
        play(keys);
        QVERIFY2(window->editorText().contains(line), qPrintable(window->editorText()));
        QCOMPARE(caret(), offset);
        QCOMPARE(window->isModified(), modified);
        QCOMPARE(QApplication::focusWidget(), htext);
        checkPage(HelpPages::Introduction);
        QVERIFY(window->close()); // answering No
        QCOMPARE(platform.shown.size(), modified ? 1 : 0);
    }

    void mouseSelectsAndAClickClearsTheSelection()
    {
        QWidget *area = htext->viewport();
        QCOMPARE(area->cursor().shape(), Qt::IBeamCursor);
        const QRect first = htext->cursorRect(QTextCursor(htext->document()->findBlockByNumber(3)));
        QTest::mousePress(area, Qt::LeftButton, {}, first.center() + QPoint(1, 0));
        QTest::mouseMove(area, first.center() + QPoint(60, 0));
        QTest::mouseRelease(area, Qt::LeftButton, {}, first.center() + QPoint(60, 0));
        QVERIFY(htext->textCursor().hasSelection());
        QCOMPARE(htext->textCursor().selectionStart(), 26 - 3);
        QTest::mouseClick(area, Qt::LeftButton, {}, first.center() + QPoint(20, 0));
        QVERIFY(!htext->textCursor().hasSelection());
    }

    void longLinesWrapWithoutHorizontalScrolling()
    {
        window->setEditorText(QString(40, QLatin1Char(' ')).replace(QLatin1Char(' '), QStringLiteral("parola ")));
        QCoreApplication::processEvents();
        QCOMPARE(htext->horizontalScrollBar()->maximum(), 0);
        QVERIFY(htext->document()->firstBlock().layout()->lineCount() > 1);
        QVERIFY(htext->verticalScrollBar()->isVisible());
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
        QVERIFY(platform.shown.isEmpty());
    }

    void saveAndReopenAddsOneLineBreak()
    {
        play(QStringLiteral("più "));
        const QString text = window->editorText() + QStringLiteral("\r\n");
        saveAs(QStringLiteral("lettera"));
        QVERIFY(!window->isModified());
        const QByteArray bytes = bytesOf(path(QStringLiteral("lettera.txt")));
        QVERIFY(bytes.startsWith("Pratomane 26/01/2009\r\n\r\n\r\nQuesto \xE8 il mio ppi\xF9 rimo"));
        QVERIFY(bytes.endsWith("Tobiolo\r\n"));

        // The text is unchanged since the save: "Apri" asks nothing.
        expectDialogue({ chooseFile(QStringLiteral("lettera.txt")),
            [](Form3 &d) { QCOMPARE(d.focusWidget(), d.findChild<QPushButton *>(QStringLiteral("Command1"))); },
            ok() });
        trigger(QStringLiteral("menuFileOpen"));
        QCOMPARE(seen.title, QStringLiteral("   APRI UN FILE"));
        QCOMPARE(seen.name, QStringLiteral("lettera.txt"));
        QVERIFY(!seen.nameEditable);
        QCOMPARE(window->editorText(), text);
        QVERIFY(!window->isModified());
        QCOMPARE(label1(), path(QStringLiteral("lettera.txt")));
        QCOMPARE(state().CartellaCorrente, dir->path());
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
        QCOMPARE(htext->blockCount(), lines);
        QVERIFY(!window->isModified());
    }

    // The dialogue's lists: the .txt files whatever the case of the
    // extension, the folders down to the current one, and the drives, where
    // one that is not there is reported and the folder stays.
    void dialogueLists()
    {
        for (const char *name : { "a.txt", "B.TXT", "c.Txt", "d.doc", "txt" })
            writeBytes(path(QLatin1String(name)), "x");
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("sotto/cartella")));
        writeBytes(path(QStringLiteral("sotto/e.txt")), "x");
        platform.roots = QStringList { QStringLiteral("/"), dir->path(), path(QStringLiteral("disco-assente")) };
        QStringList names[2], folders;
        QString drive, folderAfterRoot;
        const auto list = [](QListWidget *widget, QStringList &into) {
            for (int i = 0; i < widget->count(); ++i)
                into << widget->item(i)->text().trimmed();
        };
        expectDialogue({ [&](Form3 &d) {
                            auto *file1 = d.findChild<QListWidget *>(QStringLiteral("File1"));
                            auto *dir1 = d.findChild<QListWidget *>(QStringLiteral("Dir1"));
                            auto *drive1 = d.findChild<QComboBox *>(QStringLiteral("Drive1"));
                            drive = drive1->currentText();
                            list(file1, names[0]);
                            list(dir1, folders);
                            const auto sub = dir1->findItems(QStringLiteral("sotto"), Qt::MatchEndsWith);
                            QCOMPARE(sub.size(), 1);
                            emit dir1->itemActivated(sub.first());
                            list(file1, names[1]);
                            QCOMPARE(d.folder(), path(QStringLiteral("sotto")));
                            QTest::keyClick(file1, Qt::Key_PageDown); // the page keys belong to the editing area
                            drive1->setCurrentIndex(0);
                            emit drive1->activated(0);
                            folderAfterRoot = d.folder();
                            drive1->setCurrentIndex(2);
                            emit drive1->activated(2);
                            QCOMPARE(d.folder(), QStringLiteral("/"));
                        },
            cancel() });
        trigger(QStringLiteral("menuFileOpen"));
        QCOMPARE(state().Stato, qint16(14));
        QCOMPARE(names[0], (QStringList { "a.txt", "B.TXT", "c.Txt" }));
        QCOMPARE(names[1], QStringList { "e.txt" });
        QCOMPARE(folders.first(), QStringLiteral("/"));
        QCOMPARE(folders.last(), QStringLiteral("sotto"));
        // The drive of the current folder is the longest root that holds it.
        QCOMPARE(drive, dir->path());
        QCOMPARE(folderAfterRoot, QStringLiteral("/"));
        QCOMPARE(platform.shown.size(), 1);
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
        play(QStringLiteral("x"));
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
        play(QStringLiteral("nuovo testo"));
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
        play(QStringLiteral("altro"));
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
        play(QStringLiteral("A"));
        expectDialogue({ cancel() });
        trigger(QStringLiteral("menuFileSaveAs"));
        QVERIFY(saveEnabled());
        QVERIFY(state().NomeFileCorrente.isEmpty());
        expectDialogue({ typeName(QStringLiteral("lettera")), ok() });
        trigger(QStringLiteral("menuFileSave"));
        QCOMPARE(dialoguesSeen, 2);
        play(QStringLiteral("B"));
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
        play(area);
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
        play(QStringLiteral("x"));
        trigger(QStringLiteral("menuFileSave"));
        QCOMPARE(platform.shown.size(), 1);
        QVERIFY(platform.shown.first().text.contains(QStringLiteral("non si può scrivere")));
        QVERIFY(window->isModified());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
