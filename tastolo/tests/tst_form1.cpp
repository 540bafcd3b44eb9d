#include "fixture.h"
#include "helppages.h"
#include "qtplatform.h"
#include "textfile.h"
#include "twips.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

// The exercise window and its file dialogue driven through QTest with
// scripted message-box answers: what the File menu and the keys do to the
// text a user typed, and what a screen reader is told.
class TestForm1 : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;
    QPlainTextEdit *htext = nullptr;

    void trigger(const QString &entry) { f->find<QAction>(entry)->trigger(); }

private slots:
    void init()
    {
        f = std::make_unique<WindowFixture>();
        htext = f->find<QPlainTextEdit>(QStringLiteral("Htext"));
        f->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
    }
    void cleanup()
    {
        QCOMPARE(f->dialoguesLeftOpen, 0);
        QVERIFY(f->dialogues.isEmpty());
        f.reset();
    }

    void startUp()
    {
        const QString letter = f->window->editorText();
        QCOMPARE(letter, sampleLetter());
        QCOMPARE(f->window->insertionOffset(), SampleLetterCaret);
        QVERIFY(!htext->textCursor().hasSelection());
        QCOMPARE(QApplication::focusWidget(), htext);
        QVERIFY(!f->window->fileMenu().isModified());
        QVERIFY(!f->find<QAction>(QStringLiteral("menuFileSave"))->isEnabled());
        // The outer frame, not the client area, stands at 400, 400 twips.
        QCOMPARE(f->platform.frameMoves, QList<QPoint> { Twips::point(400, 400) });
    }

    // The page keys turn the help page whatever the shift state; the text
    // follows the picture down; the editing area tells a screen reader.
    void pageKeys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("stato");
        QTest::addColumn<QString>("heard");
        QTest::newRow("Page Down") << QList<int> { Qt::Key_PageDown } << 0 << 0 << "Pagina di aiuto 1 su 14";
        QTest::newRow("Ctrl+Page Down")
            << QList<int> { Qt::Key_PageDown } << int(Qt::ControlModifier) << 0 << "Pagina di aiuto 1 su 14";
        QTest::newRow("Page Up") << QList<int> { Qt::Key_PageUp } << 0 << 13 << "Pagina di aiuto 14 su 14";
        QTest::newRow("round to the introduction")
            << QList<int>(15, Qt::Key_PageDown) << int(Qt::ShiftModifier) << 14 << "Introduzione";
    }
    void pageKeys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, modifiers);
        QFETCH(int, stato);
        QFETCH(QString, heard);
        for (int key : keys)
            QTest::keyClick(htext, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f->window->state().Stato, stato);
        auto *picture = f->find<QLabel>(QStringLiteral("AiuI"));
        auto *text = f->find<QLabel>(QStringLiteral("AiuT"));
        QCOMPARE(text->text(), TextFile::toLf(HelpPages::text(qint16(stato))));
        if (stato < HelpPages::PageCount) {
            QCOMPARE(picture->size(), HelpPages::pictureSize(stato));
            QCOMPARE(text->y(), Twips::px(120 + Twips::fromPx(picture->height()) + HelpPages::TextGapTwips));
        }
        QVERIFY2(htext->accessibleDescription().startsWith(heard + ": "),
            qPrintable(htext->accessibleDescription()));
        QCOMPARE(f->find<QLabel>(QStringLiteral("Label2"))->accessibleName(), heard);
    }

    // Every way of breaking a line ends up as CR LF in the text and the file.
    void lineBreaks_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("pasted");
        QTest::newRow("Enter") << 0 << "";
        QTest::newRow("Shift+Enter") << int(Qt::ShiftModifier) << "";
        QTest::newRow("pasted line separator") << 0 << QStringLiteral("\u2028");
        QTest::newRow("pasted paragraph separator") << 0 << QStringLiteral("\u2029");
    }
    void lineBreaks()
    {
        QFETCH(int, modifiers);
        QFETCH(QString, pasted);
        f->window->setEditorText(QStringLiteral("ab"));
        htext->moveCursor(QTextCursor::NextCharacter);
        if (pasted.isEmpty())
            QTest::keyClick(htext, Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
        else
            htext->insertPlainText(pasted);
        QCOMPARE(f->window->editorText(), QStringLiteral("a\r\nb"));
        f->expectDialogue(
            { WindowFixture::typeName(QStringLiteral("riga")), WindowFixture::press("Command1") });
        trigger(QStringLiteral("menuFileSaveAs"));
        QFile file(f->path(QStringLiteral("riga.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("a\r\nb\r\n"));
    }

    // A run without blanks too long to wrap at words quickly wraps anywhere,
    // opened or pasted; ordinary text wraps at words.
    void longRuns_data()
    {
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<int>("run");
        QTest::addColumn<bool>("anywhere");
        QTest::newRow("ordinary letter") << false << 0 << false;
        QTest::newRow("opened long run") << false << 5000 << true;
        QTest::newRow("pasted long run") << true << 5000 << true;
    }
    void longRuns()
    {
        QFETCH(bool, pasted);
        QFETCH(int, run);
        QFETCH(bool, anywhere);
        const QString text = sampleLetter() + QString(run, QLatin1Char('x'));
        if (pasted)
            htext->insertPlainText(text);
        else
            f->window->setEditorText(text);
        QCOMPARE(htext->wordWrapMode() == QTextOption::WrapAnywhere, anywhere);
        // Another text is put in: words wrap again.
        f->window->setEditorText(sampleLetter());
        QCOMPARE(htext->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    // Closing with a changed text: the program ends only after "No" or a
    // written file; otherwise it stays open with the text as typed.
    void closing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<bool>("closed");
        QTest::newRow("No") << int(Platform::Answer::No) << false << true;
        QTest::newRow("Escape") << int(Platform::Answer::Cancel) << false << false;
        QTest::newRow("Yes, saved") << int(Platform::Answer::Yes) << true << true;
        QTest::newRow("Yes, Annullo") << int(Platform::Answer::Yes) << false << false;
    }
    void closing()
    {
        QFETCH(int, answer);
        QFETCH(bool, saveAs);
        QFETCH(bool, closed);
        QTest::keyClicks(htext, QStringLiteral("ciao"));
        const QString typed = f->window->editorText();
        f->platform.answers.enqueue(Platform::Answer(answer));
        if (answer == int(Platform::Answer::Yes))
            f->expectDialogue({ WindowFixture::typeName(QStringLiteral("chiusa")),
                WindowFixture::press(saveAs ? "Command1" : "Command2") });
        trigger(QStringLiteral("menuFileClose"));
        QCOMPARE(f->window->isVisible(), !closed);
        QCOMPARE(f->window->editorText(), typed);
        QCOMPARE(f->window->fileMenu().isModified(), !saveAs);
        QCOMPARE(f->platform.shown.size(), 1);
    }

    void closingAtSessionEndAsksNothing()
    {
        QTest::keyClicks(htext, QStringLiteral("x"));
        f->window->setSessionEnding(true);
        QVERIFY(f->window->close());
        QVERIFY(f->platform.shown.isEmpty());
    }

    // The real message box: Escape and its close control back out, they are
    // not "No".
    void realQuestionBox_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes") << "Yes" << int(Platform::Answer::Yes);
        QTest::newRow("No") << "No" << int(Platform::Answer::No);
        QTest::newRow("Escape") << "Escape" << int(Platform::Answer::Cancel);
        QTest::newRow("close control") << "close" << int(Platform::Answer::Cancel);
    }
    void realQuestionBox()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QTimer::singleShot(0, f->window.get(), [how] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            if (how == QLatin1String("Escape"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (how == QLatin1String("close"))
                box->close();
            else
                QTest::keyClick(box, how == QLatin1String("Yes") ? Qt::Key_Y : Qt::Key_N);
        });
        QtPlatform platform;
        QCOMPARE(int(platform.message(QStringLiteral("Attenzione !"), QStringLiteral("Vuoi salvarlo ?"),
                     Platform::Buttons::YesNo, Platform::Icon::None)),
            answer);
    }

    // Opening through the dialogue: the .txt files of the folder whatever
    // the case of the extension; a click names the file, moves the focus to
    // "OK" and leaves the name box closed to typing.
    void openThroughTheDialogue()
    {
        for (const char *name : { "b.TXT", "a.txt", "c.doc" }) {
            QFile file(f->path(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("uno\r\ndue") == 8);
        }
        QStringList listed;
        f->expectDialogue(
            { [&](Form3 &d) {
                 auto *list = control<QListWidget>(&d, QStringLiteral("File1"));
                 for (int i = 0; i < list->count(); ++i)
                     listed << list->item(i)->text();
                 QTest::mouseClick(
                     list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
                 QCOMPARE(d.focusWidget(), control<QPushButton>(&d, QStringLiteral("Command1")));
                 auto *name = control<QLineEdit>(&d, QStringLiteral("Text1"));
                 QCOMPARE(name->text(), QStringLiteral("b.TXT"));
                 QVERIFY(!name->isEnabled());
                 QCOMPARE(d.windowTitle(), QStringLiteral("   APRI UN FILE"));
             },
                WindowFixture::press("Command1") });
        trigger(QStringLiteral("menuFileOpen"));
        QCOMPARE(listed, QStringList({ "a.txt", "b.TXT" }));
        QCOMPARE(f->window->editorText(), QStringLiteral("uno\r\ndue"));
        QCOMPARE(f->find<QLabel>(QStringLiteral("Label1"))->text(), f->path(QStringLiteral("b.TXT")));
        QVERIFY(f->find<QAction>(QStringLiteral("menuFileSave"))->isEnabled());
    }

    // The folder the dialogue last showed was deleted: it shows the home
    // folder, says so, and saves there.
    void deletedFolderGivesWayToHome()
    {
        QVERIFY(QDir(f->dir.path()).mkdir(QStringLiteral("via"))
            && QDir(f->dir.path()).mkdir(QStringLiteral("casa")));
        f->platform.folder = f->path(QStringLiteral("via"));
        f->platform.home = f->path(QStringLiteral("casa"));
        QVERIFY(QDir(f->path(QStringLiteral("via"))).removeRecursively());
        QString shown, label;
        f->expectDialogue({ [&](Form3 &d) {
                               shown = control<QListWidget>(&d, QStringLiteral("Dir1"))
                                           ->currentItem()
                                           ->data(Qt::UserRole)
                                           .toString();
                               label = control<QLabel>(&d, QStringLiteral("Label2"))->text();
                           },
            WindowFixture::typeName(QStringLiteral("lettera")), WindowFixture::press("Command1") });
        trigger(QStringLiteral("menuFileSaveAs"));
        QCOMPARE(shown, f->path(QStringLiteral("casa")));
        QVERIFY2(label.contains(QStringLiteral("home")), qPrintable(label));
        QVERIFY(QFile::exists(f->path(QStringLiteral("casa/lettera.txt"))));
    }

    // Every control a person reads or operates has a name for a screen reader.
    void everyControlNamed()
    {
        QStringList unnamed;
        const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
            // Scroll bars and the inside of a text box are Qt's own parts of a named control.
            if (!node || node->state().invisible || node->role() == QAccessible::ScrollBar
                || (node->object()
                    && node->object()->objectName() == QLatin1String("qt_scrollarea_viewport")))
                return;
            const bool container = node->childCount() > 0 || node->role() == QAccessible::Separator;
            if (!container && node->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << (node->object() ? node->object()->objectName() : QString::number(node->role()));
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i));
        };
        walk(QAccessible::queryAccessibleInterface(f->window.get()));
        f->expectDialogue({ [&](Form3 &d) { walk(QAccessible::queryAccessibleInterface(&d)); } });
        trigger(QStringLiteral("menuFileSaveAs"));
        f->dialoguesLeftOpen = 0;
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
