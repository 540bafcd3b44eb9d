#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "PictureButton.h"
#include "fakeplatform.h"
#include "session.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
const QString Neutral = QStringLiteral(":/inglese/faccia0.svg");
const QString Smiling = QStringLiteral(":/inglese/faccia1.svg");
const QString Laughing = QStringLiteral(":/inglese/faccia2.svg");
const QString Sad = QStringLiteral(":/inglese/faccia3.svg");

// Words of lesson 12, every one selected, asked in forward order.
void fill(Session &session)
{
    const QList<QStringList> rows {
        { "house", "casa (abitazione, dimora)" },
        { "light", "luce" },
        { "light", "leggero" },
        { "to walk", "camminare" },
    };
    for (const QStringList &r : rows)
        session.words.append("12  ", "12", r.at(0).leftJustified(50), r.at(1).leftJustified(50));
    session.selection.options.order = 2;
    session.selection.buildSelection(session.words, session.memoc);
}

void next(Session &session, int word)
{
    session.selection.pendingWord = 0;
    session.selection.selectionPos = word;
}

std::unique_ptr<DrillWindow> open(bool fromItalian, Session &session, Platform &platform)
{
    std::unique_ptr<DrillWindow> w;
    if (fromItalian)
        w.reset(new Form3(session, platform));
    else
        w.reset(new Form2(session, platform));
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->show();
    QApplication::setActiveWindow(w.get());
    return w;
}

template<typename T>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

PictureButton *button(QWidget *w, const char *name)
{
    return child<PictureButton>(w, name);
}

QColor textColour(QLineEdit *box)
{
    return box->palette().color(QPalette::Text);
}

QRect twips(int l, int t, int w, int h)
{
    return { l / 15, t / 15, w / 15, h / 15 };
}

// A desktop that notes the drill window's pointer whenever a message shows.
class PointerWatchingPlatform : public FakePlatform
{
public:
    QWidget *window = nullptr;
    QList<Qt::CursorShape> pointers;
    Answer message(const QString &title, const QString &text, Buttons buttons, Icon icon) override
    {
        pointers.append(window ? window->cursor().shape() : Qt::BlankCursor);
        return FakePlatform::message(title, text, buttons, icon);
    }
};
} // namespace

class TestDrillWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensAsDesigned_data()
    {
        QTest::addColumn<bool>("fromItalian");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("typing");
        QTest::addColumn<QRect>("typingPlace");
        QTest::addColumn<QRect>("shownPlace");
        QTest::newRow("Form2") << false << "    Prova dall' INGLESE" << "Textit" << twips(195, 2520, 8415, 480)
                               << twips(225, 1005, 8415, 435);
        QTest::newRow("Form3") << true << "    Prova dall' Italiano" << "Textin" << twips(255, 2505, 8220, 480)
                               << twips(240, 1035, 8235, 480);
    }
    void opensAsDesigned()
    {
        QFETCH(bool, fromItalian);
        QFETCH(QString, caption);
        QFETCH(QString, typing);
        QFETCH(QRect, typingPlace);
        QFETCH(QRect, shownPlace);
        Session session;
        FakePlatform platform;
        fill(session);
        session.points = 987;
        session.doneCount = 4;
        session.memoc.add(2);
        auto w = open(fromItalian, session, platform);

        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->objectName(), fromItalian ? "Form3" : "Form2");
        QCOMPARE(w->typingBox()->objectName(), typing);
        QCOMPARE(w->typingBox()->geometry(), typingPlace);
        QCOMPARE(w->shownBox()->geometry(), shownPlace);
        QCOMPARE(w->size(), QSize(600, 400));
        QCOMPARE(w->pos(), QPoint((1280 - 600) / 2, (1024 - 400) / 2));
        QCOMPARE(platform.seeds, 1);

        QCOMPARE(child<QLabel>(w.get(), "labpunti")->text(), "987");
        QCOMPARE(child<QLabel>(w.get(), "Label4")->text(), "Già fatti =4 Critici =1");
        QVERIFY(w->typingBox()->text().isEmpty());
        QVERIFY(w->shownBox()->text().isEmpty());

        PictureButton *go = button(w.get(), "Command1");
        QCOMPARE(go->text(), "Via!");
        QVERIFY(go->isEnabled());
        QCOMPARE(go->toolTip(), "Cliccami per cominciare ...");
        QCOMPARE(go->normalPicture(), Neutral);
        QCOMPARE(go->disabledPicture(), Neutral);
        QCOMPARE(go->pressedPicture(), Laughing);
        QVERIFY(!go->icon().isNull());
        QVERIFY(button(w.get(), "Command2")->isHidden());
        QCOMPARE(button(w.get(), "Command2")->normalPicture(), ":/inglese/croce.svg");
        QCOMPARE(button(w.get(), "Command3")->normalPicture(), ":/inglese/freccia.svg");
        QVERIFY(child<QLineEdit>(w.get(), "aiuto")->isHidden());
        for (const char *face : { "Face0", "Face1", "Face2", "Face3" }) {
            QVERIFY(child<QLabel>(w.get(), face)->isHidden());
            QVERIFY(!child<QLabel>(w.get(), face)->pixmap().isNull());
        }
        for (const char *timer : { "Timer1", "Timer2" }) {
            QTimer *t = w->findChild<QTimer *>(QString::fromLatin1(timer));
            QVERIFY(t);
            QVERIFY(!t->isActive());
            QCOMPARE(t->interval(), 1000);
        }
    }

    void flagFollowsTheWindow()
    {
        Session session;
        FakePlatform platform;
        auto w = open(false, session, platform);
        QWidget *flag = child<QWidget>(w.get(), "bandiera");
        QCOMPARE(flag->geometry(), w->rect());
        w->resize(800, 250);
        QCOMPARE(flag->geometry(), QRect(0, 0, 800, 250));
        // Behind every control.
        QCOMPARE(w->children().indexOf(flag), 0);
    }

    // One question typed at the keyboard: an alternative followed, a wrong
    // letter, its correction and the completed answer.
    void questionAtTheKeyboard()
    {
        Session session;
        FakePlatform platform;
        fill(session);
        auto w = open(false, session, platform);
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        PictureButton *go = button(w.get(), "Command1");
        QLineEdit *typing = w->typingBox();

        QTest::mouseClick(go, Qt::LeftButton);
        QCOMPARE(w->shownBox()->text(), "house");
        QCOMPARE(child<QLabel>(w.get(), "Lablez")->text(), "Lez/Num 12/1");
        QVERIFY(!go->isEnabled());
        QCOMPARE(go->text(), "Traduci...");
        QVERIFY(typing->hasFocus());
        QVERIFY(w->findChild<QTimer *>("Timer1")->isActive());

        QTest::keyClicks(typing, "ab");
        QCOMPARE(textColour(typing), QColor(Qt::black));
        QCOMPARE(platform.beeps, 0);
        QTest::keyClicks(typing, "x");
        QCOMPARE(textColour(typing), QColor(255, 0, 0));
        QCOMPARE(platform.beeps, 5);
        QTest::keyClick(typing, Qt::Key_Backspace);
        QCOMPARE(textColour(typing), QColor(Qt::black));
        QCOMPARE(platform.beeps, 5);

        QTest::keyClicks(typing, "itazione");
        QCOMPARE(platform.beeps, 45);
        QVERIFY(go->isEnabled());
        QVERIFY(go->hasFocus());
        QCOMPARE(go->text(), "Un altro?");
        QCOMPARE(go->normalPicture(), Laughing);
        QCOMPARE(go->shownPicture(), Laughing);
        QCOMPARE(go->toolTip(), "Cliccami per un'altra prova ...");
        QVERIFY(!w->findChild<QTimer *>("Timer1")->isActive());
        QVERIFY(w->findChild<QTimer *>("Timer2")->isActive());
        QCOMPARE(child<QLabel>(w.get(), "labpunti")->text(), "1010");
        QCOMPARE(child<QLabel>(w.get(), "Label4")->text(), "Già fatti =1 Critici =0");
        QCOMPARE(session.selection.pendingWord, 0);
        QCOMPARE(platform.shown.size(), 1);
        QCOMPARE(platform.shown.at(0).title, "Sinomini di:  house (nelle Lez. scelte)");
        QCOMPARE(platform.shown.at(0).text, "(Lez.12)   house = casa (abitazione, dimora)");

        // "Un altro?", focused, asks the next word at the Enter key.
        QTest::keyClick(go, Qt::Key_Return);
        QCOMPARE(w->shownBox()->text(), "light");
        QVERIFY(typing->text().isEmpty());
        QCOMPARE(child<QLabel>(w.get(), "Lablez")->text(), "Lez/Num 12/2");
    }

    void pastedTextWithBlanks_data()
    {
        QTest::addColumn<bool>("fromItalian");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("answered");
        QTest::newRow("Form3 accepts trailing blanks") << true << "to walk   " << true;
        QTest::newRow("Form2 refuses trailing blanks") << false << "camminare   " << false;
        QTest::newRow("Form3 refuses leading blanks") << true << " to walk" << false;
    }
    void pastedTextWithBlanks()
    {
        QFETCH(bool, fromItalian);
        QFETCH(QString, pasted);
        QFETCH(bool, answered);
        Session session;
        FakePlatform platform;
        fill(session);
        auto w = open(fromItalian, session, platform);
        next(session, 3);
        w->Command1_Click();
        w->typingBox()->insert(pasted);
        QCOMPARE(session.doneCount, answered ? 1 : 0);
        QCOMPARE(button(w.get(), "Command1")->text(), answered ? "Un altro?" : "Traduci...");
        QCOMPARE(textColour(w->typingBox()), QColor(255, 0, 0));
        QCOMPARE(platform.beeps, answered ? 45 : 5);
    }

    // A slow question with help, ticking the timers: the sad face, the help
    // button and box, the penalties, the critical mark, then "Allora?".
    void slowQuestionWithHelp()
    {
        Session session;
        FakePlatform platform;
        fill(session);
        auto w = open(false, session, platform);
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        PictureButton *go = button(w.get(), "Command1");
        PictureButton *help = button(w.get(), "Command2");
        QLineEdit *helpBox = child<QLineEdit>(w.get(), "aiuto");
        QLabel *points = child<QLabel>(w.get(), "labpunti");
        next(session, 1);
        w->Command1_Click();
        QTest::keyClicks(w->typingBox(), "lx");

        for (int t = 1; t <= 10; ++t)
            w->Timer1_Timer();
        QCOMPARE(w->windowTitle(), "    Prova dall' INGLESE ... (tempo libero= 10)");
        QCOMPARE(go->text(), "Traduci...");
        QVERIFY(help->isHidden());
        QCOMPARE(points->text(), "999");
        w->Timer1_Timer();
        QCOMPARE(go->text(), "Sei lento!");
        QCOMPARE(go->shownPicture(), Sad);
        QVERIFY(!help->isHidden());
        QCOMPARE(points->text(), "998");

        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(!helpBox->isHidden());
        QCOMPARE(helpBox->text(), "lu##");
        QCOMPARE(points->text(), "996");
        QVERIFY(w->typingBox()->hasFocus());

        QTest::keyClick(w->typingBox(), Qt::Key_Backspace);
        QVERIFY(!help->isHidden()); // until the next tick
        w->Timer1_Timer();
        QVERIFY(help->isHidden());
        QVERIFY(helpBox->isHidden());
        QCOMPARE(points->text(), "995");

        QTest::keyClicks(w->typingBox(), "uce");
        QCOMPARE(go->text(), "Un altro?");
        QCOMPARE(points->text(), "999");
        QVERIFY(session.memoc.contains(1));
        QCOMPARE(child<QLabel>(w.get(), "Label4")->text(), "Già fatti =1 Critici =1");

        for (int t = 1; t <= 5; ++t)
            w->Timer2_Timer();
        QCOMPARE(go->text(), "Un altro?");
        w->Timer2_Timer();
        QCOMPARE(go->text(), "Allora?");
        QCOMPARE(go->shownPicture(), Smiling);
        QVERIFY(!w->findChild<QTimer *>("Timer2")->isActive());
    }

    void hourglassWhilePreparing_data()
    {
        QTest::addColumn<bool>("fromItalian");
        QTest::addColumn<int>("pointer");
        QTest::newRow("Form2") << false << int(Qt::ArrowCursor);
        QTest::newRow("Form3") << true << int(Qt::WaitCursor);
    }
    void hourglassWhilePreparing()
    {
        QFETCH(bool, fromItalian);
        QFETCH(int, pointer);
        Session session;
        PointerWatchingPlatform platform;
        fill(session);
        auto w = open(fromItalian, session, platform);
        platform.window = w.get();
        // At the end of the forward order the draw asks whether to start again.
        session.selection.selectionPos = session.selection.selectionCount;
        w->Command1_Click();
        QCOMPARE(platform.shown.at(0).title, "Ricomincio...");
        QCOMPARE(platform.pointers, QList<Qt::CursorShape> { Qt::CursorShape(pointer) });
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w->shownBox()->text(), fromItalian ? "casa (abitazione, dimora)" : "house");
    }

    void cancelledDrawAsksNothing()
    {
        Session session;
        FakePlatform platform;
        fill(session);
        auto w = open(false, session, platform);
        session.selection.selectionPos = session.selection.selectionCount;
        platform.answers.enqueue(Platform::Answer::Cancel);
        w->Command1_Click();
        QVERIFY(button(w.get(), "Command1")->isEnabled());
        QCOMPARE(button(w.get(), "Command1")->text(), "Via!");
        QVERIFY(w->shownBox()->text().isEmpty());
        QVERIFY(!w->findChild<QTimer *>("Timer1")->isActive());
    }

    // From the main window and back, with the critical mark, the counter line
    // and the exit log.
    void drillFromTheMainWindow_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("fromItalian");
        QTest::addColumn<QString>("answer");
        QTest::newRow("Ingl -> Ital") << false << false << "cane";
        QTest::newRow("Ital -> Ingl") << false << true << "dog";
        QTest::newRow("Inglese ->Italiano") << true << false << "cane";
        QTest::newRow("Italiano->Inglese") << true << true << "dog";
    }
    void drillFromTheMainWindow()
    {
        QFETCH(bool, fromMenu);
        QFETCH(bool, fromItalian);
        QFETCH(QString, answer);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath("inglese.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("12   " + QByteArray("dog").leftJustified(50) + "cane\r\n");
        file.write(" 3   " + QByteArray("cat").leftJustified(50) + "gatto\r\n");
        file.close();

        Session session;
        FakePlatform platform;
        platform.folder = dir.path();
        Form1 main(session, platform);
        QVERIFY(main.Form_Load());
        main.show();

        if (fromMenu) {
            QAction *entry = main.findChild<QAction *>(fromItalian ? "menuItaIng" : "menuIngIta");
            QVERIFY(entry);
            entry->trigger();
        } else {
            QTest::mouseClick(main.findChild<QPushButton *>(fromItalian ? "Command2" : "Command1"), Qt::LeftButton);
        }
        QVERIFY(main.isHidden());
        QPointer<DrillWindow> drill;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == (fromItalian ? "Form3" : "Form2"))
                drill = qobject_cast<DrillWindow *>(top);
        QVERIFY(drill);
        QVERIFY(drill->isVisible());

        drill->Command1_Click();
        QCOMPARE(drill->shownBox()->text(), fromItalian ? "cane" : "dog");
        for (int t = 1; t <= 25; ++t)
            drill->Timer1_Timer();
        drill->typingBox()->setText(answer);
        QCOMPARE(child<QLabel>(drill.data(), "Label4")->text(), "Già fatti =1 Critici =1");

        QTest::mouseClick(button(drill.data(), "Command3"), Qt::LeftButton);
        QVERIFY(main.isVisible());
        QTRY_VERIFY(drill.isNull());
        QCOMPARE(session.words.Listc, (QStringList { "12 c", " 3" }));

        main.close();
        QFile log(dir.filePath("inglelog"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const int expected = 1000 - 22 + answer.size();
        QVERIFY2(log.readAll().contains(QStringLiteral("    1/%1/1 ").arg(expected).toLatin1()), "exit log");
    }
};

QTEST_MAIN(TestDrillWindow)
#include "tst_drillwindow.moc"
