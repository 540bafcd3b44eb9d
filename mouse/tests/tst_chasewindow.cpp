// The game window driven as a player drives it, for what its look pictures do not show: which clicks on
// the cat score, F1's instructions over a stopped game, the second that hits leave running, and the real
// desktop behind the window.
#include "gamewindow.h"
#include "qtplatform.h"

#include <QApplication>
#include <QMessageBox>
#include <QProperty>
#include <QSignalSpy>

namespace {

// What a script of GameWindow::run() leaves: the hits that Label2 shows, the instructions shown.
struct Play
{
    const char *name, *script;
    int hits = 0, boxes = 0;
};
const Play playRows[] = {
    { .name = "the cat and F2 do nothing before VIA", .script = "L LL F2" },
    { .name = "yellow: left click", .script = "via L", .hits = 1 },
    { .name = "yellow: right click", .script = "via R" },
    { .name = "yellow: middle click", .script = "via M" },
    { .name = "yellow: press released off the cat", .script = "via L~" },
    { .name = "yellow: double click scores once", .script = "via LL:d", .hits = 1 },
    { .name = "blue: double click scores once", .script = "via hd LL", .hits = 2 },
    { .name = "blue: right double click", .script = "via hd RR:r", .hits = 2 },
    { .name = "blue: left click", .script = "via hd L", .hits = 1 },
    { .name = "blue: middle double click", .script = "via hd MM", .hits = 1 },
    { .name = "pink: right click", .script = "via hr R:r", .hits = 2 },
    { .name = "pink: right double click scores once", .script = "via hr RR:d", .hits = 2 },
    { .name = "Space on VIA", .script = "Space>Command2 L", .hits = 1 },
    { .name = "F1 when ready", .script = "F1>Command2", .boxes = 1 },
    { .name = "Shift F1 with PAUSA focused", .script = "via h2 S-F1>Command3", .hits = 2, .boxes = 1 },
    { .name = "F1 after the end", .script = "via t7 h20 t1 F1", .boxes = 1 },
};

} // namespace

class TestChaseWindow : public QObject
{
    Q_OBJECT

private slots:
    void play_data()
    {
        QTest::addColumn<int>("row");
        for (const Play &r : playRows)
            QTest::newRow(r.name) << int(&r - playRows);
    }
    // Which clicks on the cat score (":d" etc. is what the hits after a gesture ask for, so that one taken
    // for two clicks would score twice); F1 shows the instructions over a stopped game; no menu request
    // gets past the cat to the window.
    void play()
    {
        QFETCH(int, row);
        GameWindow w;
        w.form->setContextMenuPolicy(Qt::CustomContextMenu);
        QSignalSpy menus(w.form.get(), &QWidget::customContextMenuRequested);
        int stoppedBoxes = 0;
        w.platform.whileShown = [&] { stoppedBoxes += !w.clock->isActive() && !w.fare->isVisible(); };
        QCOMPARE(w.run(playRows[row].script), QString());
        QCOMPARE(w.label2->text().toInt(), playRows[row].hits);
        QCOMPARE(w.platform.shown.count("MOUSE TEST - Istruzioni"), playRows[row].boxes);
        QCOMPARE(stoppedBoxes, playRows[row].boxes);
        QCOMPARE(w.platform.texts.filter("Se lo sfondo è giallo occorre un clic sinistro").size(),
            playRows[row].boxes);
        QCOMPARE(menus.count(), 0);
    }

    // A hit never restarts the second under way, or quick hits would hold the clock back; each tick of the
    // animation paints the cat's next picture on the screen.
    void timers()
    {
        GameWindow w;
        QCOMPARE(w.run("via t1"), QString());
        int restarts = 0;
        const auto watch = w.clock->bindableActive().onValueChanged([&] { ++restarts; });
        QCOMPARE(w.run("h5"), QString());
        QCOMPARE(restarts, 0);
        for (int ticks = 0; ticks < 3; ++ticks) {
            const int before = w.catPaints;
            QCOMPARE(w.run("a1"), QString());
            QTRY_VERIFY(w.catPaints > before);
        }
    }

    // The real desktop draws the same unseeded numbers in every run and places the window by its frame.
    void realDesktop()
    {
        QtPlatform platform;
        QCOMPARE(platform.random(), RandomSource().next());
        QWidget window;
        platform.setWindow(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        platform.moveWindow({ 30, 40 });
        QCOMPARE(platform.windowFrame(), window.frameGeometry());
        QCOMPARE(window.frameGeometry().topLeft(), QPoint(30, 40));
        QCOMPARE(platform.screenGeometry(), window.screen()->geometry());
        // Its box of a message: no icon, OK alone, closed by Escape, its text plain and one line a line.
        QVariantList seen; // icon, buttons, text format, text
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen = { box->icon(), box->standardButtons().toInt(), box->textFormat(), box->text() };
                QTest::keyClick(box, Qt::Key_Escape);
                if (box->isVisible())
                    seen << "left open by Escape", box->accept();
            }
        });
        platform.message(ChaseGame::helpTitle(), "<b>Se</b>\r\nè");
        QCOMPARE(seen, QVariantList({ QMessageBox::NoIcon, QMessageBox::Ok, Qt::PlainText, "<b>Se</b>\nè" }));
    }
};

QTEST_MAIN(TestChaseWindow)
#include "tst_chasewindow.moc"
