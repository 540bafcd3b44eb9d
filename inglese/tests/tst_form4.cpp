#include "Form4.h"
#include "fakeplatform.h"
#include "session.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <memory>

namespace {
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

void press(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// The options window over words in lessons 0..6 (lessons 7..20 have none),
// with `chosen` lessons ticked and `critical` words marked.
struct Options
{
    Session s;
    ScriptedPlatform p;
    std::unique_ptr<Form4> w;

    Options(const QList<int> &chosen, const QList<int> &critical = {})
    {
        for (int lesson : { 1, 2, 0, 3, 4, 5, 6, 3, 5 })
            s.words.append(QStringLiteral("%1").arg(lesson, 2, 10, QLatin1Char('0')), u"en", u"it");
        for (int row = 0; row < s.words.count(); ++row)
            s.lessonState[std::size_t(s.words.lessonOf(row))] = 1;
        s.lessonState[0] = 0;
        for (int lesson : chosen)
            s.lessonState[std::size_t(lesson)] = 2;
        for (int word : critical)
            s.memoc.add(word);
        s.selection.buildSelection(s.words, s.memoc); // as at start-up
    }
    // Opens the window; `rules` turns it into the rules view first.
    bool open(bool rules = false)
    {
        w = std::make_unique<Form4>(s, p);
        if (rules)
            w->showRules();
        w->show();
        return QTest::qWaitForWindowExposed(w.get());
    }
    QCheckBox *box(int i) const { return w->findChild<QCheckBox *>(QStringLiteral("Ckles%1").arg(i)); }
    QRadioButton *option(int i) const { return w->findChild<QRadioButton *>(QStringLiteral("Option%1").arg(i)); }
    QPushButton *button(const char *name) const { return w->findChild<QPushButton *>(name); }
    QList<int> ticked() const
    {
        QList<int> out;
        for (int i = 0; i <= 20; ++i)
            if (box(i)->isChecked())
                out.append(i);
        return out;
    }
    QList<int> chosenLessons() const
    {
        QList<int> out;
        for (int i = 1; i <= 20; ++i)
            if (s.lessonState[std::size_t(i)] == 2)
                out.append(i);
        return out;
    }
    QList<int> used() const { return s.selection.selection.mid(1, s.selection.selectionCount); }
};
} // namespace

struct Restarting
{
    int done = 3;
    QString action {}; // what is pressed: "order", "lesson", "restart" or nothing
    bool enabled = false; // "Daccapo"
    int pending = 0;
    int built = 2;
};
Q_DECLARE_METATYPE(Restarting)

struct Applying
{
    int order = 2; // the order button pressed
    QList<int> lessons {}; // the lesson boxes pressed
    QList<int> critical {};
    bool ok = true; // the answer to the empty-selection message
    bool message = false;
    bool closed = true;
    int orderMode = 2;
    QList<int> selection {};
};
Q_DECLARE_METATYPE(Applying)

class TestForm4 : public QObject
{
    Q_OBJECT

private slots:
    // Steps: "m4" presses box N.4 with the mouse, "k4" toggles it with the
    // space bar, "m0"/"k0" act on "Tutte".
    void lessonBoxes_data()
    {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("ticked");

        using L = QList<int>;
        using S = QStringList;
        QTest::newRow("opens on Tutte at start-up") << L {} << S {} << L { 0 };
        QTest::newRow("opens on the lessons chosen") << L { 3, 5 } << S {} << L { 3, 5 };
        QTest::newRow("ticking N.4 unticks Tutte") << L {} << S { "m4" } << L { 4 };
        QTest::newRow("unticking the last lesson ticks Tutte") << L {} << S { "m4", "m4" } << L { 0 };
        QTest::newRow("unticking one of two keeps the other") << L {} << S { "m4", "m5", "m4" } << L { 5 };
        QTest::newRow("Tutte unticks every lesson") << L { 3, 5 } << S { "m0" } << L { 0 };
        QTest::newRow("Tutte while ticked leaves no box ticked") << L {} << S { "m0" } << L {};
        QTest::newRow("a lesson after Tutte was unticked") << L {} << S { "m0", "m2" } << L { 2 };
        QTest::newRow("keyboard counts like the mouse") << L {} << S { "k4", "k6", "k4", "m6" } << L { 0 };
        QTest::newRow("keyboard on Tutte") << L { 2 } << S { "k0" } << L { 0 };
        QTest::newRow("a lesson without words cannot be ticked") << L {} << S { "m9", "k9" } << L { 0 };
    }
    void lessonBoxes()
    {
        QFETCH(QList<int>, chosen);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, ticked);

        Options o(chosen);
        QVERIFY(o.open());
        for (int i = 1; i <= 20; ++i)
            QCOMPARE(o.box(i)->isEnabled(), i <= 6);
        for (const QString &step : steps) {
            QCheckBox *b = o.box(step.mid(1).toInt());
            if (step.startsWith('m')) {
                press(b);
            } else {
                b->setFocus();
                QTest::keyClick(b, Qt::Key_Space);
            }
        }
        QCOMPARE(o.ticked(), ticked);
        // What the boxes show is what the run keeps (and the exit log writes).
        ticked.removeAll(0);
        QCOMPARE(o.chosenLessons(), ticked);
    }

    // "Daccapo" is enabled once words were answered; it and every change of
    // choice start the order afresh without closing the window.
    void restart_data()
    {
        QTest::addColumn<Restarting>("r");
        QTest::newRow("no word answered yet") << Restarting { .done = 0, .enabled = false, .pending = 4 };
        QTest::newRow("words answered") << Restarting { .enabled = true, .pending = 4 };
        QTest::newRow("an order button clicked") << Restarting { .action = "order" };
        QTest::newRow("a lesson box clicked") << Restarting { .action = "lesson", .built = 9 };
        QTest::newRow("Daccapo clicked") << Restarting { .action = "restart", .built = 9 };
    }
    void restart()
    {
        QFETCH(Restarting, r);
        Options o({});
        o.s.doneCount = r.done;
        o.s.selection.pendingWord = 4;
        QVERIFY(o.open());
        QPushButton *daccapo = o.button("Command2");
        QCOMPARE(daccapo->toolTip(), QStringLiteral("Ricomincia con le stesse Opzioni"));
        if (r.action == "order")
            press(o.option(1));
        else if (r.action == "lesson")
            press(o.box(3));
        else if (r.action == "restart")
            press(daccapo);
        QCOMPARE(daccapo->isEnabled(), r.enabled);
        QCOMPARE(o.s.selection.pendingWord, r.pending);
        QCOMPARE(o.s.selection.builtMode, r.built);
        QVERIFY(o.w->isVisible());
        QVERIFY(o.p.shown.isEmpty());
    }

    // "OK" applies the choice; an empty selection asks whether to fall back
    // to the forward order.
    void apply_data()
    {
        QTest::addColumn<Applying>("a");
        QTest::newRow("backward over lesson 3") << Applying { .order = 3, .lessons = { 3 }, .orderMode = 3, .selection = { 3, 7 } };
        QTest::newRow("critical words of the chosen lessons")
            << Applying { .order = 4, .lessons = { 3 }, .critical = { 0, 7, 3 }, .orderMode = 4, .selection = { 3, 7 } };
        QTest::newRow("no critical word, OK falls back to forward")
            << Applying { .order = 4, .lessons = { 3 }, .critical = { 0 }, .message = true, .selection = { 3, 7 } };
        QTest::newRow("no critical word, Cancel keeps the window")
            << Applying { .order = 4, .ok = false, .message = true, .closed = false, .orderMode = 4 };
        QTest::newRow("no box ticked, OK closes with nothing to ask") << Applying { .lessons = { 0 }, .message = true };
    }
    void apply()
    {
        QFETCH(Applying, a);
        Options o({}, a.critical);
        o.p.answers.enqueue(a.ok ? Platform::Answer::Ok : Platform::Answer::Cancel);
        QVERIFY(o.open());
        press(o.option(a.order));
        for (int lesson : a.lessons)
            press(o.box(lesson));
        press(o.button("Command1"));

        QCOMPARE(o.p.shown.size(), a.message ? 1 : 0);
        if (a.message) {
            QCOMPARE(o.p.shown.at(0).title, QStringLiteral("Rifare la Scelta..."));
            QCOMPARE(o.p.shown.at(0).text, QStringLiteral("Selezione vuota ... Ripristino Avanti"));
            QCOMPARE(o.p.shown.at(0).buttons, Platform::Buttons::OkCancel);
        }
        QCOMPARE(!o.w->isVisible(), a.closed);
        QCOMPARE(o.s.selection.orderMode, a.orderMode);
        QVERIFY(o.option(a.orderMode)->isChecked());
        if (a.closed) {
            QCOMPARE(o.used(), a.selection);
            // After the fallback the next build starts afresh.
            QCOMPARE(o.s.selection.builtMode, a.message ? 9 : a.orderMode);
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
        Options o({});
        QWidget other;
        other.setGeometry(400, 400, 100, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QVERIFY(o.open());
        o.w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(o.w.get()));
        press(o.option(4)); // nothing is critical: applying shows a message
        o.p.whileShown = [&] {
            o.w->close();
            other.activateWindow();
            QCoreApplication::processEvents();
        };

        if (route == "ok") {
            press(o.button("Command1"));
        } else if (route == "close") {
            o.w->close();
        } else if (route == "escape") {
            QTest::keyClick(o.w.get(), Qt::Key_Escape);
        } else {
            other.activateWindow();
            QTRY_VERIFY(!o.w->isVisible());
        }
        QCoreApplication::processEvents();
        QCOMPARE(o.p.shown.size(), 1);
        QVERIFY(!o.w->isVisible());
        QCOMPARE(o.w->result(), int(QDialog::Accepted));
        QCOMPARE(o.s.selection.orderMode, 2);
        QCOMPARE(o.s.selection.builtMode, 9);

        o.w->close(); // a closed window applies nothing more
        QCOMPARE(o.p.shown.size(), 1);
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
        Options o({});
        QVERIFY(o.open(rulesView));
        auto *peri = o.w->findChild<PrintBox *>("peri");
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
            QCOMPARE(o.w->findChild<QWidget *>(name)->isVisible(), !rulesView);
        QCOMPARE(o.button("Command1")->toolTip(),
                 rulesView ? QStringLiteral("Chiudi REGOLE") : QStringLiteral("Opzioni impostate"));
        QCOMPARE(peri->x(), rulesView ? 54 : 93); // centred in the frame rectangle in the rules view
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
