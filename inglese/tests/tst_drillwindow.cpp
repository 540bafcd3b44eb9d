#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "PictureButton.h"
#include "fakeplatform.h"
#include "session.h"

#include <QAction>
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
const QString Smiling = QStringLiteral(":/inglese/faccia1.svg");
const QString Laughing = QStringLiteral(":/inglese/faccia2.svg");
const QString Sad = QStringLiteral(":/inglese/faccia3.svg");

template<typename T = QLabel>
T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

// A desktop that also notes the drill window's pointer whenever a message shows.
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

// A drill window shown over words of lesson 12, every one selected and asked
// in forward order.
struct Drilling
{
    Session session;
    PointerWatchingPlatform platform;
    std::unique_ptr<DrillWindow> w;

    explicit Drilling(bool fromItalian)
    {
        const QList<QStringList> rows {
            { "house", "casa (abitazione, dimora)" },
            { "light", "luce" },
            { "light", "leggero" },
            { "to walk", "camminare" },
        };
        for (const QStringList &r : rows)
            session.words.append(u"12  ", r.at(0).leftJustified(50), r.at(1).leftJustified(50));
        session.selection.options.order = 2;
        session.selection.buildSelection(session.words, session.memoc);
        session.points = 987;
        if (fromItalian)
            w.reset(new Form3(session, platform));
        else
            w.reset(new Form2(session, platform));
        platform.window = w.get();
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QApplication::setActiveWindow(w.get());
    }
    // Makes the next "Via!" ask `word`.
    void next(int word)
    {
        session.selection.pendingWord = 0;
        session.selection.selectionPos = word;
    }
    PictureButton *button(const char *name) const { return child<PictureButton>(w.get(), name); }
    QString text(const char *name) const { return child<QWidget>(w.get(), name)->property("text").toString(); }
    QTimer *timer(const char *name) const { return child<QTimer>(w.get(), name); }
    QColor typingColour() const { return w->typingBox()->palette().color(QPalette::Text); }
};
} // namespace

class TestDrillWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensReady_data()
    {
        QTest::addColumn<bool>("fromItalian");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Form2") << false << "    Prova dall' INGLESE";
        QTest::newRow("Form3") << true << "    Prova dall' Italiano";
    }
    void opensReady()
    {
        QFETCH(bool, fromItalian);
        Drilling d(fromItalian);
        QTEST(d.w->windowTitle(), "caption");
        QCOMPARE(d.w->pos(), QPoint((1280 - 600) / 2, (1024 - 400) / 2));
        QCOMPARE(d.text("labpunti"), "987");
        QCOMPARE(d.text("Command1"), "Via!");
        QVERIFY(d.button("Command1")->isEnabled());
        QVERIFY(d.button("Command2")->isHidden());
        QVERIFY(child<QWidget>(d.w.get(), "aiuto")->isHidden());
        for (const char *face : { "Face0", "Face1", "Face2", "Face3" }) {
            QVERIFY(child(d.w.get(), face)->isHidden());
            QVERIFY(!child(d.w.get(), face)->pixmap().isNull());
        }
        // The flag lies behind every control and follows the window's size.
        QWidget *flag = child<QWidget>(d.w.get(), "bandiera");
        QCOMPARE(d.w->children().indexOf(flag), 0);
        d.w->resize(800, 250);
        QCOMPARE(flag->geometry(), QRect(0, 0, 800, 250));
    }

    // One question typed at the keyboard: an alternative followed, a wrong
    // letter, its correction and the completed answer.
    void questionAtTheKeyboard()
    {
        Drilling d(false);
        QVERIFY(QTest::qWaitForWindowActive(d.w.get()));
        PictureButton *go = d.button("Command1");
        QLineEdit *typing = d.w->typingBox();

        QTest::mouseClick(go, Qt::LeftButton);
        QCOMPARE(d.w->shownBox()->text(), "house");
        QCOMPARE(d.text("Lablez"), "Lez/Num 12/1");
        QVERIFY(!go->isEnabled());
        QVERIFY(typing->hasFocus());

        QTest::keyClicks(typing, "ab");
        QCOMPARE(d.typingColour(), QColor(Qt::black));
        QCOMPARE(d.platform.beeps, 0);
        QTest::keyClicks(typing, "x");
        QCOMPARE(d.typingColour(), QColor(255, 0, 0));
        QCOMPARE(d.platform.beeps, 5);
        QTest::keyClick(typing, Qt::Key_Backspace);
        QCOMPARE(d.typingColour(), QColor(Qt::black));

        QTest::keyClicks(typing, "itazione");
        QCOMPARE(d.platform.beeps, 45);
        QVERIFY(go->isEnabled());
        QVERIFY(go->hasFocus());
        QCOMPARE(go->text(), "Un altro?");
        QCOMPARE(go->shownPicture(), Laughing);
        QVERIFY(!d.timer("Timer1")->isActive());
        QCOMPARE(d.text("labpunti"), "997");
        QCOMPARE(d.text("Label4"), "Già fatti =1 Critici =0");
        QCOMPARE(d.platform.shown.size(), 1);
        QCOMPARE(d.platform.shown.at(0).title, "Sinomini di:  house (nelle Lez. scelte)");
        QCOMPARE(d.platform.shown.at(0).text, "(Lez.12)   house = casa (abitazione, dimora)");

        // "Un altro?", focused, asks the next word at the Enter key.
        QTest::keyClick(go, Qt::Key_Return);
        QCOMPARE(d.w->shownBox()->text(), "light");
        QVERIFY(typing->text().isEmpty());
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
        Drilling d(fromItalian);
        d.next(3);
        d.w->Command1_Click();
        d.w->typingBox()->insert(pasted);
        QCOMPARE(d.session.doneCount, answered ? 1 : 0);
        QCOMPARE(d.button("Command1")->text(), answered ? "Un altro?" : "Traduci...");
        QCOMPARE(d.typingColour(), QColor(255, 0, 0));
        QCOMPARE(d.platform.beeps, answered ? 45 : 5);
        QVERIFY(d.platform.shown.isEmpty()); // one accepted answer: no synonyms message
    }

    // A slow question with help, ticking the timers: the sad face, the help
    // button and box, the penalties, the critical mark, then "Allora?".
    void slowQuestionWithHelp()
    {
        Drilling d(false);
        QVERIFY(QTest::qWaitForWindowActive(d.w.get()));
        PictureButton *go = d.button("Command1");
        PictureButton *help = d.button("Command2");
        QWidget *helpBox = child<QWidget>(d.w.get(), "aiuto");
        d.next(1);
        d.w->Command1_Click();
        QTest::keyClicks(d.w->typingBox(), "lx");

        for (int t = 1; t <= 10; ++t)
            d.w->Timer1_Timer();
        QVERIFY(help->isHidden());
        d.w->Timer1_Timer();
        QCOMPARE(go->text(), "Sei lento!");
        QCOMPARE(go->shownPicture(), Sad);
        QVERIFY(!help->isHidden());
        QCOMPARE(d.text("labpunti"), "985");

        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(!helpBox->isHidden());
        QCOMPARE(d.text("aiuto"), "lu##");
        QCOMPARE(d.text("labpunti"), "983");
        QVERIFY(d.w->typingBox()->hasFocus());

        QTest::keyClick(d.w->typingBox(), Qt::Key_Backspace);
        QVERIFY(!help->isHidden()); // until the next tick
        d.w->Timer1_Timer();
        QVERIFY(help->isHidden());
        QVERIFY(helpBox->isHidden());

        QTest::keyClicks(d.w->typingBox(), "uce");
        QCOMPARE(go->text(), "Un altro?");
        QCOMPARE(d.text("labpunti"), "986");
        QVERIFY(d.session.memoc.contains(1));
        QCOMPARE(d.text("Label4"), "Già fatti =1 Critici =1");

        for (int t = 1; t <= 6; ++t) {
            QCOMPARE(go->text(), "Un altro?");
            d.w->Timer2_Timer();
        }
        QCOMPARE(go->text(), "Allora?");
        QCOMPARE(go->shownPicture(), Smiling);
        QVERIFY(!d.timer("Timer2")->isActive());
    }

    // At the end of the forward order the draw asks whether to start again;
    // the Italian drill shows the hourglass meanwhile. Cancel asks nothing.
    void drawAtTheEndOfTheOrder_data()
    {
        QTest::addColumn<bool>("fromItalian");
        QTest::addColumn<bool>("again");
        QTest::addColumn<int>("pointer");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Form2, OK") << false << true << int(Qt::ArrowCursor) << "house";
        QTest::newRow("Form3, OK") << true << true << int(Qt::WaitCursor) << "casa (abitazione, dimora)";
        QTest::newRow("Form2, Cancel") << false << false << int(Qt::ArrowCursor) << "";
    }
    void drawAtTheEndOfTheOrder()
    {
        QFETCH(bool, fromItalian);
        QFETCH(bool, again);
        QFETCH(int, pointer);
        Drilling d(fromItalian);
        d.session.selection.selectionPos = d.session.selection.selectionCount;
        d.platform.answers.enqueue(again ? Platform::Answer::Ok : Platform::Answer::Cancel);
        d.w->Command1_Click();
        QCOMPARE(d.platform.shown.at(0).title, "Ricomincio...");
        QCOMPARE(d.platform.pointers, QList<Qt::CursorShape> { Qt::CursorShape(pointer) });
        QCOMPARE(d.w->cursor().shape(), Qt::ArrowCursor);
        QTEST(d.w->shownBox()->text(), "shown");
        QCOMPARE(d.button("Command1")->text(), again ? "Traduci..." : "Via!");
        QCOMPARE(d.button("Command1")->isEnabled(), !again);
        QCOMPARE(d.timer("Timer1")->isActive(), again);
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
        QFile file(dir.filePath("inglese.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("12   " + QByteArray("dog").leftJustified(50) + "cane\r\n 3   " + QByteArray("cat").leftJustified(50) + "gatto\r\n");
        file.close();

        Session session;
        FakePlatform platform;
        platform.folder = dir.path();
        Form1 main(session, platform);
        QVERIFY(main.Form_Load());
        main.show();
        if (fromMenu)
            child<QAction>(&main, fromItalian ? "menuItaIng" : "menuIngIta")->trigger();
        else
            QTest::mouseClick(child<QPushButton>(&main, fromItalian ? "Command2" : "Command1"), Qt::LeftButton);
        QVERIFY(main.isHidden());
        QPointer<DrillWindow> drill;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == (fromItalian ? "Form3" : "Form2"))
                drill = qobject_cast<DrillWindow *>(top);
        QVERIFY(drill && drill->isVisible());
        drill->Command1_Click();
        QCOMPARE(drill->shownBox()->text(), fromItalian ? "cane" : "dog");
        for (int t = 1; t <= 25; ++t)
            drill->Timer1_Timer();
        drill->typingBox()->setText(answer);
        QCOMPARE(child(drill.data(), "Label4")->text(), "Già fatti =1 Critici =1");

        QTest::mouseClick(child<QWidget>(drill.data(), "Command3"), Qt::LeftButton);
        QVERIFY(main.isVisible());
        QTRY_VERIFY(drill.isNull());
        QCOMPARE(session.words.lessonColumn(), (QStringList { "12 c", " 3" }));

        main.close();
        QFile log(dir.filePath("inglelog"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains(QStringLiteral("    1/%1/1 ").arg(1000 - 22 + answer.size()).toLatin1()));
    }
};

QTEST_MAIN(TestDrillWindow)
#include "tst_drillwindow.moc"
