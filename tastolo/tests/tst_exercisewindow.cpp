#include "boxes.h"
#include "fixture.h"
#include "qtplatform.h"
#include "twips.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <fcntl.h>
#include <unistd.h>

// The exercise window and its file dialogue driven through QTest with
// scripted message-box answers: keys, the close path, the dialogue's lists.
class TestExerciseWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;
    QPlainTextEdit *htext = nullptr;

    void trigger(const QString &entry) { f->find<QAction>(entry)->trigger(); }
    template<class T> static T *in(FileDialog &d, const char *name)
    {
        return control<T>(&d, QLatin1String(name));
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
        QVERIFY(!f->window->fileMenu().isModified()); // the focus and the menus: see the looks
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
        QVERIFY(!desktop.setCurrentFolder(f->path("gone"))); // a folder it cannot enter
        QVERIFY(desktop.setCurrentFolder(f->dir.path()) && desktop.drives().contains("/"));
        QCOMPARE(desktop.homeFolder(), QDir::homePath()); // where the first file dialogue opens
        QCOMPARE(desktop.currentFolder(), f->dir.path());
        // Its messages show a file's name as it is, and Escape backs out of the question.
        const Boxes::Seen box = Boxes::answer(
            [&] { return desktop.message("Attenzione !", "<b>a</b>.txt", Platform::Buttons::YesNo, {}); },
            "Escape");
        QVERIFY(box.plain && box.text == "<b>a</b>.txt" && box.answer == Platform::Answer::Cancel);
        QVERIFY(f->window->findChildren<QTimer *>().constLast()->remainingTime() > 0); // waits for the frame
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
        QTest::keyClick(htext, Qt::Key_PageUp, Qt::ShiftModifier);
        QTest::keyClick(htext, Qt::Key_PageUp);
        QCOMPARE(f->find<QLabel>("Label2")->accessibleName(), "Pagina di aiuto 14 su 14");
        for (const Qt::Key key : { Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp })
            QTest::keyClick(htext, key);
        QCOMPARE(f->window->state().Stato, 0); // from page 2 back to page 1
    }

    // Keys and the clipboard on a long line of a file another editor wrote (UTF-8, LF, one CR): the save
    // writes the text as the area shows it, and every line end the keys did not touch as the file had it.
    void editingSaved()
    {
        const QByteArray words = QByteArray("parola ").repeated(1400);
        QFile file(f->path("altro.txt"));
        QVERIFY(file.open(QFile::WriteOnly) && file.write("uno\r\xC3\xA8" + words + "\r\ntre\nfine\n") > 0);
        file.close();
        f->expectDialogue({ [](FileDialog &d) { in<QListWidget>(d, "File1")->setCurrentRow(0); },
            WindowFixture::press("Command1") });
        trigger("menuFileOpen");
        QApplication::clipboard()->setText("a\nb");
        const QList<QKeyCombination> keys { Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
            Qt::Key_X, Qt::CTRL | Qt::Key_End, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left,
            Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_Backspace,
            Qt::Key_Return, Qt::SHIFT | Qt::Key_Return, Qt::Key_Backspace, Qt::SHIFT | Qt::Key_Left,
            Qt::SHIFT | Qt::Key_Left, Qt::Key_K, Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::Key_End,
            Qt::Key_Backspace, Qt::CTRL | Qt::Key_Home, Qt::CTRL | Qt::Key_V };
        for (const QKeyCombination key : keys)
            QTest::keyClick(htext, key.key(), key.keyboardModifiers());
        trigger("menuFileSave");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "a\nbuno\rx\xC3\xA8" + words + "\ntre\nfine");
        QVERIFY(!f->window->fileMenu().isModified());
        QCOMPARE(f->platform.shown.size(), 0);
    }

    // A save that meets characters the file cannot hold selects the first in the area, and on No keeps the
    // text; on Yes they are left out, and one undo brings them back.
    void refusedCharacterShown()
    {
        QFile file(f->path("a.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("uno " + QByteArray(300, 'x')) > 0);
        file.close();
        f->expectDialogue({ [](FileDialog &d) { in<QListWidget>(d, "File1")->setCurrentRow(0); },
            WindowFixture::press("Command1") });
        trigger("menuFileOpen");
        QTest::keyClick(htext, Qt::Key_End, Qt::ControlModifier);
        QApplication::clipboard()->setText(" źaź");
        QTest::keyClick(htext, Qt::Key_V, Qt::ControlModifier);
        f->platform.answers.enqueue(Platform::Answer::No);
        trigger("menuFileSave");
        QCOMPARE(f->platform.shown.size(), 1);
        QCOMPARE(htext->textCursor().selectedText(), "ź");
        QCOMPARE(f->window->editorText(), "uno " + QString(300, u'x') + " źaź");
        f->platform.answers.enqueue(Platform::Answer::Yes); // left out, and back at one undo
        trigger("menuFileSave");
        QCOMPARE(f->window->editorText(), "uno " + QString(300, u'x') + " a");
        QTest::keyClick(htext, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f->window->editorText(), "uno " + QString(300, u'x') + " źaź");
    }

    // The keys of the dialogue's lists: Enter enters a folder of "Cartelle" and goes no further, Enter on a
    // file opens it, any move in a list of one file chooses it. Seen: folders and files listed, name, open.
    void dialogueKeys_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("seen");
        QTest::newRow("Enter on a folder") << "Dir1" << int(Qt::Key_Return) << "3 0  1";
        QTest::newRow("Enter on a file") << "File1" << int(Qt::Key_Enter) << "2 1 a.txt 0";
        QTest::newRow("Escape") << "File1" << int(Qt::Key_Escape) << "2 1  0";
        for (const auto &[name, key] :
            { std::pair { "Down", Qt::Key_Down }, { "Home", Qt::Key_Home }, { "End", Qt::Key_End } })
            QTest::newRow(name) << "File1" << int(key) << "2 1 a.txt 1";
    }
    void dialogueKeys()
    {
        QFETCH(QString, list);
        QFETCH(int, key);
        QFile file(f->path("a.txt"));
        QVERIFY(QDir(f->dir.path()).mkpath("sotto/giù") && file.open(QIODevice::WriteOnly));
        QString seen;
        f->expectDialogue({ [&](FileDialog &d) {
                               auto *items = control<QListWidget>(&d, list);
                               items->setFocus();
                               items->setCurrentRow(items->count() - 1, QItemSelectionModel::NoUpdate);
                               QTest::keyClick(items, Qt::Key(key));
                               seen = QStringLiteral("%1 %2 %3 %4")
                                          .arg(in<QListWidget>(d, "Dir1")->count() - f->dir.path().count('/'))
                                          .arg(in<QListWidget>(d, "File1")->count()) // the folder's own files
                                          .arg(in<QLineEdit>(d, "Text1")->text())
                                          .arg(int(d.isVisible()));
                           },
            WindowFixture::press("Command2") });
        trigger("menuFileOpen");
        QTEST(seen, "seen");
        QCOMPARE(f->platform.shown.size(), 0);
    }

    // A file's name and path show as they are, never as markup (a picture tag would be loaded), and on one
    // row: in the list, in the current file's label (a long path loses its start) and in its tooltip.
    void namesShownAsTheyAre_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<bool>("elided");
        row("a picture tag", "<img src=\"", "x.png\">a.txt", "x.png\">a.txt", false);
        row("a line break and a tab", "sotto", "a\nb\tc.txt", "a\u21B5b[09]c.txt", false);
        row("a long path", QString(40, u'c') + "/" + QString(40, u'd'), "lettera.txt", "lettera.txt", true);
    }
    void namesShownAsTheyAre()
    {
        QFETCH(QString, listed);
        const QString folder = f->path(fetched<QString>("folder"));
        QFile file(QDir(folder).filePath(fetched<QString>("name")));
        QVERIFY(QDir().mkpath(folder) && file.open(QIODevice::WriteOnly));
        f->platform.folder = folder;
        QString seen;
        f->expectDialogue({ [&](FileDialog &d) { seen = in<QListWidget>(d, "File1")->item(0)->text(); },
            [](FileDialog &d) { in<QListWidget>(d, "File1")->setCurrentRow(0); },
            WindowFixture::press("Command1") });
        trigger("menuFileOpen");
        QCOMPARE(seen, listed);
        const QLabel *label = f->find<QLabel>("Label1");
        const QString path = QDir(folder).filePath(listed);
        QTextDocument tip;
        tip.setHtml(label->toolTip());
        QCOMPARE(Qt::mightBeRichText(label->toolTip()) ? tip.toPlainText() : label->toolTip(), path);
        QVERIFY(label->text().endsWith(listed) && path.endsWith(label->text().mid(1)));
        QCOMPARE_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
        QTEST(label->text().startsWith(u'…'), "elided");
    }

    // Closing with a changed text ends the program only after "No" or a
    // written file; at the end of the desktop session it asks nothing.
    void closing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("sessionEnding");
        QTest::addColumn<bool>("closed");
        QTest::newRow("No") << int(Platform::Answer::No) << false << true;
        QTest::newRow("Escape") << int(Platform::Answer::Cancel) << false << false;
        QTest::newRow("session ending") << int(Platform::Answer::Cancel) << true << true;
    }
    void closing()
    {
        QFETCH(int, answer);
        QFETCH(bool, sessionEnding);
        QTest::keyClicks(htext, "ciao");
        const QString typed = f->window->editorText();
        f->platform.answers.enqueue(Platform::Answer(answer));
        f->window->setSessionEnding(sessionEnding);
        trigger("menuFileClose");
        QTEST(!f->window->isVisible(), "closed");
        QCOMPARE(f->window->editorText(), typed);
        QCOMPARE(f->platform.shown.size(), int(!sessionEnding));
    }

    // The folder last used was deleted: the dialogue shows the home folder and says so. It lists the .txt
    // files whatever the case of the extension; a click names the file, which cannot be typed, and moves the
    // focus to "OK", which opens it from the folder shown.
    void openFromHomeWhenTheFolderIsGone()
    {
        f->platform.folder = f->path("via");
        f->platform.home = f->path("casa");
        QVERIFY(QDir(f->dir.path()).mkdir("casa"));
        for (const char *name : { "b\x80.TXT", "a.txt", "c.doc" }) { // a name that is not UTF-8 too
            const int handle = ::open(QFile::encodeName(f->path("casa/")) + name, O_WRONLY | O_CREAT, 0600);
            QVERIFY(handle >= 0 && ::write(handle, "uno\r\ndue", 8) == 8 && ::close(handle) == 0);
        }
        f->platform.roots = QStringList { "/", f->dir.path(), f->path("via") };
        QStringList seen;
        f->expectDialogue(
            { [&](FileDialog &d) {
                 // A drive that is not there is reported, and the drive and the lists stay as they were.
                 QTest::keyClick(in<QComboBox>(d, "Drive1"), Qt::Key_Down); // the drive below, picked by key
                 seen << QString::number(in<QComboBox>(d, "Drive1")->count())
                      << in<QComboBox>(d, "Drive1")->currentText(); // the longest root of the folder shown
                 auto *list = in<QListWidget>(d, "File1");
                 seen << in<QListWidget>(d, "Dir1")->currentItem()->data(Qt::UserRole).toString()
                      << in<QLabel>(d, "Label2")->text() + in<QLabel>(d, "Label2")->toolTip()
                      << list->item(0)->text() << list->item(1)->text() << QString::number(list->count());
                 QTest::mouseClick(
                     list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
                 seen << in<QLineEdit>(d, "Text1")->text() << d.focusWidget()->objectName()
                      << QString::number(in<QLineEdit>(d, "Text1")->isEnabled());
             },
                WindowFixture::press("Command1") });
        trigger("menuFileOpen");
        QCOMPARE(f->platform.shown.size(), 1);
        QCOMPARE(seen,
            QStringList({ "3", f->dir.path(), f->path("casa"),
                "Cartelle : (home)La cartella usata prima non esiste più", "a.txt", "b[80].TXT", "2",
                "b[80].TXT", "Command1", "0" }));
        QCOMPARE(f->window->editorText(), "uno\ndue");
        const QLabel *label1 = f->find<QLabel>("Label1"); // the path, whole in its tip
        QCOMPARE(label1->text() + label1->toolTip(), f->path("casa/b[80].TXT").repeated(2));
        QCOMPARE_GT(label1->width(), label1->fontMetrics().horizontalAdvance(label1->text()));
        // The file as opened is no change; a letter typed is one.
        QVERIFY(!f->window->fileMenu().isModified());
        QTest::keyClicks(htext, "x");
        QVERIFY(f->window->fileMenu().isModified());
    }
};

QTEST_MAIN(TestExerciseWindow)
#include "tst_exercisewindow.moc"
