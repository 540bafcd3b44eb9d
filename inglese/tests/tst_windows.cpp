// The windows driven as the user drives them, by their controls' names, on a
// temporary data folder, and the desktop services of the real platform layer.
#include "EnglishDrillWindow.h"
#include "ExchangeWindow.h"
#include "HelpWindow.h"
#include "ItalianDrillWindow.h"
#include "MainWindow.h"
#include "OptionsWindow.h"
#include "PictureButton.h"
#include "ResultsWindow.h"
#include "ReviewLimitsWindow.h"
#include "SplashWindow.h"
#include "boxes.h"
#include "fixture.h"
#include "helptext.h"
#include "mainrules.h"
#include "qtplatform.h"
#include "qtspeech.h"
#include "session.h"
#include "sessionlog.h"
#include "userfiles.h"
#include "vocabularyfile.h"

#include <QChartView>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextBlock>

#include <span>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

using Speech = Platform::Speech;

namespace {
QString line(const char *lesson, const char *mark, const char *english, const QString &italian)
{
    return wordLine(lesson, mark, english, italian.leftJustified(50)) + "\r\n";
}
const QString Sample = "## sample vocabulary\r\n" + line("12", "c", "house", "casa (abitazione, dimora)")
    + line(" 3", "", "light", "luce") + "## lesson 3\r\n" + line(" 3", "", "light", "leggero") + "\r\n"
    + line(" 0", "", "yes", "sì");

// A data folder holding `vocabulary` as inglese.txt, and the main window over it.
struct Desk
{
    QTemporaryDir dir;
    FakePlatform platform;
    Session session;
    std::unique_ptr<MainWindow> form;

    explicit Desk(const QString &vocabulary = Sample)
    {
        platform.folder = dir.path() + u'/'; // as a folder given with its slash
        if (!vocabulary.isNull())
            writeBytes(path("inglese.txt"), Vocabulary::encode(vocabulary));
        writeBytes(path("aiutoV5.txt"), "Istruzioni\r\n  - premi F2\r\n");
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    bool start()
    {
        form = std::make_unique<MainWindow>(session, platform);
        return form->Form_Load();
    }
    QPlainTextEdit *list() const { return control<QPlainTextEdit>(form.get(), "ListaVoci"); }
};

const QString Mine = "## mine\r\n 1   cat\r\n 1   dog\r\n 2   house\r\n";
const QByteArray Log = "20/11/2026 23:30:00 00:45:00    14/970/2        TUTTE\r\ncut 09:00\r\n\x93\r\n"
                       "28/11/2026 09:00:00 09:30:00    30/1040/1        1 3\r\n"
                       "04/12/2026 17:10:02 17:31:45    22/1010/0        3\r\n";

// Steps on the controls under `root`, blank-separated: "Name:Key" focuses the control (no name: the window)
// and presses the key, "Name+text" types, "Name!" clicks it or triggers the menu entry, "Timer*N" ticks it;
// "Name.property" adds that property's value (color: of the text) to what is seen.
QString run(QWidget *root, const QString &steps)
{
    QStringList seen;
    for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
        const qsizetype at = step.indexOf(QRegularExpression("[.:*+!]"));
        const QString name = step.left(at), arg = step.mid(at + 1);
        QObject *c = name.isEmpty() ? root : control<QObject>(root, name);
        auto *widget = qobject_cast<QWidget *>(c);
        if (step[at] == '.')
            seen << step + '='
                    + (arg == "color" ? widget->palette().color(QPalette::Text).name()
                                      : c->property(arg.toLatin1()).toString());
        else if (step[at] == ':')
            widget->setFocus(), QTest::keySequence(widget, QKeySequence(arg));
        else if (step[at] == '*')
            tick(root, name, arg.toInt());
        else if (step[at] == '!') // with the mouse, on a box's square too
            widget ? QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, 6)) : press(root, name);
        else
            QTest::keyClicks(widget, arg);
    }
    return seen.join(", ");
}
} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<Desk> m_desk; // for the tests of a user's words at risk

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_desk = std::make_unique<Desk>(Mine); }

    // Three seconds after the splash shows it reads the vocabulary, its status line showing, and hands
    // over to the main window or ends after the start-up message. (Where each stands: see the looks.)
    void startUp_data()
    {
        // vocabulary: null: no file (a file refused as it is read: see userFiles)
        // message: its first line; empty: none
        columns<QString, QString>("vocabulary", "message");
        const QString missing = "File INGLESE.TXT non trovato ... Riprova";
        row("sample", Sample, "");
        row("malformed line: message, then start", "1   a (b\r\n2   dog\r\n",
            "La Riga numero 1 usa male le parentesi");
        row("no file", QString(), missing);
        row("lesson 25 after a good line", "1   a\r\n25  c\r\n", missing);
        row("more words than the table takes", QString(" 1   w\r\n").repeated(WordTable::MaxRows + 1),
            MainRules::tooManyWordsText());
    }
    void startUp()
    {
        QFETCH(QString, vocabulary);
        QFETCH(QString, message);
        Desk desk(vocabulary);
        SplashWindow splash(desk.session, desk.platform);
        splash.show();
        QLabel *status = control<QLabel>(&splash, "Progresso");
        QString seen;
        desk.platform.whileShown
            = [&] { seen += desk.platform.shown.last().text.section("\r\n", 0, 0) + " / " + status->text(); };
        QSignalSpy failed(&splash, &SplashWindow::startupFailed);
        tick(&splash, "Timer1"); // three seconds later
        QCOMPARE(seen, message.isEmpty() ? "" : message + " / Attendere ancora pochi secondi ...");
        const bool starts = message.isEmpty() || message.startsWith("La");
        QCOMPARE(failed.size(), !starts);
        QVERIFY(!control<QTimer>(&splash, "Timer1")->isActive()); // read once, a failure told once
        QCOMPARE(status->accessibleDescription(), status->text()); // what a screen reader says
        std::unique_ptr<MainWindow> main(splash.mainWindow());
        QCOMPARE(splash.isVisible() + 2 * (main && main->isVisible()), starts ? 2 : 1);
        if (main) // every word line stays in the list, a malformed one too, for the user to mend
            QCOMPARE(control<QPlainTextEdit>(main.get(), "ListaVoci")->toPlainText(),
                Vocabulary::splitFileText(vocabulary).wordText.replace("\r\n", "\n"));
    }

    // An edit session. Steps: menuModifica ("Aggiorna Vocaboli"), menuSalva ("Salva Aggiornamenti"), gone
    // (the data folder moved away); Command3, menuFine and close end the program; "?" and Y, N or C answer a
    // step's question; "Tab L C" and "Return L C" press the key with the caret on line L, column C, until
    // TimTab ticks: then the caret's line and column and the lines of the list; "Name!" and "Name:Key" as
    // run() reads them (after Ctrl+ keys: the control with the focus); other text is typed at the end of the
    // list (¶: Shift+Enter). After
    // each step: E editing or L locked, = the file holds the list or * not (then and only then "Salva" is
    // enabled), the first line of each message shown; "end" once the program ended.
    void editSession_data()
    {
        columns<QString, QString>("steps", "states");
        const QString edit = "menuModifica!|" + wordLine("5", "x", "tree", "albero €"),
                      ask = " Salvare gli aggiornamenti?",
                      brackets = " La Riga numero 5 usa male le parentesi";
        row("saved, edited and saved again, FINE",
            edit + "¶ 6   oak|menuSalva!| 7   elm|menuSalva!|menuModifica!|Command3!",
            "E=|E*|E=|E*|E=|L=|end");
        row("undone back to the file", edit + "|ListaVoci:Ctrl+Z|menuModifica!", "E=|E*|E= ListaVoci|L=");
        row("locked with edits: No, then Fine: No", edit + "|menuModifica!?N|menuFine!?N",
            "E=|E*|L*" + ask + "|end" + ask);
        row("Annulla keeps the edit mode, or the window", edit + "|menuModifica!?C|close?C",
            "E=|E*|E*" + ask + "|E*" + ask);
        row("locked with edits: Sì saves", edit + "|menuModifica!?Y", "E=|E*|L=" + ask);
        row("a line the start-up leaves out is refused, by Sì too",
            "menuModifica!| 2   smile :)|menuSalva!|menuModifica!?Y|Command3!?Y|Command3!?N",
            "E=|E*|E*" + brackets + "|E*" + ask + brackets + "|E*" + ask + brackets + "|end" + ask);
        row("data folder gone: neither file nor log", edit + "|gone|menuSalva!|close?N",
            "E=|E*|E*|E* Non riesco a scrivere il file|end" + ask
                + " Non riesco a scrivere nel registro delle prove");
        row("data folder gone: Sì on closing keeps the window", edit + "|gone|close?Y",
            "E=|E*|E*|E*" + ask + " Non riesco a scrivere il file");
        row("nothing typed: no question", "menuModifica!|Command3!", "E=|end");
        // Tab goes to the next field (English at 6, Italian at 56, back to 2; past the end of a short line,
        // to its end) and Enter starts a line of 56 blanks; in a locked list neither does anything.
        row("Tab and Enter",
            "menuModifica!| 7   cat|Tab 4 8|Tab 0 1|Tab 0 8|Tab 0 59|Return 1 "
            "106|ListaVoci:Ctrl+Tab|ListaVoci:Ctrl+Shift+Tab",
            "E=|E*|E* 4:9 of 5|E* 0:6 of 5|E* 0:56 of 5|E* 0:2 of 5|E* 2:1 of 6|E* Command1|E* Command3");
        row("Tab and Enter, locked", "Tab 1 3|Return 1 3", "L= 1:3 of 5|L= 1:3 of 5");
    }
    void editSession()
    {
        Desk desk;
        QVERIFY(desk.start());
        desk.form->show();
        QSignalSpy ended(desk.form.get(), &MainWindow::programEnded);
        const QString moved = desk.dir.path() + "-moved";
        QString states;
        for (const QString &step : fetched<QString>("steps").split('|')) {
            const QString what = step.section('?', 0, 0);
            const QStringList at = what.split(' ');
            const bool key = at[0] == "Tab" || at[0] == "Return";
            const qsizetype shown = desk.platform.shown.size();
            if (what != step)
                desk.platform.answers << Platform::Answer(QString("OCYN").indexOf(step.back()));
            if (what.contains(QRegularExpression("^\\w+[!:]")))
                run(desk.form.get(), what);
            else if (what == "close")
                desk.form->close();
            else if (what == "gone")
                QVERIFY(QDir().rename(desk.dir.path(), moved));
            else if (key) {
                QTextCursor caret(desk.list()->document()->findBlockByNumber(at[1].toInt()));
                caret.setPosition(caret.position() + at[2].toInt() - 1);
                desk.list()->setTextCursor(caret);
                QTest::keySequence(desk.list(), QKeySequence(at[0]));
                tick(desk.form.get(), "TimTab");
                QVERIFY(!control<QTimer>(desk.form.get(), "TimTab")->isActive()); // once only
            } else {
                desk.list()->moveCursor(QTextCursor::End);
                desk.list()->insertPlainText(step.split("¶").join("\u2028"));
            }
            const Vocabulary::FileText file
                = Vocabulary::splitFileText(Vocabulary::decode(readBytes(desk.path("inglese.txt"))));
            const bool same = file.comments + file.wordText
                == desk.form->comments() + Vocabulary::splitFileText(desk.form->wordListText()).wordText;
            QCOMPARE(control<QAction>(desk.form.get(), "menuSalva")->isEnabled(), !same);
            QCOMPARE(desk.form->isVisible(), ended.isEmpty()); // a close let through closes
            states += ended.isEmpty()
                ? QString("|") + (desk.form->editMode() ? "E" : "L") + (same ? "=" : "*")
                : "|end";
            for (qsizetype i = shown; i < desk.platform.shown.size(); ++i)
                states += ' ' + desk.platform.shown[i].text.section("\r\n", 0, 0);
            const QTextCursor caret = desk.list()->textCursor();
            if (what.contains(":Ctrl"))
                states += ' ' + desk.form->focusWidget()->objectName();
            else if (key) // no tab in the text, which would move the columns
                states += QString(" %1:%2 of %3")
                              .arg(caret.blockNumber())
                              .arg(caret.positionInBlock() + 1)
                              .arg(desk.list()->blockCount());
            QVERIFY(!desk.list()->toPlainText().contains('\t')
                && (at[0] != "Return" || !desk.form->editMode() || caret.block().text() == QString(56, ' ')));
        }
        QCOMPARE(states.mid(1), fetched<QString>("states"));
        // Every way out writes the log line (in a log its owner can read), or says why it cannot.
        const bool logged = !QDir().rename(moved, desk.dir.path()) && !ended.isEmpty();
        QCOMPARE(readBytes(desk.path("inglelog")).count('\n'), logged);
        QCOMPARE(QFile::permissions(desk.path("inglelog")).testFlag(QFile::ReadOwner), logged);
    }

    // Options over lessons 0..5 and 20, the steps as run() reads them; each way out applies once, even when
    // its message ("Selezione vuota ... Ripristino Avanti") lets a second close or a switch of window
    // through; Cancel to the message keeps the window. Seen: Daccapo, the word asked next, the boxes ticked;
    // the messages, the order; once closed the words selected, the next of them, and the lessons the log
    // writes.
    void options_data()
    {
        // chosen: lessons chosen before; out: "close", "switch" (to another window) or steps (?: the message
        // is answered Annulla)
        columns<QString, QString, QString, QString>("chosen", "steps", "out", "seen");
        row("opens on the lessons chosen", "3 20", "", "Command1!",
            "Command2.enabled=true, next 4, ticked 3 20 / messages 0, order 2, words 0 1 2 3 4 5 6 7 8, next "
            "3, logged 3 20");
        row("ticking N.4 unticks Tutte", "", "Ckles4!", "Command1!",
            "Command2.enabled=false, next 0, ticked 4 / messages 0, order 2, words 4, next 0, logged 4");
        row("unticking the last lesson ticks Tutte", "", "Ckles4! Ckles4!", "Command1!",
            "Command2.enabled=false, next 0, ticked 0 / messages 0, order 2, words 0 1 2 3 4 5 6 7 8, next "
            "0, logged");
        row("unticking one of two keeps the other", "", "Ckles4! Ckles5! Ckles4!", "Command1!",
            "Command2.enabled=false, next 0, ticked 5 / messages 0, order 2, words 5 8, next 0, logged 5");
        row("Tutte unticks every lesson", "1 20", "Ckles0!", "Command1!",
            "Command2.enabled=false, next 0, ticked 0 / messages 0, order 2, words 0 1 2 3 4 5 6 7 8, next "
            "0, logged");
        row("no box ticked: nothing to ask", "", "Ckles0!", "Command1!",
            "Command2.enabled=false, next 0, ticked / messages 1, order 2, words, next 0, logged");
        row("a lesson after Tutte unticked", "", "Ckles0! Ckles2!", "Command1!",
            "Command2.enabled=false, next 0, ticked 2 / messages 0, order 2, words 1, next 0, logged 2");
        row("keyboard counts like the mouse", "", "Ckles4:Space Ckles20:Space Ckles4:Space Ckles20!",
            "Command1!",
            "Command2.enabled=false, next 0, ticked 0 / messages 0, order 2, words 0 1 2 3 4 5 6 7 8, next "
            "0, logged");
        row("lessons without words cannot be ticked", "", "Ckles9! Ckles9:Space", "Command1!",
            "Command2.enabled=true, next 4, ticked 0 / messages 0, order 2, words 0 1 2 3 4 5 6 7 8, next 3, "
            "logged");
        row("backward over lesson 3", "", "Option3! Ckles3!", "Command1!",
            "Command2.enabled=false, next 0, ticked 3 / messages 0, order 3, words 3 7, next 3, logged 3");
        row("an order alone", "", "Option1!", "Command1!",
            "Command2.enabled=false, next 0, ticked 0 / messages 0, order 1, words 0 1 2 3 4 5 6 7 8, next "
            "3, logged");
        row("critical words of lesson 3", "", "Option4! Ckles3!", "Command1!",
            "Command2.enabled=false, next 0, ticked 3 / messages 0, order 4, words 3, next 0, logged 3");
        row("no critical word: OK falls back to forward", "", "Option4! Ckles5!", "Command1!",
            "Command2.enabled=false, next 0, ticked 5 / messages 1, order 2, words 5 8, next 0, logged 5");
        row("no critical word: close control", "", "Option4! Ckles5!", "close",
            "Command2.enabled=false, next 0, ticked 5 / messages 1, order 2, words 5 8, next 0, logged 5");
        row("no critical word: Escape", "", "Option4! Ckles5!", ":Escape",
            "Command2.enabled=false, next 0, ticked 5 / messages 1, order 2, words 5 8, next 0, logged 5");
        row("no critical word: another window", "", "Option4! Ckles5!", "switch",
            "Command2.enabled=false, next 0, ticked 5 / messages 1, order 2, words 5 8, next 0, logged 5");
        row("no critical word: Cancel keeps the window", "", "Option4! Ckles5!", "Command1!? Command1!?",
            "Command2.enabled=false, next 0, ticked 5 / messages 2, order 4");
        row("Daccapo keeps the window", "", "Command2!", "",
            "Command2.enabled=false, next 0, ticked 0 / messages 0, order 2");
        row("Daccapo, then OK, asks from the first word", "", "Command2!", "Command1!",
            "Command2.enabled=false, next 0, ticked 0 / messages 0, order 2, words 0 1 2 3 4 5 6 7 8, next "
            "0, logged");
    }
    void options()
    {
        const QString out = fetched<QString>("out");
        Session s;
        FakePlatform p;
        for (const char16_t *lesson : { u"01", u"02", u"00", u"03", u"04", u"05", u"20", u"03", u"05" })
            s.words.append(lesson, u"en", u"it");
        s.memoc.add(3); // lesson 3, the last word
        QVERIFY(MainRules::fillLessonState(s)); // as at start-up
        s.lessonState[0] = LessonState::NoWords;
        for (int lesson : numbers("chosen"))
            s.lessonState[std::size_t(lesson)] = LessonState::Chosen;
        s.doneCount = 3;
        s.selection.pendingWord = 4;
        s.selection.selectionPos = 3; // asked up to the third word
        QWidget other;
        other.show();
        OptionsWindow w(s, p);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Every change of choice starts the order afresh: then "Daccapo" has nothing to start again.
        QString seen = run(&w, fetched<QString>("steps") + " Command2.enabled");
        seen += ", next " + QString::number(s.selection.pendingWord) + ", ticked";
        for (int i = 0; i <= MaxLesson; ++i) // which boxes can be ticked: see the look of the options
            if (control<QCheckBox>(&w, "Ckles" + QString::number(i))->isChecked())
                seen += ' ' + QString::number(i);
        if (out.contains('?'))
            p.answers << Platform::Answer::Cancel << Platform::Answer::Cancel;
        else
            p.whileShown = [&] {
                w.close();
                other.activateWindow();
                QCoreApplication::processEvents();
            };
        if (out == "close")
            w.close();
        else if (out == "switch")
            other.activateWindow();
        else
            run(&w, out);
        QCoreApplication::processEvents();
        seen += QString(" / messages %1, order %2").arg(p.shown.size()).arg(int(s.selection.orderMode));
        if (w.isHidden()) {
            seen += ", words";
            for (int word : s.selection.selection.mid(1, s.selection.selectionCount))
                seen += ' ' + QString::number(word);
            seen += ", next " + QString::number(s.selection.selectionPos) + ", logged";
            for (int i = 1; i <= MaxLesson; ++i) // the lessons the exit log writes
                if (s.lessonState[std::size_t(i)] == LessonState::Chosen)
                    seen += ' ' + QString::number(i);
        }
        QCOMPARE(seen, fetched<QString>("seen"));
    }

    // At the main window each way into a drill opens it in the main window's place, and "Ritorno" comes back.
    // Then "Ingl -> Ital": an alternative followed, a wrong letter corrected, heard and seen; a slow question
    // with help, penalties and critical mark, "Allora?" six seconds later, a quick answer that leaves no
    // mark; back, the lesson column shows the mark. The menus' windows open over the main window; FINE logs
    // the run.
    void drillAtTheKeyboard()
    {
        Desk desk(line("12", "", "house", "casa (abitazione, dimora)") + line("12", "", "light", "luce")
            + line("12", "", "light", "leggero") + line("12", "", "to walk", "camminare")); // asked forward
        QVERIFY(desk.start());
        desk.form->show();
        desk.session.points = 987;
        QPointer<DrillWindow> drill;
        QString forms;
        for (const QString way : { "Command2", "menuIngIta", "menuItaIng", "Command1" }) {
            press(desk.form.get(), way);
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<DrillWindow *>(top); d && d->isVisible())
                    drill = d;
            QVERIFY(drill && desk.form->isHidden());
            forms += drill->objectName();
            if (way == "Command1")
                break;
            run(drill, "Command3!");
            QTRY_VERIFY(!drill && desk.form->isVisible());
        }
        QCOMPARE(forms, "Form3Form2Form3Form2");
        DrillWindow &w = *drill;
        QApplication::setActiveWindow(&w);
        QCOMPARE(run(&w,
                     "Command1:A Command1:Shift+Return Command1.enabled Command1:Space Command1.enabled "
                     "Textit.focus Textit+abx Textit.color "
                     "Textit.accessibleDescription "
                     "Textit:Backspace Textit.color Textit.accessibleDescription Textit+itazione "
                     "Command1:Return Textin.text "
                     "Textit.text Command1.shownPicture Textit.focus Textit+lx Timer1*10 Command2.visible "
                     ".windowTitle "
                     "Command1.text "
                     "Timer1*1 Command1.text labpunti.text Command1.shownPicture Command2.visible "
                     "Command2:Space aiuto.text "
                     "labpunti.text "
                     "Textit.focus Textit:Backspace Timer1*1 Command2.visible aiuto.visible Textit+uce "
                     "labpunti.text "
                     "Label4.text Command1.shownPicture Timer2*5 Command1.text Timer2*1 Command1.text "
                     "Command1.shownPicture Timer2.active"),
            "Command1.enabled=true, Command1.enabled=false, Textit.focus=true, Textit.color=#ff0000, "
            "Textit.accessibleDescription=Errore: "
            "quello che hai scritto non è l'inizio della risposta, Textit.color=#000000, "
            "Textit.accessibleDescription=Giusto finora, Textin.text=light, Textit.text=, "
            "Command1.shownPicture=:/inglese/faccia0.svg, Textit.focus=true, Command2.visible=false, "
            ".windowTitle=    Prova dall' INGLESE ... (tempo libero= 10), "
            "Command1.text=Traduci..., Command1.text=Sei lento!, labpunti.text=995, "
            "Command1.shownPicture=:/inglese/faccia3.svg, Command2.visible=true, aiuto.text=lu##, "
            "labpunti.text=993, "
            "Textit.focus=true, "
            "Command2.visible=false, aiuto.visible=false, labpunti.text=996, Label4.text=Già fatti =2 "
            "Critici =1, "
            "Command1.shownPicture=:/inglese/faccia2.svg, Command1.text=Un altro?, Command1.text=Allora?, "
            "Command1.shownPicture=:/inglese/faccia1.svg, Timer2.active=false");
        QVERIFY(desk.platform.seeds == 4
            && desk.platform.shown.value(0).title == "Sinomini di:  house (nelle Lez. scelte)");
        w.resize(w.size() + QSize(50, 40)); // the flag behind it all
        QCOMPARE(control(&w, "bandiera")->geometry(), w.rect());
        auto *go = control<PictureButton>(&w, "Command1");
        QTest::mousePress(go, Qt::LeftButton); // laughing while held down, not once the pointer leaves it
        QCOMPARE(go->icon().pixmap(32).toImage(), PictureButton::picture(":/inglese/faccia2.svg").toImage());
        QTest::mouseMove(go, { -9, -9 });
        QCOMPARE(go->icon().pixmap(32).toImage(), PictureButton::picture(go->shownPicture()).toImage());
        QTest::mouseMove(go); // back on it: a click
        QTest::mouseRelease(go, Qt::LeftButton);
        run(&w, "Textit+leggero");
        run(&w, "Command3!");
        QTRY_VERIFY(!drill && desk.form->isVisible());
        QCOMPARE(desk.session.words.lessonColumn(), QStringList({ "12", "12 c", "12", "12" }));
        // F2 opens the options over the main window; "Regole" the same window with the rules alone; F1 the
        // instructions, which "Ritorno" closes; then the review's limits, and the results of the log and of
        // this run (the rest of what they show: see the looks); the chart saved as a picture whole or not at
        // all, with the reason; "Chiudi".
        // With this run: 120 session ends marked each, 121 not; 600 drawn each, 601 by the means of the bars.
        for (const int logged : { 119, 120, 599, 600 }) {
            QVERIFY(writeBytes(desk.path("inglelog"),
                QByteArray("28/11/2026 09:00:00 09:30:00    30/1040/1        1 3\r\n").repeated(logged)));
            ResultsWindow shown(desk.session, desk.platform); // no chart, no picture to save, while read
            QVERIFY(!control(&shown, "Command1")->isEnabled() && control(&shown, "Chart1")->isHidden());
            QVERIFY(QSignalSpy(&shown, &ResultsWindow::logShown).wait());
            const auto *ends
                = static_cast<QLineSeries *>(control<QChartView>(&shown, "Chart1")->chart()->series().last());
            QCOMPARE(ends->pointsVisible(), ends->count() <= 120);
            QCOMPARE(ends->name().endsWith("(media)"), logged == 600);
        }
        QVERIFY(writeBytes(desk.path("inglelog"), Log));
        QStringList opened;
        for (auto entry : { "menuLezioni", "menuRegole", "menuIstruzioni", "menuLimiti", "menuRisultati" }) {
            QTimer::singleShot(0, desk.form.get(), [&] {
                QWidget *modal = QApplication::activeModalWidget();
                QString name = modal->objectName()
                    + (modal->objectName() == "Form4" && control(modal, "Frame1")->isVisibleTo(modal) ? "+"
                                                                                                      : "")
                    + (modal->objectName() == "Form5" && modal->pos() != desk.form->pos() ? " elsewhere"
                                                                                          : "");
                if (name == "Form6") {
                    QTRY_VERIFY(control(modal, "Command1")->isEnabled());
                    desk.platform.fileNames << desk.path("manca/grafico.png") << desk.path("grafico.png");
                    for (const char *button : { "Command1", "Command1", "Command2" })
                        control<QPushButton>(modal, button)->click();
                    name += ' ' + control<QLabel>(modal, "Label3")->text() + ' ' + desk.platform.lastText();
                    QCOMPARE(QImage(desk.path("grafico.png")).size(), control(modal, "Chart1")->size());
                }
                name == "Form5" ? control<QPushButton>(modal, "Command1")->click() : void(modal->close());
                opened << name + (modal->isVisible() ? " left open" : "");
                modal->close();
            });
            press(desk.form.get(), entry);
        }
        QCOMPARE(opened,
            QStringList({ "Form4+", "Form4", "Form5", "Form8",
                "Form6 Da sempre: 4 sessioni, 2 h 06 min di esercizio, 69 "
                "parole, media 1006 punti Non riesco a salvare l'immagine in\r\n"
                    + desk.path("manca/grafico.png")
                    + "\r\n(la cartella non c'è più)\r\n\r\nUn file con questo nome, se c'era, resta "
                      "com'era." }));
        // Saved with one word left, the list keeps neither the marks nor the waiting word of the rows gone.
        desk.session.selection.pendingWord = 3;
        desk.form->menuModifica_Click();
        desk.list()->selectAll();
        desk.list()->insertPlainText(wordLine(" 1", "c", "cat", "gatto"));
        QVERIFY(desk.form->menuSalva_Click() && desk.session.memoc.words() == QList<int>({ 0 }));
        Drill next(desk.session, desk.platform, Direction::ItalianToEnglish);
        QVERIFY(
            next.start() && next.view().shownText == "gatto" && desk.session.selection.selectionCount == 1);
        desk.form->close();
        QVERIFY(
            readBytes(desk.path("inglelog")).startsWith(Log + "05/12/2026 09:10:02 09:10:02    3/1003/1 "));
    }

    // The real platform layer sounds every beep of a burst, one at each tick of its timer, seeds its random
    // numbers from the clock, keeps the current folder as the system names it, asks for a file name and shows
    // a message.
    void desktop()
    {
        int sounded = 0;
        qint64 clock = 0;
        QtPlatform platform(nullptr, { .bell = [&] { ++sounded; }, .clock = [&] { return clock; } });
        QTimer *spacing = control<QTimer>(&platform, {}); // the one that spaces the beeps
        for (int times : { 1, 2, 5 }) { // the smallest burst too
            sounded = 0;
            platform.beep(times);
            QCOMPARE(spacing->isActive(), times > 1); // a single beep at once
            tick(&platform, {}, 10);
            QCOMPARE(sounded, times);
            QVERIFY(!spacing->isActive()); // idle after the burst
            QCOMPARE_GE(spacing->interval(), 20); // beeps heard one by one
        }
        const auto draws = [&](qint64 now) {
            clock = now;
            platform.seedRandomFromClock();
            return QList<double> { platform.random(), platform.random() };
        };
        const QList<double> first = draws(1'000'000'007);
        QCOMPARE(draws(1'000'000'007), first);
        QCOMPARE(platform.currentDate(), QDate::currentDate()); // the day a review and the log go by
        QVERIFY(!platform.screenSize().isEmpty()); // which the windows are placed in
        QVERIFY(platform.canSpeak(QLocale::Italian) == Platform::Speech::NoVoice); // English voices only
        QVERIFY(draws(2'000'000'011) != first);
        // In a folder whose name is not UTF-8 the program's files are written and read where they are.
        QTemporaryDir dir;
        const QString start = QDir::currentPath();
        const QByteArray odd = QFile::encodeName(dir.path()) + "/caf\xE9";
        QVERIFY(::mkdir(odd, 0700) == 0 && ::chdir(odd) == 0);
        const QString vocabulary = platform.currentFolder() + "/inglese.txt";
        QVERIFY(Vocabulary::writeFile(vocabulary, Mine) && Vocabulary::writeFile(vocabulary, Sample));
        QCOMPARE(readBytes("inglese.txt"), Vocabulary::encode(Sample));
        QVERIFY(QDir::setCurrent(start) && ::unlink(odd + "/inglese.txt") == 0 && ::rmdir(odd) == 0);
        // Its file dialogue, Qt's own, asks as the question says: a save takes the suffix.
        bool own = false;
        QTimer::singleShot(0, this, [&own] { // a name it does not take leaves it open: then it is given up
            if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                own = d->testOption(QFileDialog::DontUseNativeDialog)
                    && d->acceptMode() == QFileDialog::AcceptSave,
                static_cast<QDialog *>(d)->accept(), d->isVisible() ? d->reject() : void();
        });
        const Platform::FileQuestion save { Platform::FileQuestion::Mode::Save, {}, dir.path(), "grafico", {},
            "png" };
        QCOMPARE(platform.askFileName(save), dir.filePath("grafico.png"));
        QVERIFY(own);
        // Its messages show in the box of the three programs: words from a file as they are, Escape changing
        // nothing.
        const Boxes::Seen box = Boxes::answer(
            [&] {
                return platform.message("Salva", "<b>casa", Platform::Buttons::YesNo, Platform::Icon::Stop);
            },
            "Escape");
        QVERIFY(box.plain && box.text == "<b>casa" && box.icon == QMessageBox::Critical);
        QCOMPARE(box.answer, Platform::Answer::Cancel);
    }

    // Over a file that another copy or editor changed since it was read (to the same size too, with its
    // time put back or within the same second) or that shares its content with another name, each save
    // asks: Escape (or No) keeps that file and the edits; Sì saves, in the program's own line ends; after its
    // own save it asks nothing.
    void saveOverAnotherCopy_data()
    {
        QTest::addColumn<QString>("question"); // how it begins; empty: none
        for (const char *change : { "longer", "same size", "same second" })
            QTest::newRow(change) << "Il file INGLESE.TXT è stato cambiato da un altro programma";
        row("untouched", "");
        row("second name", "Il file\r\n%1\r\nha anche altri nomi");
    }
    void saveOverAnotherCopy()
    {
        QFETCH(QString, question);
        const QString path = m_desk->path("inglese.txt");
        const QByteArray lineEnd = question.isEmpty() ? "\n" : "\r"; // alone, a line end too
        QVERIFY(writeBytes(path, " 1   cat" + lineEnd + " 1   dog\r\n 2   house\r\n") && m_desk->start()
            && m_desk->session.words.lessonColumn().size() == 3);
        m_desk->form->menuModifica_Click();
        QVERIFY(question.isEmpty() || changeBehind(QTest::currentDataTag(), path));
        const QByteArray theirs = readBytes(path);
        m_desk->platform.answers << Platform::Answer::Cancel << Platform::Answer::Yes;
        QVERIFY(question.isEmpty() || (!m_desk->form->menuSalva_Click() && readBytes(path) == theirs));
        QVERIFY(
            m_desk->form->menuSalva_Click() && m_desk->form->menuSalva_Click() && m_desk->form->editMode());
        QCOMPARE(readBytes(path), "\r\n 1   cat\r\n 1   dog\r\n 2   house\r\n\r\n");
        QCOMPARE(m_desk->platform.shown.size(), question.isEmpty() ? 0 : 2);
        QVERIFY(question.isEmpty()
            || m_desk->platform.shown[1].text.startsWith(QString(question).replace("%1", path)));
    }

    // Every file the program reads is taken only as a regular file within its size limit whose text keeps
    // to the encoding it names; anything else is refused at once, with the reason, and the program goes on.
    // (The log's append: see writers and, for the kinds of file, the shared writer's own table.)
    void userFiles_data()
    {
        // file: "import": parole.csv
        // limit: a file too big is one byte more
        // said: part of the message; empty: read without a word
        columns<QString, QString, qint64, QString>("file", "kind", "limit", "said");
        const QString notRegular = "non è un file normale";
        const struct
        {
            const char *file;
            qint64 limit;
            QString read;
        } files[] = {
            { "inglese.txt", Vocabulary::MaxFileBytes, {} },
            { "aiutoV5.txt", MaxHelpBytes, {} },
            { "inglelog", SessionLog::MaxFileBytes, {} },
            { "import", UserFile::MaxTextBytes, "due colonne" },
            { "parole.kvtml", UserFile::MaxTextBytes, "vocaboli KVTML" },
        };
        for (const auto &f : files) {
            const auto add = [&](const char *kind, const QString &said) {
                QTest::addRow("%s %s", f.file, kind) << QString(f.file) << QString(kind) << f.limit << said;
            };
            add("regular", f.read);
            add("fifo", notRegular);
            add("device", notRegular);
            add("too big", ",0 MB): il limite è " + UserFile::limitText(f.limit));
            add("loop", "non si è potuto leggere ("); // a link to itself
            add("growing", "il file è cambiato mentre lo leggevo"); // longer than its size
            add("shrinking", "il file si è accorciato"); // shorter than its size
            // The log's lines are ASCII; the import reads its encodings itself.
            if (f.limit == Vocabulary::MaxFileBytes || f.limit == MaxHelpBytes)
                add("undecodable", "UTF-8 o UTF-16");
        }
    }
    void userFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, said);
        const QString path = m_desk->path(file == "import" ? "parole.csv" : file);
        if (kind != "regular")
            QFile::remove(path);
        const QHash<QString, QString> links { { "device", "/dev/zero" }, { "growing", "/proc/self/status" },
            { "shrinking", "/sys/devices/system/cpu/online" } };
        if (kind == "fifo" || kind == "loop")
            QVERIFY(makeNode(kind, path));
        else if (links.contains(kind))
            QVERIFY(QFile::link(links[kind], path));
        else if (kind == "too big")
            QVERIFY(writeBytes(path, "") && QFile::resize(path, fetched<qint64>("limit") + 1));
        else if (kind == "undecodable")
            QVERIFY(writeBytes(path, "\xFF\xFE\x63"));
        else if (file != "inglese.txt" && file != "aiutoV5.txt")
            QVERIFY(writeBytes(path, file == "import" ? "x\r\n" : Log));
        m_desk->session.dataFolder = DataFolder(m_desk->dir.path());
        bool read = true;
        if (file == "inglese.txt") {
            read = m_desk->start();
        } else if (file == "aiutoV5.txt") {
            read = HelpWindow(m_desk->session, m_desk->platform).load();
        } else if (file == "inglelog") {
            ResultsWindow window(m_desk->session, m_desk->platform);
            QVERIFY(QSignalSpy(&window, &ResultsWindow::logShown).wait());
            read = !control<QLabel>(&window, "Label3")->text().endsWith("nessuna sessione");
        } else {
            ExchangeWindow::importFile(nullptr, path, {}, m_desk->platform);
        }
        const QString shown = m_desk->platform.lastText();
        QVERIFY2(said.isEmpty() ? shown.isEmpty() : shown.contains(said), qPrintable(shown));
        QCOMPARE(read, kind == "regular" || file == "import" || file == "parole.kvtml");
    }

    // Every writer of the program over its file under a size limit (as on a full disk): the file stays as it
    // was, the user is told why, and the program goes on. (What else the shared writer refuses, a FIFO for
    // one: its own table.)
    void writers_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *file : { "inglese.txt", "ripasso.tsv", "inglelog", "parole.csv", "grafico.png" })
            QTest::newRow(file) << QString(file);
    }
    void writers()
    {
        QFETCH(QString, file);
        const QString path = m_desk->path(file);
        QVERIFY(m_desk->start()
            && (file == "inglese.txt" || writeBytes(path, file == "ripasso.tsv" ? "" : "old")));
        const QByteArray before = node(path);
        FakePlatform &platform = m_desk->platform;
        platform.fileNames << path;
        ResultsWindow results(m_desk->session, platform);
        const FileSizeLimit limit(20);
        if (file == "inglese.txt")
            m_desk->form->menuSalva_Click();
        else if (file == "ripasso.tsv")
            ReviewLimitsWindow(m_desk->session, platform).Command1_Click();
        else if (file == "inglelog")
            m_desk->form->close();
        else if (file == "grafico.png")
            results.Command1_Click();
        else { // Esporta, in the export's dialogue
            QTimer::singleShot(0, this, [] { clickIn(QApplication::activeModalWidget(), "Command1"); });
            ExchangeWindow::exportWords(nullptr, m_desk->session, Mine, nullptr, platform);
        }
        QCOMPARE(node(path), before);
        QVERIFY(platform.lastText().contains("il file è più grande di quanto il disco"));
    }

    // No instructions file stalls the help window, and none missing opens it empty.
    void help()
    {
        m_desk->session.dataFolder = DataFolder(m_desk->dir.path());
        QFile::remove(m_desk->path("aiutoV5.txt"));
        QVERIFY(!HelpWindow(m_desk->session, m_desk->platform).load());
        QCOMPARE(m_desk->platform.lastText(), "File AIUTO.TXT non trovato");
        const QStringList lines = helpLines(QByteArray(10'000'000, 'x') + "\r\nfine\r\n");
        QVERIFY(lines.size() == 2 && lines.first().size() <= 1000 && lines.last() == "fine");
        QVERIFY(helpLines(QByteArray("x\r\n").repeated(1'000'000)).size() <= 10000);
    }

    // What F5 and the loudspeaker (or the menu entry) say in each state of the two drills (forms 2 and 3) and
    // of the main list (form 1), and that saying it changes nothing else. Steps: "novoice" or "mute" first:
    // no voice or no sound output from the start; "lost" last: the sound output goes; the others as run()
    // reads them. Then F5 and the loudspeaker, and what they said.
    void says_data()
    {
        // steps: the tag's first digit is the window
        columns<QString, QString>("steps", "seen");
        const QString said = "Command4.enabled=true, Command4.toolTip=Ascolta la parola inglese, said ";
        const QString silent = "Command4.enabled=false, Command4.toolTip=";
        const QString wait = silent + "Ascolta la parola inglese: si sente quando hai risposto, said ",
                      mute = "Pronuncia non disponibile: nessuna uscita audio, said ";
        row("2 before the first question", "",
            silent + "Ascolta la parola inglese: prima premi \"Via!\", said ");
        row("2 running", "Command1! aiuto.visible",
            "aiuto.visible=false, " + said + "house, home/house, home");
        row("2 answered", "Command1! Textit+casa", said + "house, home/house, home");
        row("2 next word, no remark, no parentheses", "Command1! Textit+casa Command1! aiuto.visible",
            "aiuto.visible=false, " + said + "a palm tree/a palm tree");
        row("2 a word with nothing to say",
            "Command1! Textit+casa Command1! Textit+palma Command1! aiuto.visible",
            "aiuto.visible=false, " + silent
                + "Ascolta la parola inglese: per questa parola non c'è niente da ascoltare, said ");
        row("3 running, partly typed", "Command1! Textin+hous", wait);
        row("3 help hides letters", "Command1! Textin+hx Timer1*11 Command2!", wait);
        row("3 help shows it all", "Command1! Textin+housx Timer1*11 Command2!",
            said + "house, home/house, home");
        row("3 answered", "Command1! Textin+house", said + "house, home/house, home");
        row("2 no voice", "novoice Command1! aiuto.visible",
            "aiuto.visible=false, " + silent + "Pronuncia non disponibile: nessuna voce inglese, said ");
        row("3 no output", "mute Command1! Textin+house", silent + mute);
        row("2 output lost", "Command1! lost", silent + mute);
        row("3 next word after the whole help",
            "Command1! Textin+housx Timer1*11 Command2! Textin:Ctrl+A Textin+house Command1! aiuto.visible",
            "aiuto.visible=false, " + wait);
        row("1 first line", "ListaVoci:Ctrl+Home",
            "menuAscolta.enabled=true, menuAscolta.toolTip=Ascolta la parola inglese, said house, "
            "home/house, home");
        row("1 empty line", "ListaVoci:Ctrl+Home ListaVoci:Down",
            "menuAscolta.enabled=true, menuAscolta.toolTip=Ascolta la parola inglese, said ");
        row("1 output lost", "ListaVoci:Ctrl+Home lost",
            "menuAscolta.enabled=false, menuAscolta.toolTip=" + mute);
    }
    void says()
    {
        const int form = QTest::currentDataTag()[0] - '0';
        QFETCH(QString, steps);
        Session session;
        FakePlatform platform;
        platform.speech = steps.startsWith("novoice") ? Speech::NoVoice
            : steps.startsWith("mute")                ? Speech::NoOutput
                                                      : Speech::Available;
        session.words.append(u"12  ", QStringLiteral("house (home)").leftJustified(50), u"casa");
        session.words.append(u"12  ", u"(a) palm [of the hand] tree", u"palma");
        session.words.append(u"12  ", u"[a remark only]", u"niente");
        session.selection.buildSelection(session.words, session.memoc);
        std::unique_ptr<QWidget> w(form == 1 ? static_cast<QWidget *>(new MainWindow(session, platform))
                : form == 2 ? static_cast<QWidget *>(new EnglishDrillWindow(session, platform))
                            : new ItalianDrillWindow(session, platform));
        if (form == 1)
            control<QPlainTextEdit>(w.get(), "ListaVoci")
                ->setPlainText(wordLine("12", "", "house (home)", "casa") + "\n\n");
        w->show();
        QApplication::setActiveWindow(w.get());
        const bool lost = steps.endsWith("lost");
        QString seen = run(w.get(), steps.section(' ', platform.speech != Speech::Available, lost ? -2 : -1));
        if (lost)
            platform.speech = Speech::NoOutput, platform.speechChanged();
        const QString say = form == 1 ? "menuAscolta" : "Command4";
        seen += (seen.isEmpty() ? "" : ", ")
            + run(w.get(), ":F5 " + say + "! " + say + ".enabled " + say + ".toolTip");
        QCOMPARE(seen + ", said " + platform.spoken.join('/'), fetched<QString>("seen"));
        QCOMPARE(
            w->cursor().shape(), Qt::ArrowCursor); // the Italian drill's hourglass gone once the word shows
    }

    // A sound server that has gone leaves its socket behind: speech is then off, with its reason,
    // instead of on and silent; one that restarts on the same socket is another output.
    void soundOutput_data()
    {
        // server: PULSE_SERVER (none: the socket in $XDG_RUNTIME_DIR); %1: the folder of the sockets
        // restartSeen: when the listening server restarts on the same socket
        columns<QString, bool, bool>("server", "output", "restartSeen");
        row("server gone, socket left", "unix:%1/gone", false, false);
        row("server listening", "unix:%1/pulse/native", true, true);
        row("a missing one, then one listening", "%1/none unix:%1/pulse/native", true, true);
        row("none named: the runtime folder's", "", true, true);
        row("on the network", "tcp:192.0.2.1:4713", true, false);
        row("a path too long for a socket, there", "%2", true, false); // %2: 108 bytes, no room for the end
    }
    void soundOutput()
    {
        QFETCH(QString, server);
        QTemporaryDir dir;
        const auto bound = [&](const char *name) {
            sockaddr_un address { .sun_family = AF_UNIX, .sun_path = {} };
            qstrncpy(address.sun_path, qPrintable(dir.filePath(name)), sizeof address.sun_path);
            const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
            return ::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 ? socket : -1;
        };
        const int gone = bound("gone");
        QVERIFY(QDir(dir.path()).mkdir("pulse"));
        int live = bound("pulse/native");
        QVERIFY(gone >= 0 && ::close(gone) == 0 && ::listen(live, 1) == 0);
        const QByteArray saved = qgetenv("PULSE_SERVER"), runtime = qgetenv("XDG_RUNTIME_DIR");
        const QString tooLong = dir.filePath(QString(107 - dir.path().size(), u'x'));
        QVERIFY(writeBytes(tooLong, ""));
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
        qputenv("PULSE_SERVER", server.replace("%1", dir.path()).replace("%2", tooLong).toLocal8Bit());
        const SpeechStatus::Output found = QtSpeech::soundOutput();
        ::close(live);
        QVERIFY(
            QFile::remove(dir.filePath("pulse/native")) && ::listen(live = bound("pulse/native"), 1) == 0);
        const bool restartSeen = QtSpeech::soundOutput() != found;
        saved.isNull() ? qunsetenv("PULSE_SERVER") : qputenv("PULSE_SERVER", saved);
        qputenv("XDG_RUNTIME_DIR", runtime);
        ::close(live);
        QTEST(found.present, "output");
        QTEST(restartSeen, "restartSeen");
    }

    // The real platform layer finds no sound output until a PulseAudio server of the test's own starts, then
    // says "house" through the speech service into it; the recording of its sink must not be silence.
    void saysHouseAloud()
    {
#ifdef TRAINERS_SANITIZED
        QSKIP("Under the sanitizers the speech service gives no sound: it is checked in the normal build");
#endif
        QTemporaryDir dir;
        const QString sock = dir.filePath("pulse.sock"), raw = dir.filePath("speech.raw");
        // The speech service, started for the program, inherits these.
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit()); // the owner's alone, as it must be
        qputenv("PULSE_SERVER", ("unix:" + sock).toLocal8Bit());
        qputenv("HOME", dir.path().toLocal8Bit());
        QtPlatform platform; // before the server: no sound output, and the output looked at again every 2 s
        int told = 0;
        platform.watchSpeech(this, [&] { ++told; });
        QCOMPARE(platform.canSpeak(QLocale::English), Platform::Speech::NoOutput);
        QProcess pulse, record;
        pulse.setProcessChannelMode(QProcess::MergedChannels);
        pulse.start("pulseaudio",
            { "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                "--load=module-null-sink sink_name=spoken",
                "--load=module-native-protocol-unix auth-anonymous=1 socket=" + sock });
        const auto stop = qScopeGuard([&] {
            record.terminate(), pulse.terminate(), record.waitForFinished(3000), pulse.waitForFinished(3000);
        });
        for (const QDeadlineTimer up(5000);
             !QFile::exists(sock) && pulse.state() != QProcess::NotRunning && !up.hasExpired();)
            pulse.waitForReadyRead(100);
        if (!QFile::exists(sock))
            QSKIP(qPrintable(
                "PulseAudio could not start here: " + QString::fromLocal8Bit(pulse.readAll()).right(200)));
        record.start("parecord",
            { "--raw", "--format=s16le", "--rate=44100", "--channels=2", "--device=spoken.monitor", raw });
        QVERIFY(record.waitForStarted(3000));
        // Once the server listens the engine is started, and the window told.
        QTRY_COMPARE_WITH_TIMEOUT(platform.canSpeak(QLocale::English), Platform::Speech::Available, 20000);
        QCOMPARE(told, 1);
        platform.speak("house", QLocale::English);
        // The engine and the service start first: poll the recording for its loudest sample.
        int loudest = 0;
        for (const QDeadlineTimer deadline(20000); loudest < 1000 && !deadline.hasExpired();
             QTest::qWait(250)) {
            const QByteArray bytes = readBytes(raw);
            for (const qint16 sample :
                std::span(reinterpret_cast<const qint16 *>(bytes.constData()), bytes.size() / 2))
                loudest = std::max(loudest, std::abs(int(sample)));
        }
        QCOMPARE(platform.canSpeak(QLocale::English), Platform::Speech::Available); // still on after speaking
        QCOMPARE_GE(loudest, 1000); // the recording is not silence
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
