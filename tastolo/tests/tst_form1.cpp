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
    QString helpText() { return label("AiuT")->text(); }
    QColor helpColour() { return label("AiuT")->palette().color(QPalette::WindowText); }
    int caret() { return window->insertionOffset(); }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(htext, Qt::Key(key), modifiers);
    }
    // Checks that the help column shows state `stato`.
    void checkPage(qint16 stato)
    {
        QCOMPARE(window->state().Stato, stato);
        QCOMPARE(label("Label2")->text(), HelpPages::number(stato));
        QCOMPARE(helpText(), TextFile::toLf(HelpPages::text(stato)));
        QLabel *picture = label("AiuI");
        if (stato == HelpPages::Introduction) {
            QVERIFY(!picture->isVisible());
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

    void startsWithTheSampleLetter()
    {
        const QString letter = window->editorText();
        QCOMPARE(letter.size(), 267);
        QCOMPARE(letter, sampleLetter());
        QVERIFY(letter.startsWith(QStringLiteral("Pratomane 26/01/2009\r\n\r\n\r\nQuesto è il mio p")));
        QVERIFY(letter.endsWith(QString(37, QLatin1Char(' ')) + QStringLiteral("Tobiolo")));
        QCOMPARE(caret(), 43);
        QCOMPARE(letter.mid(caret() - 1, 2), QStringLiteral("pr"));
        QVERIFY(!htext->textCursor().hasSelection());
        QCOMPARE(QApplication::focusWidget(), htext);
        QVERIFY(!window->isModified());
        QCOMPARE(window->pos(), QPoint(px(400), px(400)));
        QVERIFY(window->windowTitle().startsWith(QStringLiteral(" ALLENAMENTO  SULLA  TASTIERA  ")));
    }

    void startsWithTheIntroduction()
    {
        QCOMPARE(window->state().Stato, HelpPages::Introduction);
        QCOMPARE(helpText(),
            QStringLiteral("\n\nCliccando PagGiu (avanti) o PagSu (indietro) compaiono qui chiarimenti "
                           "su alcune funzioni e tasti particolari.\n\nE' possibile sperimentarli "
                           "direttamente nell'area a fianco."));
        QCOMPARE(helpColour(), QColor(255, 0, 255));
        QVERIFY(label("AiuI")->pixmap().isNull());
        QCOMPARE(label("Label2")->text() + label("Label3")->text(), QStringLiteral("0/14"));
        QCOMPARE(label("AiuT")->y(), px(960));
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("menuFileSave"))->isEnabled());
    }

    void closingAtOnceAsksNothing()
    {
        QVERIFY(window->close());
        QVERIFY(platform.shown.isEmpty());
    }

    void closingAsksOnlyWhenTheUserCloses()
    {
        QTest::keyClick(htext, Qt::Key_X);
        window->setSessionEnding(true);
        QVERIFY(window->close());
        QVERIFY(platform.shown.isEmpty());
        // The user's own close asks, and closes whatever the answer.
        window->setSessionEnding(false);
        window->show();
        platform.answers.enqueue(Platform::Answer::No);
        QVERIFY(window->close());
        QCOMPARE(platform.shown.size(), 1);
    }

    void pageDownRing()
    {
        for (qint16 stato = 0; stato < HelpPages::PageCount; ++stato) {
            press(Qt::Key_PageDown);
            checkPage(stato);
        }
        press(Qt::Key_PageDown);
        checkPage(HelpPages::Introduction);
        press(Qt::Key_PageDown);
        checkPage(0);
        QCOMPARE(helpText().section(QLatin1Char('\n'), 0, 0), QStringLiteral("Punto d'Inserimento e Mouse"));
    }

    void pageUpRing()
    {
        for (qint16 stato = HelpPages::PageCount - 1; stato >= 0; --stato) {
            press(Qt::Key_PageUp);
            checkPage(stato);
        }
        QCOMPARE(label("Label2")->text(), QStringLiteral("1"));
        press(Qt::Key_PageUp);
        checkPage(HelpPages::Introduction);
    }

    void pageTextsAsTold_data()
    {
        QTest::addColumn<int>("stato");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("lastParagraph");
        QTest::newRow("page 1")
            << 0 << "Punto d'Inserimento e Mouse"
            << "Un clic del Mouse sposta la barretta | sulla I o nella posizione valida più vicina.";
        QTest::newRow("page 14")
            << 13 << "Caratteri Speciali"
            << "Programmi più sofisticati consentono anche caratteri non mostrati sulla tastiera, "
               "usando varie combinazioni dei tasti Maiuscolo, Ctrl, Alt.";
    }
    void pageTextsAsTold()
    {
        QFETCH(int, stato);
        QFETCH(QString, title);
        QFETCH(QString, lastParagraph);
        const QString text = HelpPages::text(qint16(stato));
        QVERIFY(text.startsWith(title + QStringLiteral("\r\n\r\n")));
        QVERIFY(text.endsWith(QStringLiteral("\r\n") + lastParagraph));
        // The trailing blank of a paragraph and the double blanks belong to the text.
        QVERIFY(HelpPages::text(0).contains(QStringLiteral("segue il movimento. \r\nUn clic")));
        QVERIFY(HelpPages::text(8).contains(QStringLiteral("\"caratteri invisibili\" e  congiungere")));
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
        press(Qt::Key_PageDown, modifiers);
        checkPage(0);
        press(Qt::Key_PageDown, modifiers);
        checkPage(1);
        press(Qt::Key_PageUp, modifiers);
        checkPage(0);
        press(Qt::Key_PageUp, modifiers);
        checkPage(HelpPages::Introduction);
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

    void otherKeysLeaveThePage()
    {
        for (int key : { Qt::Key_Down, Qt::Key_End, Qt::Key_Home, Qt::Key_Tab, Qt::Key_A, Qt::Key_Insert })
            press(key);
        QCOMPARE(window->state().Stato, HelpPages::Introduction);
        QCOMPARE(label("Label2")->text(), QStringLiteral("0"));
        QCOMPARE(helpText(), TextFile::toLf(HelpPages::text(HelpPages::Introduction)));
        QVERIFY(label("AiuI")->pixmap().isNull());
    }

    void tabInsertsATabAndKeepsTheFocus()
    {
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), htext);
        QCOMPARE(window->editorText(), sampleLetter().insert(43, QLatin1Char('\t')));
        QCOMPARE(caret(), 44);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), htext);
        // A tab stop every 1.25 cm.
        QCOMPARE(htext->tabStopDistance(), 1.25 / 2.54 * htext->logicalDpiX());
    }

    void editingKeys_data()
    {
        QTest::addColumn<QTestEventList>("keys");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("modified");
        const QString line4 = QStringLiteral("Questo è il mio primo lavoro al computer e");
        const QString line5 = QStringLiteral("sono molto contento di imparare ad usarlo.");
        QTestEventList typing;
        typing.addKeyClicks(QStringLiteral("xy"));
        QTest::newRow("typing inserts") << typing << QStringLiteral("Questo è il mio pxyrimo") << 45 << true;
        QTestEventList insert;
        insert.addKeyClick(Qt::Key_Insert);
        insert.addKeyClicks(QStringLiteral("x"));
        QTest::newRow("Insert never overwrites")
            << insert << QStringLiteral("Questo è il mio pxrimo") << 44 << true;
        QTestEventList enter;
        enter.addKeyClick(Qt::Key_Return);
        QTest::newRow("Enter splits the line")
            << enter << QStringLiteral("Questo è il mio p\r\nrimo") << 45 << true;
        QTestEventList endDelete;
        endDelete.addKeyClick(Qt::Key_End);
        endDelete.addKeyClick(Qt::Key_Delete);
        QTest::newRow("Delete at the end joins") << endDelete << line4 + line5 << 26 + 42 << true;
        QTestEventList homeBackspace;
        homeBackspace.addKeyClick(Qt::Key_Down);
        homeBackspace.addKeyClick(Qt::Key_Home);
        homeBackspace.addKeyClick(Qt::Key_Backspace);
        QTest::newRow("Backspace at the start joins") << homeBackspace << line4 + line5 << 26 + 42 << true;
        QTestEventList backspace;
        backspace.addKeyClick(Qt::Key_Backspace);
        QTest::newRow("Backspace removes the left character")
            << backspace << QStringLiteral("mio rimo") << 42 << true;
        QTestEventList endRight;
        endRight.addKeyClick(Qt::Key_End);
        endRight.addKeyClick(Qt::Key_Right);
        QTest::newRow("Right passes the line break")
            << endRight << line4 + QStringLiteral("\r\n") + line5 << 70 << false;
        QTestEventList up;
        up.addKeyClick(Qt::Key_Up);
        QTest::newRow("Up to a shorter line goes to its end") << up << line4 << 24 << false;
        QTestEventList selection;
        selection.addKeyClick(Qt::Key_Right, Qt::ShiftModifier);
        selection.addKeyClick(Qt::Key_Right, Qt::ShiftModifier);
        selection.addKeyClicks(QStringLiteral("Z"));
        QTest::newRow("a typed character replaces the selection")
            << selection << QStringLiteral("mio pZmo") << 44 << true;
    }
    void editingKeys()
    {
        QFETCH(QTestEventList, keys);
        QFETCH(QString, line);
        QFETCH(int, offset);
        QFETCH(bool, modified);
        keys.simulate(htext);
        QVERIFY2(window->editorText().contains(line), qPrintable(window->editorText()));
        QCOMPARE(caret(), offset);
        QCOMPARE(window->isModified(), modified);
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

    void typingAndDeletingLeavesTheTextUnmodified()
    {
        QTest::keyClicks(htext, QStringLiteral("abc"));
        QVERIFY(window->isModified());
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Backspace);
        QVERIFY(!window->isModified());
        window->close();
        QVERIFY(platform.shown.isEmpty());
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
        window->setEditorText(
            QString(40, QLatin1Char(' ')).replace(QLatin1Char(' '), QStringLiteral("parola ")));
        QCoreApplication::processEvents();
        QCOMPARE(htext->horizontalScrollBar()->maximum(), 0);
        QVERIFY(htext->document()->firstBlock().layout()->lineCount() > 1);
        QVERIFY(htext->verticalScrollBar()->isVisible());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
