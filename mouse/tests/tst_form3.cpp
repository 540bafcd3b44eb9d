// The game window driven as a player drives it: clicks on the cat delivered
// the way the desktop delivers them, VIA, PAUSA, F1, and the timers firing.
#include "gamewindow.h"
#include "qtplatform.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QProperty>
#include <QSignalSpy>

class TestForm3 : public QObject
{
    Q_OBJECT

    GameWindow w;

    // The window in one line: running or stopped, punti, Label2, the caption,
    // the background, Fare ("-" hidden), the cat's frame.
    QString describe() const
    {
        const bool parts[] = { w.clock->isActive(), w.animation->isActive(), !w.via->isEnabled(),
            w.pausa->isEnabled(), w.cat->isEnabled() };
        const QStringList states { "stopped", "mixed", "mixed", "mixed", "mixed", "running" };
        const QStringList colours { "#ffff80", "yellow", "#8080ff", "blue", "#ffccff", "pink", "#e0e0e0",
            "grey" };
        const QString colour = w.form->palette().color(QPalette::Window).name();
        return QStringList { states[std::count(std::begin(parts), std::end(parts), true)], w.punti->text(),
            w.label2->text(),
            w.form->windowTitle().replace("    MOUSE TEST", "plain").remove("   MOUSE TEST "),
            colours.value(colours.indexOf(colour) + 1, colour), w.fare->isVisible() ? w.fare->text() : "-",
            QStringLiteral("f%1").arg(w.cat->frame()) }
            .join(u' ');
    }

private slots:
    void init()
    {
        QCOMPARE(w.open(), QString()); // the name of a control the window lacks
    }

    void states_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("window");
        const auto row = [](const char *name, const char *script, const char *window) {
            QTest::newRow(name) << QString(script) << QString(window);
        };
        row("the cat and F2 do nothing before VIA", "L LL F2", "stopped 0  plain yellow - f0");
        row("VIA asks for a left click", "via", "running 0 0 plain yellow sx f0");
        row("the cat runs round", "via a5", "running 0 0 plain yellow sx f1");
        row("pause keeps the clock and frame", "via t5 a2 h2 pausa L", "stopped 5 2 (2) yellow - f2");
        row("VIA resumes", "via t5 h2 pausa via t1 h", "running 6 3 (3) yellow sx f0");
        row("twenty hits wait for the tick", "via t3 h19 hd", "running 3 20 (20) blue 2 sx f0");
        row("nineteen hits go on", "via t3 h18 hd t1", "running 4 19 (19) blue 2 sx f0");
        row("the tick after twenty hits ends", "via t3 a1 h19 hd t1", "stopped 4 20 plain grey 2 sx f1");
        row("a hit before the tick counts", "via t3 h20 hd t1", "stopped 4 21 plain grey 2 sx f0");
        row("a new game starts from nothing", "via t3 h19 hd t1 via t1 h hr", "running 1 2 (2) pink dx f0");
        // The clock stops at its largest value instead of overflowing; the game goes on.
        row("the clock stops at 32767", "via t32770 h20 t1", "stopped 32767 20 plain grey sx f0");
        row("F1 when ready starts", "F1>Command2 t1", "running 1 0 plain yellow sx f0");
        row("Shift F1 goes on running", "via t7 h2 S-F1>Command3 t1", "running 8 2 (2) yellow sx f0");
        row("F1 after the end goes on from the score", "via t7 h20 t1 F1 t1", "running 9 0 plain grey sx f0");
        // Each kind of click on the cat; ":d" etc. is what the hits after it
        // ask for, so that a gesture taken for two clicks would score twice.
        row("yellow: left click", "via L", "running 0 1 (1) yellow sx f0");
        row("yellow: right click", "via R", "running 0 0 plain yellow sx f0");
        row("yellow: middle click", "via M", "running 0 0 plain yellow sx f0");
        row("yellow: press released off the cat", "via L~", "running 0 0 plain yellow sx f0");
        row("yellow: double click scores once", "via LL:d", "running 0 1 (1) blue 2 sx f0");
        row("blue: double click scores once", "via hd LL", "running 0 2 (2) yellow sx f0");
        row("blue: right double click", "via hd RR:r", "running 0 2 (2) pink dx f0");
        row("blue: left click", "via hd L", "running 0 1 (1) blue 2 sx f0");
        row("blue: middle double click", "via hd MM", "running 0 1 (1) blue 2 sx f0");
        row("pink: right click", "via hr R:r", "running 0 2 (2) pink dx f0");
        row("pink: right double click scores once", "via hr RR:d", "running 0 2 (2) blue 2 sx f0");
    }

    // Plays the script: "via", "pausa", "t3" (three seconds ticks), "a3" (three animation ticks), "h20"
    // (twenty hits that ask next for a left click), "hd"/"hr" (a hit that asks next for a double or right
    // click), a gesture on the cat (GameWindow::play), "F2", "F1", "S-F1>Command3" (with Shift, PAUSA
    // focused). Every F1 shows the instructions with the game stopped; a hit never restarts the second under
    // way, or quick hits would hold the clock back; no menu request gets past the cat to the window.
    void states()
    {
        QFETCH(QString, script);
        w.form->setContextMenuPolicy(Qt::CustomContextMenu);
        QSignalSpy menus(w.form.get(), &QWidget::customContextMenuRequested);
        int restarts = 0, stoppedHelps = 0;
        const auto clockWatch = w.clock->bindableActive().onValueChanged([&] { ++restarts; });
        w.platform.whileShown
            = [&] { stoppedHelps += describe().startsWith("stopped") && !w.fare->isVisible(); };
        for (const QString &word : script.split(u' ', Qt::SkipEmptyParts)) {
            const int count = qMax(word.mid(1).toInt(), 1),
                      asked = QStringLiteral("dlr").indexOf(word.back());
            const int next = asked < 0 ? ChaseGame::LeftClick : asked, before = restarts;
            if (word == "via" || word == "pausa") {
                QTest::mouseClick(word == "via" ? w.via : w.pausa, Qt::LeftButton);
            } else if (word[0] == u't' || word[0] == u'a') {
                for (int i = 0; i < count; ++i)
                    QVERIFY2(w.tick(word[0] == u't' ? w.clock : w.animation),
                        qPrintable(word + ": timer stopped"));
            } else if (word[0] == u'h') {
                for (int i = 0; i < count; ++i)
                    w.hit(next);
                QCOMPARE(restarts, before);
            } else if (!word.contains(u'F')) {
                w.platform.queueHit(next), w.platform.queueHit(next);
                w.play(word.section(u':', 0, 0));
            } else {
                const QString focus = word.section(u'>', 1);
                QTest::keyClick(focus.isEmpty() ? w.form.get() : w.form->findChild<QWidget *>(focus),
                    word.contains("F1") ? Qt::Key_F1 : Qt::Key_F2,
                    word[0] == u'S' ? Qt::ShiftModifier : Qt::NoModifier);
            }
        }
        QTEST(describe(), "window");
        QCOMPARE(stoppedHelps, script.count("F1"));
        QCOMPARE(w.platform.shown.count("MOUSE TEST - Istruzioni"), script.count("F1"));
        QCOMPARE(w.clock->interval(), 1000);
        QCOMPARE(w.animation->interval(), 100);
        QCOMPARE(menus.count(), 0);
        // A screen reader finds a name on every control (what it hears of the click asked for, which
        // the colour alone does not tell, is kept beside each look).
        for (QWidget *control : w.form->findChildren<QWidget *>())
            QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                qPrintable(control->objectName()));
    }

    void realDesktop()
    {
        QtPlatform platform;
        Form3 form(platform);
        platform.setWindow(&form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        RandomSource draws;
        const double r1 = draws.next();
        const QRect screen = form.screen()->geometry();
        const QPoint target
            = screen.topLeft() + jumpPosition(screen.size(), form.frameGeometry().size(), r1, draws.next());
        QVERIFY(target != form.frameGeometry().topLeft());
        QTest::mouseClick(form.findChild<QPushButton *>("Command2"), Qt::LeftButton);
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {},
            form.findChild<QWidget *>("Image1")->geometry().center());
        QTRY_COMPARE(form.frameGeometry().topLeft(), target);
        // F1 shows the instructions in a real box, one line a line, until closed.
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                shown = box->text(), box->accept();
        });
        QTest::keyClick(&form, Qt::Key_F1);
        QCOMPARE(shown.split(u'\n').size(), 13);
        QVERIFY(!shown.contains(u'\r'));
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
