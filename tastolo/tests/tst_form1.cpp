#include "Form1.h"
#include "fakeplatform.h"
#include "helppages.h"
#include "textfile.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

// The exercise window: start-up, the help page ring and the editing area.
class TestForm1 : public QObject
{
    Q_OBJECT

private:
    FakePlatform platform;
    Form1 *window = nullptr;
    QPlainTextEdit *htext = nullptr;

    QLabel *label(const char *name) { return window->findChild<QLabel *>(QLatin1String(name)); }
    QColor helpColour() { return label("AiuT")->palette().color(QPalette::WindowText); }
    int caret() { return window->insertionOffset(); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(htext, Qt::Key(key), modifiers);
    }
    // Types `script` into the editing area: characters as they are, "{Key}"
    // for a named key and "{+Key}" for it with Shift.
    void play(const QString &script)
    {
        static const QHash<QString, Qt::Key> keys { { "Up", Qt::Key_Up }, { "Down", Qt::Key_Down },
            { "Right", Qt::Key_Right }, { "Home", Qt::Key_Home }, { "End", Qt::Key_End },
            { "Delete", Qt::Key_Delete }, { "Backspace", Qt::Key_Backspace }, { "Insert", Qt::Key_Insert },
            { "Return", Qt::Key_Return }, { "Tab", Qt::Key_Tab }, { "Backtab", Qt::Key_Backtab } };
        for (int i = 0; i < script.size(); ++i) {
            if (script[i] != u'{') {
                QTest::keyClicks(htext, QString(script[i]));
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
        platform = FakePlatform();
        window = new Form1(platform);
        htext = window->findChild<QPlainTextEdit *>(QStringLiteral("Htext"));
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanup()
    {
        delete window;
        window = nullptr;
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
        QVERIFY(label("AiuI")->pixmap().isNull());
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

    void pageRing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("step");
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 1;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << -1;
    }
    void pageRing()
    {
        QFETCH(int, key);
        QFETCH(int, step);
        // Once round the fourteen pages and the introduction, and one more.
        for (int stato = HelpPages::Introduction, i = 0; i <= 15; ++i) {
            press(key);
            stato = (stato + step + 15) % 15;
            checkPage(qint16(stato));
        }
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

    void pageKeysWhateverTheShiftState_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("alone") << Qt::KeyboardModifiers(Qt::NoModifier);
        QTest::newRow("Shift") << Qt::KeyboardModifiers(Qt::ShiftModifier);
        QTest::newRow("Ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("Alt") << Qt::KeyboardModifiers(Qt::AltModifier);
        QTest::newRow("Ctrl Shift") << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier);
    }
    void pageKeysWhateverTheShiftState()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        for (const auto &[key, stato] : { std::pair(Qt::Key_PageDown, 0), std::pair(Qt::Key_PageDown, 1),
                 std::pair(Qt::Key_PageUp, 0), std::pair(Qt::Key_PageUp, int(HelpPages::Introduction)) }) {
            press(key, modifiers);
            checkPage(qint16(stato));
        }
        QCOMPARE(window->editorText(), sampleLetter());
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

    void downKeepsTheHorizontalPosition()
    {
        const int x = htext->cursorRect().x();
        press(Qt::Key_Down);
        // Line 5 runs from offset 70 to 112; the column follows the pixels.
        QVERIFY(caret() > 70 && caret() < 112);
        QVERIFY(qAbs(htext->cursorRect().x() - x) < 8);
        press(Qt::Key_Up);
        QCOMPARE(caret(), 43);
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
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
