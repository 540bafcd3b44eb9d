// The game window driven as a player drives it: how it looks in its key states, and its state as a screen
// reader finds it, compared with the pictures and texts in looks/; then what the pictures do not show:
// which clicks on the cat score, F1's instructions over a stopped game, the second that hits leave running,
// and the real desktop behind the window.
#include "boxes.h"
#include "gamewindow.h"
#include "looks.h"
#include "qtplatform.h"

#include <QApplication>
#include <QSignalSpy>

class TestChaseWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The same style on every machine, and an application font unlike the
        // Liberation fonts that the window names itself, so that a lost one shows.
        QApplication::setStyle("Fusion");
        QApplication::setFont(QFont("Liberation Mono", 11));
    }
    // What a script of GameWindow::run() leaves: the hits that Label2 shows, whether the clock runs, and each
    // box of instructions shown, over a stopped game ("aiuto") or not. A row named without blanks is also a
    // look of the window, compared with the picture and the state text of that name (the seconds and the end
    // of a game show there).
    void play_data()
    {
        columns<QString, QString>("script", "shown");
        row("ready", "", "|ferma");
        row("started", "via a5", "0|corre");
        row("running-yellow", "via t1 a1 h", "1|corre");
        row("running-blue", "via t1 a1 hd", "1|corre");
        row("running-pink", "via t1 a1 h hr", "2|corre");
        row("paused", "via t5 a2 h2 pausa L", "2|ferma");
        row("resumed", "via t5 h2 pausa via t1 h", "3|corre");
        row("nineteen-hits", "via t3 h18 hd t1", "19|corre");
        row("twenty-hits", "via t3 h19 hd", "20|corre");
        row("over", "via t1 a1 h20 t1", "20|ferma");
        row("over-with-a-late-hit", "via t3 h20 hd t1", "21|ferma");
        row("new-game", "via t3 h19 hd t1 via t1", "0|corre");
        row("clock-at-most", "via t32770", "0|corre");
        row("help-when-ready", "F1>Command2 t1", "0|corre|aiuto");
        row("help-after-the-end", "via t7 h20 t1 F1 t1", "0|corre|aiuto");
        row("the cat and F2 do nothing before VIA", "L LL F2", "|ferma");
        row("yellow: left click", "via L", "1|corre");
        row("yellow: right, middle click, left press released off the cat", "via R M L~", "0|corre");
        row("yellow: double click scores once", "via LL:d", "1|corre");
        row("blue: double click scores once", "via hd LL", "2|corre");
        row("blue: right double click", "via hd RR:r", "2|corre");
        row("blue: left click, middle double click", "via hd L MM", "1|corre");
        row("pink: right click", "via hr R:r", "2|corre");
        row("pink: right double click scores once", "via hr RR:d", "2|corre");
        row("Space on VIA", "Space>Command2 L", "1|corre");
        row("Shift F1 with PAUSA focused", "via h2 Shift+F1>Command3", "2|corre|aiuto");
    }
    // Which clicks on the cat score (":d" etc. is what the hits after a gesture ask for, so that one taken
    // for two clicks would score twice); F1 shows the instructions over a stopped game; no menu request
    // gets past the cat to the window.
    void play()
    {
        GameWindow w;
        QVERIFY(w.active);
        w.form->setContextMenuPolicy(Qt::CustomContextMenu);
        QSignalSpy menus(w.form.get(), &QWidget::customContextMenuRequested);
        QString helps;
        w.platform.whileShown = [&] {
            helps
                += w.clock->isActive() || control(w.form.get(), "Fare")->isVisible() ? "|in gioco" : "|aiuto";
        };
        QCOMPARE(w.run(fetched<QString>("script")), QString());
        QTEST(control<QLabel>(w.form.get(), "Label2")->text() + (w.clock->isActive() ? "|corre" : "|ferma")
                + helps,
            "shown");
        for (const auto &box : w.platform.shown)
            QVERIFY(box.title == "MOUSE TEST - Istruzioni"
                && box.text.contains("Se lo sfondo è giallo occorre un clic sinistro"));
        QCOMPARE(menus.count(), 0);
        QKeyEvent unused(
            QEvent::KeyPress, Qt::Key_A, {}); // a key the game does not use is left to the desktop
        QApplication::sendEvent(w.form.get(), &unused);
        QVERIFY(!unused.isAccepted());
        if (!QString(QTest::currentDataTag()).contains(u' '))
            Looks::compare(LOOKS_DIR, QTest::currentDataTag(), w.form->grab().toImage(),
                Looks::windowState(
                    w.form.get(), "\nbackground " + w.form->palette().window().color().name()));
    }

    // The real desktop places the window by its frame and shows the instructions in the box of the three
    // programs, OK alone.
    void realDesktop()
    {
        QtPlatform platform;
        QWidget window;
        platform.setWindow(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        platform.moveWindow({ 30, 40 });
        QCOMPARE(platform.windowFrame().topLeft(), QPoint(30, 40));
        QCOMPARE(platform.screenGeometry(), window.screen()->geometry());
        const Boxes::Seen box
            = Boxes::answer([&] { return static_cast<Platform &>(platform).message("", "Se"); }, "Escape");
        QCOMPARE(box.buttons, QStringList { "OK" });
    }
};

QTEST_MAIN(TestChaseWindow)
#include "tst_chasewindow.moc"
