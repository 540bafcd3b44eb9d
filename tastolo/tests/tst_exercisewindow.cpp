#include "boxes.h"
#include "fixture.h"
#include "looks.h"
#include "qtplatform.h"
#include "twips.h"
#include "userfiles.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>

#include <sys/stat.h>
#include <unistd.h>

// The exercise window and its file dialogue driven through QTest with
// scripted message-box answers: keys, the close path, the dialogue's lists.
class TestExerciseWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;
    QPlainTextEdit *htext = nullptr;

    // Presses keys ("Down End Ctrl+Z") in the widget that has the focus, or in `widget`; "Menu" asks the
    // editing area for its context menu.
    void press(const QString &keys, QWidget *widget = nullptr)
    {
        for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts)) {
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, {}, {});
            if (key == "Menu") {
                QTimer::singleShot(0, htext, [] { // the context menu's "Undo"
                    QWidget *popup = QApplication::activePopupWidget();
                    popup->findChild<QAction *>("edit-undo")->trigger();
                    popup->close();
                });
                QApplication::sendEvent(htext->viewport(), &menu);
                continue;
            }
            QTest::keySequence(widget ? widget : QApplication::focusWidget(), key);
        }
    }
private slots:
    void init()
    {
        f = std::make_unique<WindowFixture>();
        htext = f->find<QPlainTextEdit>("Htext");
        f->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
    }
    void cleanup()
    {
        QCOMPARE(f->dialoguesLeftOpen, 0);
        f.reset();
    }

    void startUp()
    {
        // The outer frame, not the client area, stands at 400, 400 twips.
        QCOMPARE(f->platform.frameMoves, QList<QPoint> { Twips::point(400, 400) });
        // Shown again (restored from the task bar), it stays where the user put it.
        f->window->hide();
        f->window->show();
        QCOMPARE(f->platform.frameMoves.size(), 1);
        QtPlatform desktop; // the real one places the window at once, before a frame is put around it
        desktop.setWindow(f->window.get());
        desktop.moveFrame({ 30, 40 });
        QCOMPARE(f->window->frameGeometry().topLeft(), QPoint(30, 40));
        QVERIFY(f->window->findChildren<QTimer *>().constLast()->isActive()); // waits for the frame
        const QString cafe = f->path("caf") + QChar(0xDCE9); // a name that is not UTF-8
        // A folder it cannot enter until it is made.
        QVERIFY(!desktop.setCurrentFolder(cafe) && ::mkdir(UserFile::nativeName(cafe), 0700) == 0
            && desktop.setCurrentFolder(cafe) && desktop.drives().contains("/"));
        QCOMPARE(desktop.homeFolder(), QDir::homePath()); // where the first file dialogue opens
        QCOMPARE(desktop.currentFolder(), cafe);
        ::rmdir(UserFile::nativeName(cafe)); // which the toolkit cannot remove
        // Its messages are the box of the three programs: Escape backs out of the question.
        QCOMPARE(
            Boxes::answer([&] { return desktop.message({}, {}, Platform::Buttons::YesNo, {}); }, "Escape")
                .answer,
            Platform::Answer::Cancel);
        // A window that never gets a frame stays where it was put, after two seconds of 20 ms steps.
        QWidget bare;
        desktop.setWindow(&bare);
        desktop.moveFrame({ 30, 40 });
        QTimerEvent tick(bare.findChild<QTimer *>()->timerId());
        for (int i = 0; i < 100; ++i)
            QApplication::sendEvent(bare.findChild<QTimer *>(), &tick);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!bare.findChild<QTimer *>() && bare.pos() == QPoint(30, 40));
        QCOMPARE(f->window->minimumSize(), f->window->maximumSize()); // the controls keep their places
        // After a File menu entry the typing goes on in the editing area.
        htext->clearFocus();
        f->find<QMenu>("menuFile")->actions().first()->trigger();
        QCOMPARE(f->window->focusWidget(), htext);
        QTest::keyClicks(htext, QString(30, u'\r'), Qt::ShiftModifier); // the caret kept in sight
        QVERIFY(htext->viewport()->rect().contains(htext->cursorRect()));
    }

    // The page keys turn the help page whatever the shift state, and the
    // editing area tells a screen reader which page shows.
    void pageKeys()
    {
        QTest::keyClick(htext, Qt::Key_PageDown, Qt::ControlModifier);
        QVERIFY(htext->accessibleDescription().startsWith("Pagina di aiuto 1 su 14: Punto"));
        press("Shift+PgUp PgUp", htext);
        QCOMPARE(f->find<QLabel>("Label2")->accessibleName(), "Pagina di aiuto 14 su 14");
        press("PgDown PgDown PgDown PgUp", htext);
        QCOMPARE(f->window->state().Stato, 0); // from page 2 back to page 1
    }

    // Each entry of the File menu (and closing) with c.txt open and a text pasted into it, the questions
    // answered in turn, and each way through the file dialogue: keys go to the focus, which a save starts in
    // the name box; "File1"/"Dir1" moves it to that list, "click:"/"ctrl:"/"double:" clicks a row of the list
    // with the focus (after "double:" alone, its current row). A save writes under the name the name box
    // shows and replaces another existing file only after a Yes; only "No" or a written file gives a typed
    // text up. A save over a file that another program changed since it was read (to the same size too, with
    // its time put back or within the same second) or whose content another name shares asks first (Escape
    // keeps both, the next save after a Sì asks nothing); what is no regular file, or a disk that cannot take
    // the text, is refused with the reason. Seen: a.txt, b.txt, c.txt, sotto/d.txt, nuovo.txt (as node()
    // names them), the area [its selection], the current file, the window shown (v),
    // "&Salva" enabled (S), the text changed (*); then each message box (~ the folder).
    void dialogueKeys_data()
    {
        // What is pasted into c.txt ("file:" its text) | the answers and the entries or keys in the area
        // ("changed:" changeBehind(), "folder" or "limit": c.txt changed, replaced, or a disk full) | the
        // keys in the dialogue.
        columns<QString, QString>("steps", "seen");
        row("Salva con nome, Enter", "x|menuFileSaveAs|Enter", "A B xC D missing / xC [] / c.txt / vS");
        row("Salva con nome, Enter in the list", "x|menuFileSaveAs|File1 Enter",
            "A B xC D missing / xC [] / c.txt / vS");
        row("Salva con nome, Down, Enter, No", "x|No menuFileSaveAs|File1 Down Enter Escape",
            "A B C D missing / xC [] / c.txt / vS*\nAttenzione (Sì/No): Il file | ~/b.txt | esiste già. |  | "
            "Sovrascriverlo con questo testo? | (No: il file resta com'è e puoi scegliere un altro nome)");
        row("Salva con nome, click, Ctrl+click, Enter, Yes",
            "x|Yes menuFileSaveAs|File1 click:a.txt ctrl:a.txt Enter",
            "xC B C D missing / xC [] / a.txt / vS\nAttenzione (Sì/No): Il file | ~/a.txt | esiste già. |  | "
            "Sovrascriverlo con questo testo? | (No: il file resta com'è e puoi scegliere un altro nome)");
        row("Salva con nome, double click, No", "x|No menuFileSaveAs|File1 double:b.txt Escape",
            "A B C D missing / xC [] / c.txt / vS*\nAttenzione (Sì/No): Il file | ~/b.txt | esiste già. |  | "
            "Sovrascriverlo con questo testo? | (No: il file resta com'è e puoi scegliere un altro nome)");
        row("Salva con nome, the only file of a folder entered by a double click",
            "x|Yes menuFileSaveAs|Dir1 End double: File1 Down Enter",
            "A B C xC missing / xC [] / d.txt / vS\nAttenzione (Sì/No): Il file | ~/sotto/d.txt | esiste "
            "già. | "
            " | "
            "Sovrascriverlo con questo testo? | (No: il file resta com'è e puoi scegliere un altro nome)");
        row("Salva con nome, a letter chooses no file (saved as sotto/c.txt)",
            "x|Yes menuFileSaveAs|Drive1 Down File1 X Enter", "A B C D missing / xC [] / c.txt / vS");
        row("Salva con nome, the only file of a drive", "x|Yes menuFileSaveAs|Drive1 Down File1 Down Enter",
            "A B C xC missing / xC [] / d.txt / vS\nAttenzione (Sì/No): Il file | ~/sotto/d.txt | esiste "
            "già. | "
            " | "
            "Sovrascriverlo con questo testo? | (No: il file resta com'è e puoi scegliere un altro nome)");
        row("Salva con nome, a blank name", "x|menuFileSaveAs|Ctrl+A Delete Enter N U O V O Enter",
            "A B C D xC / xC [] / nuovo.txt / vS\nAttenzione: il Nome File non è valido, ripovare");
        row("Salva con nome, a folder that is not there",
            "x|menuFileSaveAs|Ctrl+A M A N C A / P Enter Escape",
            "A B C D missing / xC [] / c.txt / vS*\nAttenzione (stop): Il file | ~/manca/p.txt | non si può "
            "scrivere: la cartella non c'è più. |  | Il file di prima, se c'era, è rimasto com'era.");
        row("Apri, Yes, Enter", "x|Yes menuFileOpen|Enter",
            "A B xC D missing / xC [] / c.txt / vS\nAttenzione ! (Sì/No): E' stato richiesto di Aprire un "
            "altro "
            "File, | ma il file corrente è stato modificato. | Vuoi salvarlo ?");
        row("Apri, Yes, Down, Enter, Yes", "x|Yes Yes menuFileOpen|File1 Down Enter",
            "A xC C D missing / xC [] / b.txt / vS\nAttenzione ! (Sì/No): E' stato richiesto di Aprire un "
            "altro "
            "File, | ma il file corrente è stato modificato. | Vuoi salvarlo ?\nAttenzione (Sì/No): Il "
            "file | ~/b.txt | esiste già. |  | Sovrascriverlo con questo testo? | (No: il file resta "
            "com'è e puoi scegliere un altro nome)");
        row("Apri, No, Enter in the list", "x|No menuFileOpen|File1 Enter",
            "A B C D missing / A [] / a.txt / vS\nAttenzione ! (Sì/No): E' stato richiesto di Aprire un "
            "altro "
            "File, | ma il file corrente è stato modificato. | Vuoi salvarlo ?");
        row("Apri, Escape", "x|Cancel menuFileOpen",
            "A B C D missing / xC [] / c.txt / vS*\nAttenzione ! (Sì/No): E' stato richiesto di Aprire un "
            "altro "
            "File, | ma il file corrente è stato modificato. | Vuoi salvarlo ?");
        row("Apri, Annullo", "|menuFileOpen|Escape", "A B C D missing / C [] / c.txt / vS");
        // After a folder is entered the folders' list holds only its chain and its folders: the fifth row.
        row("Apri, a damaged file",
            "x|No menuFileOpen|Dir1 End Up Enter Home Down Down Down Down Enter File1 Enter Escape",
            "A B C D missing / xC [] / c.txt / vS*\nAttenzione ! (Sì/No): E' stato richiesto di Aprire un "
            "altro "
            "File, | ma il file corrente è stato modificato. | Vuoi salvarlo ?\nAttenzione (stop): Il "
            "file | ~/rott[E9]/giu/x.txt | sembra un testo Unicode, ma è danneggiato: l'esercizio non lo "
            "apre.");
        row("Apri, a name that is not UTF-8", "|menuFileOpen|Dir1 Down Enter File1 End Enter",
            "A B C D missing /  [] / [80]<i>.txt / vS");
        row("Nuovo, unchanged", "|menuFileNew", "A B C D missing /  [] /  / v");
        row("Nuovo, No", "x|No menuFileNew",
            "A B C D missing /  [] /  / v\nAttenzione ! (Sì/No): E' stato richiesto di "
            "Aprire un Nuovo File, | ma "
            "il file corrente è stato modificato. | Vuoi salvarlo ?");
        row("Nuovo, Yes, Annullo", "x|Yes menuFileNew|Escape",
            "A B C D missing / xC [] / c.txt / vS*\nAttenzione ! (Sì/No): E' stato richiesto di Aprire un "
            "Nuovo "
            "File, | ma il file corrente è stato modificato. | Vuoi salvarlo ?");
        row("Nuovo, Salva con nome, Yes", "|Yes menuFileNew menuFileSaveAs|Enter",
            "A B \\r\\n D missing /  [] / c.txt / vS\nAttenzione (Sì/No): Il file | ~/c.txt | esiste già. |  "
            "| "
            "Sovrascriverlo con questo testo? | (No: il file resta com'è e puoi scegliere un altro nome)");
        row("Nuovo, Apri, Annullo, Salva", "|menuFileNew menuFileOpen menuFileSave|Escape",
            "A B C D missing /  [] /  / vS");
        row("Salva, Shift+Return a line end as Return", "x|Shift+Return menuFileSave",
            "A B x\\r\\nC D missing / x\nC [] / c.txt / vS");
        row("Salva, letters the file cannot hold", "ĀāĂăĄąĆćĈĉĊċČ|No menuFileSave",
            "A B C D missing / ĀāĂăĄąĆćĈĉĊċČC [Ā] / c.txt / vS*\nAttenzione (Sì/No): Il testo contiene "
            "caratteri "
            "che questo file non può contenere: | «Ā» U+0100, «ā» U+0101, «Ă» U+0102, «ă» U+0103, «Ą» "
            "U+0104, «ą» U+0105, «Ć» U+0106, «ć» U+0107, «Ĉ» U+0108, «ĉ» U+0109, «Ċ» U+010A, «ċ» U+010B, "
            "... | Il primo è selezionato nel testo. |  | Salvarlo senza questi caratteri?");
        row("Salva, changed by another program, No", "x|No changed:longer menuFileSave",
            "A B C+ D missing / xC [] / c.txt / vS*\nAttenzione (Sì/No): Il file | ~/c.txt | è stato "
            "cambiato "
            "da un altro programma dopo che l'hai aperto o salvato. |  | Sovrascriverlo con questo testo? "
            "| (No: il file resta com'è e il testo resta da salvare)");
        row("Salva, changed to the same size, Escape, Yes",
            "x|Cancel Yes changed:same_size menuFileSave menuFileSave menuFileSave",
            "A B xC D missing / xC [] / c.txt / vS\nAttenzione (Sì/No): Il file | ~/c.txt | è stato cambiato "
            "da un altro programma dopo che l'hai aperto o salvato. |  | Sovrascriverlo con questo testo? | "
            "(No: il file resta com'è e il testo resta da salvare)\nAttenzione (Sì/No): Il file | ~/c.txt | "
            "è stato cambiato da un altro programma dopo che l'hai aperto o salvato. |  | Sovrascriverlo con "
            "questo testo? | (No: il file resta com'è e il testo resta da salvare)");
        row("Salva, changed in the same second, Escape, Yes",
            "x|Cancel Yes changed:same_second menuFileSave menuFileSave menuFileSave",
            "A B xC D missing / xC [] / c.txt / vS\nAttenzione (Sì/No): Il file | ~/c.txt | è stato cambiato "
            "da un altro programma dopo che l'hai aperto o salvato. |  | Sovrascriverlo con questo testo? | "
            "(No: il file resta com'è e il testo resta da salvare)\nAttenzione (Sì/No): Il file | ~/c.txt | "
            "è stato cambiato da un altro programma dopo che l'hai aperto o salvato. |  | Sovrascriverlo con "
            "questo testo? | (No: il file resta com'è e il testo resta da salvare)");
        row("Salva, a second name, Escape, Yes",
            "x|Cancel Yes changed:second_name menuFileSave menuFileSave menuFileSave",
            "A B xC D missing / xC [] / c.txt / vS\nAttenzione (Sì/No): Il file | ~/c.txt | ha anche altri "
            "nomi (collegamenti): salvando, questo nome avrà il testo nuovo e gli altri terranno quello di "
            "prima. |  | Salvarlo lo stesso? | (No: il file resta com'è e il testo resta da "
            "salvare)\nAttenzione (Sì/No): Il file | ~/c.txt | ha anche altri nomi (collegamenti): salvando, "
            "questo nome avrà il testo nuovo e gli altri terranno quello di prima. |  | Salvarlo lo stesso? "
            "| (No: il file resta com'è e il testo resta da salvare)");
        row("Salva, no regular file", "x|folder menuFileSave",
            "A B folder D missing / xC [] / c.txt / vS*\nAttenzione (stop): Il file | ~/c.txt | non si può "
            "scrivere: "
            "non è un file normale, ma una cartella, una coda o un dispositivo. |  | Il file di prima, se "
            "c'era, è rimasto com'era.");
        row("Salva, the disk full", "x|limit menuFileSave",
            "A B C D missing / xC [] / c.txt / vS*\nAttenzione (stop): Il file | ~/c.txt | non si può "
            "scrivere: il "
            "file è più grande di quanto il disco o il sistema permettano. |  | Il file di prima, se c'era, "
            "è rimasto com'era.");
        row("Salva, letters left out, undone", "źaź|Yes menuFileSave Ctrl+Z",
            "A B aC D missing / źaźC [] / c.txt / vS*\nAttenzione (Sì/No): Il testo contiene caratteri che "
            "questo file non può contenere: | «ź» U+017A | Il primo è selezionato nel testo. |  | "
            "Salvarlo senza questi caratteri?");
        row("Chiudi, unchanged", "|menuFileClose", "A B C D missing / C [] / c.txt / S");
        row("close, No", "x|No close",
            "A B C D missing / xC [] / c.txt / S*\nAttenzione ! (Sì/No): E' stato chiesto di chiudere il "
            "programma, | ma il file corrente non è stato salvato dopo le modifiche. | Vuoi salvarlo ?");
        row("close, Yes, Enter", "x|Yes close|Enter",
            "A B xC D missing / xC [] / c.txt / S\nAttenzione ! (Sì/No): E' stato chiesto di chiudere il "
            "programma, | ma il file corrente non è stato salvato dopo le modifiche. | Vuoi salvarlo ?");
        row("close, Yes, Enter, changed by another program, No", "x|Yes No changed:longer close|Enter Escape",
            "A B C+ D missing / xC [] / c.txt / vS*\nAttenzione ! (Sì/No): E' stato chiesto di chiudere il "
            "programma, | ma il file corrente non è stato salvato dopo le modifiche. | Vuoi salvarlo "
            "?\nAttenzione "
            "(Sì/No): Il file | ~/c.txt | è stato cambiato da un altro programma dopo che l'hai aperto o "
            "salvato. "
            "|  | Sovrascriverlo con questo testo? | (No: il file resta com'è e il testo resta da salvare)");
        row("close, Escape", "x|Cancel close",
            "A B C D missing / xC [] / c.txt / vS*\nAttenzione ! (Sì/No): E' stato chiesto di chiudere il "
            "programma, | ma il file corrente non è stato salvato dopo le modifiche. | Vuoi salvarlo ?");
        row("close, Yes, characters kept", "a\u200BŁód😀\u202E|Yes No close|Enter Escape",
            "A B C D missing / a\u200BŁód😀\u202EC [\u200B] / c.txt / vS*\nAttenzione ! (Sì/No): E' stato "
            "chiesto di "
            "chiudere "
            "il programma, | ma il file corrente non è stato salvato dopo le modifiche. | Vuoi salvarlo "
            "?\nAttenzione (Sì/No): Il testo contiene caratteri che questo file non può contenere: | "
            "U+200B spazio invisibile, «Ł» U+0141, «😀» U+1F600, U+202E carattere di formato invisibile | "
            "Il primo è selezionato nel testo. |  | Salvarlo senza questi caratteri?");
        row("close, Yes, characters left out", "a\u200BŁód😀\u202E|Yes Yes close|Enter",
            "A B aódC D missing / aódC [] / c.txt / S\nAttenzione ! (Sì/No): E' stato chiesto di chiudere il "
            "programma, | ma il file corrente non è stato salvato dopo le modifiche. | Vuoi salvarlo "
            "?\nAttenzione (Sì/No): Il testo contiene caratteri che questo file non può contenere: | "
            "U+200B spazio invisibile, «Ł» U+0141, «😀» U+1F600, U+202E carattere di formato invisibile | "
            "Il primo è selezionato nel testo. |  | Salvarlo senza questi caratteri?");
        row("session ending", "x|session", "A B C D missing / xC [] / c.txt / S*");
        // Keys and the clipboard on a file of another editor ("file:" its text, a paste brings line breaks
        // of every kind): the save writes the text as the area shows it, and every line end the keys did not
        // touch as the file had it, also one that an undo or a redo brought back ("Menu": the context menu's
        // Undo). Each line break a paste brings is a line break of the file.
        const QString words = QString("parola ").repeated(1400);
        row("Enter on an empty line", "file:x\r\n\ry\r\n\nz\r\n|Down Return Down Down Return menuFileSave",
            "A B x\\r\\n\\r\\n\ry\\r\\n\\r\\n\nz\\r\\n D missing / x\n\n\ny\n\n\nz\n [] / c.txt / vS");
        row("Enter on an empty line, undone", "file:x\r\n\ry\r\n|Down Return Ctrl+Z Ctrl+Z menuFileSave",
            "A B x\\r\\n\ry\\r\\n D missing / x\n\ny\n [] / c.txt / vS");
        row("Delete, undone", "file:x\r\ny\rz\nw\r\n|Down End Delete Ctrl+Z menuFileSave",
            "A B x\\r\\ny\rz\nw\\r\\n D missing / x\ny\nz\nw\n [] / c.txt / vS");
        row("Delete, undone from the context menu", "file:x\r\ny\rz\nw\r\n|Down End Delete Menu menuFileSave",
            "A B x\\r\\ny\rz\nw\\r\\n D missing / x\ny\nz\nw\n [] / c.txt / vS");
        row("Delete, undone, redone",
            "file:x\r\ny\rz\nw\r\n|Down End Delete Ctrl+Z Ctrl+Shift+Z menuFileSave",
            "A B x\\r\\nyz\nw\\r\\n D missing / x\nyz\nw\n [] / c.txt / vS");
        row("cut across two breaks, undone",
            "file:x\r\ny\rz\nw\r\n|Down Shift+Down Shift+Down Ctrl+X Ctrl+Z menuFileSave",
            "A B x\\r\\ny\rz\nw\\r\\n D missing / x\ny\nz\nw\n [] / c.txt / vS");
        row("characters left out on both sides of a line end of its own",
            "file:x\ry\r\n|Ctrl+V Ctrl+End Ctrl+V menuFileSave",
            "A B a\\r\\nb\\r\\nc\\r\\nd\\r\\ne\\r\\nfx\ry\\r\\na\\r\\nb\\r\\nc\\r\\nd\\r\\ne\\r\\nf D "
            "missing / "
            "a\nb\nc\nd\ne\nfx\ny\na\nb\nc\nd\ne\nf [] / c.txt / vS\nAttenzione (Sì/No): Il testo contiene "
            "caratteri che questo file non può contenere: | «ż» U+017C | Il primo è selezionato nel testo. | "
            " | Salvarlo senza questi caratteri?");
        row("paste", "file:x\r\n|End Ctrl+V menuFileSave",
            "A B xa\\r\\nb\\r\\nc\\r\\nd\\r\\ne\\r\\nf\\r\\n D missing / xa\nb\nc\nd\ne\nf\n [] / c.txt / "
            "vS\nAttenzione (Sì/No): Il testo contiene caratteri che questo file non può contenere: | «ż» "
            "U+017C | Il primo è selezionato nel testo. |  | Salvarlo senza questi caratteri?");
        // A long line of UTF-8 with a CR and LF around it; Shift+Enter; the paste at a line's start.
        row("keys",
            "file:uno\r\xC3\xA8" + words
                + "\r\ntre\nfine\n|Right Right Right Right X Ctrl+End Left Left Left Left Left Left Left "
                  "Left Left Backspace Return Shift+Return Backspace Shift+Left Shift+Left K Ctrl+Z Ctrl+End "
                  "Backspace Ctrl+Home Ctrl+V menuFileSave",
            "A B a\nb\nc\nd\ne\nf\u00C5\u00BCuno\rx\u00C3\u00A8" + words
                + "\ntre\nfine D missing / a\nb\nc\nd\ne\nfżuno\nxè" + words + "\ntre\nfine [] / c.txt / vS");
    }
    void dialogueKeys()
    {
        const QStringList steps = fetched<QString>("steps").split(u'|');
        const QString typed = steps[0];
        QVERIFY(QDir(f->dir.path()).mkpath("sotto") && QDir(f->dir.path()).mkpath("rotto/giu"));
        const QStringList names { "a", "b", "c", "sotto/d", "nuovo" };
        f->platform.roots << f->path("sotto"); // a drive
        for (const QString &name : names.first(4))
            QVERIFY(UserFile::write(f->path(name + ".txt"), name.right(1).toUpper().toLatin1()));
        // Unicode, damaged, beside a name that is not UTF-8, in a folder whose name is not UTF-8
        QVERIFY(UserFile::write(f->path("rotto/giu/x.txt"), "\xFF\xFEx"));
        const QByteArray rotto = QFile::encodeName(f->path("rotto")), latin1 = rotto + "/\x80<i>.txt",
                         rotte = rotto.chopped(1) + "\xE9";
        QVERIFY(touched(latin1) && ::rename(rotto, rotte) == 0);
        const bool file = typed.startsWith("file:");
        if (file)
            QVERIFY(UserFile::write(f->path("c.txt"), typed.mid(5).toUtf8()));
        f->expectDialogue({ [](FileDialog &d) { control<QListView>(&d, "File1")->keyboardSearch("c.txt"); },
            WindowFixture::press("Command1") });
        f->find<QAction>("menuFileOpen")->trigger();
        QApplication::clipboard()->setText(file ? "a\u2028b\u2029c\u0085d\r\ne\rfż" : typed);
        press(typed.isEmpty() || file ? "" : "Ctrl+V", htext);
        f->expectDialogue({ [&](FileDialog &d) {
            d.activateWindow(); // as the user's dialogue, which has the keyboard
            QVERIFY(QTest::qWaitForWindowActive(&d));
            for (const QString &key : steps.value(2).split(u' ', Qt::SkipEmptyParts)) {
                if (QWidget *list = d.findChild<QWidget *>(key)) {
                    list->setFocus();
                } else if (key.contains(u':')) { // a click on a row, or a double click: one and a second
                    auto *rows = qobject_cast<QListView *>(d.focusWidget());
                    if (!key.endsWith(u':'))
                        rows->keyboardSearch(key.section(u':', 1));
                    const QPoint at = rows->visualRect(rows->currentIndex()).center();
                    QTest::mouseClick(rows->viewport(), Qt::LeftButton,
                        key.startsWith("ctrl") ? Qt::ControlModifier : Qt::NoModifier, at);
                    if (key.startsWith("double"))
                        QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, at);
                } else {
                    press(key);
                }
            }
            f->expectDialogue({ WindowFixture::press("Command2") }); // the one that opens, after a save
        } });
        std::optional<FileSizeLimit> limit;
        for (const QString &entry : steps[1].split(u' ')) {
            if (const int answer = QStringList { "Ok", "Cancel", "Yes", "No" }.indexOf(entry); answer >= 0)
                f->platform.answers << Platform::Answer(answer);
            else if (entry.startsWith("changed:")) // see changeBehind()
                QVERIFY(changeBehind(entry.mid(8).replace(u'_', u' '), f->path("c.txt")));
            else if (entry == "folder")
                QVERIFY(QFile::remove(f->path("c.txt")) && makeNode(entry, f->path("c.txt")));
            else if (entry == "limit")
                limit.emplace(1);
            else if (entry == "close" || entry == "session")
                f->window->setSessionEnding(entry == "session"), f->window->close();
            else if (entry.startsWith("menu"))
                f->find<QAction>(entry)->trigger();
            else
                press(entry, htext);
        }
        QString seen;
        for (const QString &name : names)
            seen += QString::fromLatin1(node(f->path(name + ".txt")))
                        .remove("file: ")
                        .replace("\r\n", "\\r\\n")
                + ' ';
        seen += "/ " + f->window->editorText() + " [" + htext->textCursor().selectedText() + "] / "
            + QFileInfo(Looks::shownTip(f->find<QLabel>("Label1")->toolTip())).fileName() + " / "
            + (f->window->isVisible() ? "v" : "") + (f->find<QAction>("menuFileSave")->isEnabled() ? "S" : "")
            + (f->window->fileMenu().isModified() ? "*" : "");
        for (const auto &box : f->platform.shown)
            seen += "\n" + box.title + (box.buttons == Platform::Buttons::YesNo ? " (Sì/No)" : "")
                + (box.icon == Platform::Icon::Stop ? " (stop)" : "") + ": "
                + QString(box.text).replace("\r\n", " | ");
        QTEST(seen.replace(f->dir.path(), "~"), "seen");
        ::rename(rotte, rotto); // which the toolkit cannot remove
        ::unlink(latin1);
    }
};

QTEST_MAIN(TestExerciseWindow)
#include "tst_exercisewindow.moc"
