#include "Form4.h"
#include "fakeplatform.h"
#include "session.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

namespace {
// Words in lessons 0..6; lessons 7..20 have none.
void fill(Session &s, const QList<int> &chosen, const QList<int> &critical = {})
{
    for (int lesson : { 1, 2, 0, 3, 4, 5, 6, 3, 5 })
        s.words.append(QStringLiteral("%1").arg(lesson, 2, 10, QLatin1Char('0')), QString(), "en", "it");
    for (int row = 0; row < s.words.count(); ++row)
        s.lessonState[std::size_t(s.words.lessonOf(row))] = 1;
    s.lessonState[0] = 0;
    for (int lesson : chosen)
        s.lessonState[std::size_t(lesson)] = 2;
    for (int w : critical)
        s.memoc.add(w);
    s.selection.buildSelection(s.words, s.memoc); // as at start-up
}

// Message boxes that can run a step while they are open, as a real one would
// let other events through.
class ScriptedPlatform : public FakePlatform
{
public:
    std::function<void()> whileShown;
    Answer message(const QString &title, const QString &text, Buttons buttons, Icon icon) override
    {
        if (whileShown)
            whileShown();
        return FakePlatform::message(title, text, buttons, icon);
    }
};

QCheckBox *box(Form4 &w, int i)
{
    return w.findChild<QCheckBox *>(QStringLiteral("Ckles%1").arg(i));
}

QRadioButton *option(Form4 &w, int i)
{
    return w.findChild<QRadioButton *>(QStringLiteral("Option%1").arg(i));
}

QList<int> tickedBoxes(Form4 &w)
{
    QList<int> out;
    for (int i = 0; i <= 20; ++i) {
        if (box(w, i)->isChecked())
            out.append(i);
    }
    return out;
}

QList<int> chosenLessons(const Session &s)
{
    QList<int> out;
    for (int i = 1; i <= 20; ++i) {
        if (s.lessonState[std::size_t(i)] == 2)
            out.append(i);
    }
    return out;
}

void press(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

const QString Empty = QStringLiteral("Selezione vuota ... Ripristino Avanti");
} // namespace

class TestForm4 : public QObject
{
    Q_OBJECT

private slots:
    void opens_data()
    {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<int>("orderMode");
        QTest::addColumn<QList<int>>("ticked");

        QTest::newRow("start-up: all lessons, forward") << QList<int> {} << 0 << QList<int> { 0 };
        QTest::newRow("lessons 3 and 5 chosen, backward") << QList<int> { 3, 5 } << 3 << QList<int> { 3, 5 };
        QTest::newRow("critical order kept") << QList<int> { 6 } << 4 << QList<int> { 6 };
    }
    void opens()
    {
        QFETCH(QList<int>, chosen);
        QFETCH(int, orderMode);
        QFETCH(QList<int>, ticked);

        Session s;
        FakePlatform p;
        fill(s, chosen);
        if (orderMode)
            s.selection.orderMode = orderMode;
        Form4 w(s, p);
        QCOMPARE(w.windowTitle(), QStringLiteral("   OPZIONI"));
        QCOMPARE(w.pos(), QPoint(0, 0));
        QCOMPARE(tickedBoxes(w), ticked);
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(option(w, i)->isChecked(), i == (orderMode ? orderMode : 2));
        QCOMPARE(box(w, 0)->text(), QStringLiteral("Tutte"));
        for (int i = 1; i <= 20; ++i) {
            QCOMPARE(box(w, i)->text(), QStringLiteral("N.%1").arg(i));
            QCOMPARE(box(w, i)->isEnabled(), i <= 6);
        }
        QVERIFY(w.findChild<QLabel *>("Label6")->isVisibleTo(&w));
        QVERIFY(w.findChild<QPushButton *>("Command2")->isVisibleTo(&w));
        QCOMPARE(w.findChild<QPushButton *>("Command1")->toolTip(), QStringLiteral("Opzioni impostate"));
    }

    // Steps: "m4" presses box N.4 with the mouse, "k4" toggles it with the
    // space bar, "m0"/"k0" act on "Tutte".
    void lessonBoxes_data()
    {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("ticked");

        QTest::newRow("ticking N.4 unticks Tutte") << QList<int> {} << QStringList { "m4" } << QList<int> { 4 };
        QTest::newRow("unticking the last lesson ticks Tutte")
            << QList<int> {} << QStringList { "m4", "m4" } << QList<int> { 0 };
        QTest::newRow("unticking one of two keeps the other")
            << QList<int> {} << QStringList { "m4", "m5", "m4" } << QList<int> { 5 };
        QTest::newRow("Tutte unticks every lesson") << QList<int> { 3, 5 } << QStringList { "m0" } << QList<int> { 0 };
        QTest::newRow("Tutte while ticked leaves no box ticked")
            << QList<int> {} << QStringList { "m0" } << QList<int> {};
        QTest::newRow("a lesson after Tutte was unticked") << QList<int> {} << QStringList { "m0", "m2" }
                                                           << QList<int> { 2 };
        QTest::newRow("keyboard counts like the mouse")
            << QList<int> {} << QStringList { "k4", "k6", "k4", "k6" } << QList<int> { 0 };
        QTest::newRow("keyboard after a mouse tick") << QList<int> {} << QStringList { "m4", "k6" }
                                                     << QList<int> { 4, 6 };
        QTest::newRow("keyboard on Tutte") << QList<int> { 2 } << QStringList { "k0" } << QList<int> { 0 };
        QTest::newRow("a lesson without words cannot be ticked")
            << QList<int> {} << QStringList { "m9", "k9" } << QList<int> { 0 };
    }
    void lessonBoxes()
    {
        QFETCH(QList<int>, chosen);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, ticked);

        Session s;
        FakePlatform p;
        fill(s, chosen);
        Form4 w(s, p);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (const QString &step : steps) {
            QCheckBox *b = box(w, step.mid(1).toInt());
            if (step.startsWith('m')) {
                press(b);
            } else {
                b->setFocus();
                QTest::keyClick(b, Qt::Key_Space);
            }
        }
        QCOMPARE(tickedBoxes(w), ticked);
        // What the boxes show is what the run keeps (and the exit log writes).
        QList<int> lessons = ticked;
        lessons.removeAll(0);
        QCOMPARE(chosenLessons(s), lessons);
        for (int i = 7; i <= 20; ++i)
            QCOMPARE(s.lessonState[std::size_t(i)], 0);
    }

    void restart_data()
    {
        QTest::addColumn<int>("doneCount");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("pendingWord");
        QTest::addColumn<int>("builtMode");

        QTest::newRow("no word answered yet") << 0 << "" << false << 4 << 2;
        QTest::newRow("words answered") << 3 << "" << true << 4 << 2;
        QTest::newRow("an order button clicked") << 3 << "order" << false << 0 << 2;
        QTest::newRow("a lesson box clicked") << 3 << "lesson" << false << 0 << 9;
        QTest::newRow("Daccapo clicked") << 3 << "restart" << false << 0 << 9;
    }
    void restart()
    {
        QFETCH(int, doneCount);
        QFETCH(QString, action);
        QFETCH(bool, enabled);
        QFETCH(int, pendingWord);
        QFETCH(int, builtMode);

        Session s;
        FakePlatform p;
        fill(s, {});
        s.doneCount = doneCount;
        s.selection.pendingWord = 4;
        Form4 w(s, p);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *daccapo = w.findChild<QPushButton *>("Command2");
        QCOMPARE(daccapo->toolTip(), QStringLiteral("Ricomincia con le stesse Opzioni"));
        if (action == "order")
            press(option(w, 1));
        else if (action == "lesson")
            press(box(w, 3));
        else if (action == "restart")
            press(daccapo);
        QCOMPARE(daccapo->isEnabled(), enabled);
        QCOMPARE(s.selection.pendingWord, pendingWord);
        QCOMPARE(s.selection.builtMode, builtMode);
        QVERIFY(w.isVisible()); // none of these closes the window
        QVERIFY(p.shown.isEmpty());
    }

    void apply_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<int>>("lessons"); // boxes pressed
        QTest::addColumn<QList<int>>("critical");
        QTest::addColumn<int>("answer"); // to the empty-selection message: 1 OK, 0 Cancel
        QTest::addColumn<bool>("message");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("orderMode");
        QTest::addColumn<QList<int>>("selection");

        QTest::newRow("backward over lesson 3") << 3 << QList<int> { 3 } << QList<int> {} << 1 << false << true << 3
                                                << QList<int> { 3, 7 };
        QTest::newRow("critical words of the chosen lessons")
            << 4 << QList<int> { 3 } << QList<int> { 0, 7, 3 } << 1 << false << true << 4 << QList<int> { 3, 7 };
        QTest::newRow("no critical word, OK falls back to forward")
            << 4 << QList<int> { 3 } << QList<int> { 0 } << 1 << true << true << 2 << QList<int> { 3, 7 };
        QTest::newRow("no critical word, Cancel keeps the window")
            << 4 << QList<int> {} << QList<int> {} << 0 << true << false << 4 << QList<int> {};
        QTest::newRow("no box ticked, OK closes with nothing to ask")
            << 2 << QList<int> { 0 } << QList<int> {} << 1 << true << true << 2 << QList<int> {};
    }
    void apply()
    {
        QFETCH(int, order);
        QFETCH(QList<int>, lessons);
        QFETCH(QList<int>, critical);
        QFETCH(int, answer);
        QFETCH(bool, message);
        QFETCH(bool, closed);
        QFETCH(int, orderMode);
        QFETCH(QList<int>, selection);

        Session s;
        FakePlatform p;
        p.answers.enqueue(answer ? Platform::Answer::Ok : Platform::Answer::Cancel);
        fill(s, {}, critical);
        Form4 w(s, p);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        press(option(w, order));
        for (int lesson : lessons)
            press(box(w, lesson));
        press(w.findChild<QPushButton *>("Command1"));

        QCOMPARE(p.shown.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(p.shown.at(0).title, QStringLiteral("Rifare la Scelta..."));
            QCOMPARE(p.shown.at(0).text, Empty);
            QCOMPARE(p.shown.at(0).buttons, Platform::Buttons::OkCancel);
        }
        QCOMPARE(!w.isVisible(), closed);
        QCOMPARE(s.selection.orderMode, orderMode);
        QVERIFY(option(w, orderMode)->isChecked());
        if (closed) {
            QCOMPARE(s.selection.selection.mid(1, s.selection.selectionCount), selection);
            // After the fallback the next build starts afresh.
            QCOMPARE(s.selection.builtMode, message ? 9 : orderMode);
        }
    }

    // Each route closes the window and applies once, even when the message
    // shown while applying lets a second close or a switch of window through.
    void closeRoutes_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("OK") << "ok";
        QTest::newRow("close control") << "close";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("switch to another window") << "switch";
    }
    void closeRoutes()
    {
        QFETCH(QString, route);

        Session s;
        ScriptedPlatform p;
        fill(s, {});
        QWidget other;
        other.resize(100, 100);
        other.move(400, 400);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));

        Form4 w(s, p);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        press(option(w, 4)); // nothing is critical: applying shows a message
        p.whileShown = [&] {
            w.close();
            other.activateWindow();
            QCoreApplication::processEvents();
        };

        if (route == "ok") {
            press(w.findChild<QPushButton *>("Command1"));
        } else if (route == "close") {
            w.close();
        } else if (route == "escape") {
            QTest::keyClick(&w, Qt::Key_Escape);
        } else {
            other.activateWindow();
            QTRY_VERIFY(!w.isVisible());
        }
        QCoreApplication::processEvents();
        QCOMPARE(p.shown.size(), 1);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(s.selection.orderMode, 2);
        QCOMPARE(s.selection.builtMode, 9);

        w.close(); // a closed window applies nothing more
        QCOMPARE(p.shown.size(), 1);
    }

    void rules_data()
    {
        QTest::addColumn<bool>("rulesView");
        QTest::newRow("options view") << false;
        QTest::newRow("rules view") << true;
    }
    void rules()
    {
        QFETCH(bool, rulesView);

        Session s;
        FakePlatform p;
        fill(s, {});
        s.doneCount = 2;
        Form4 w(s, p);
        if (rulesView)
            w.showRules();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        auto *peri = w.findChild<PrintBox *>("peri");
        QVERIFY(peri);
        const QStringList expected {
            "REGOLE",
            " PARTENZA",
            "  - all'inizio vengono assegnati",
            "    1000 punti",
            " PREMIO",
            "  - ogni parola completata dà tanti",
            "    punti quante sono le sue lettere",
            " PENALITA'  n.1 (tempo risposta)",
            "  - nel tempo limite: zero punti",
            "  - da 1 a 2 volte il tempo limite:",
            "    un punto circa ogni secondo",
            "  - da 2 a 3 volte il tempo limite: ",
            "    due punti circa ogni secondo",
            "  - oltre: sempre di più",
            " PENALITA'  n.2 (uso dell'aiuto)",
            "  - si dimezza il PREMIO",
        };
        QCOMPARE(peri->lines(), expected);
        QVERIFY(peri->isVisible());

        for (const char *name : { "Label6", "Frame1", "Frame2", "Command2" })
            QCOMPARE(w.findChild<QWidget *>(name)->isVisible(), !rulesView);
        QCOMPARE(w.findChild<QPushButton *>("Command1")->toolTip(),
                 rulesView ? QStringLiteral("Chiudi REGOLE") : QStringLiteral("Opzioni impostate"));
        // Centred in the frame rectangle in the rules view.
        QCOMPARE(peri->x(), rulesView ? 54 : 93);
        QCOMPARE(peri->width(), 201);
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
