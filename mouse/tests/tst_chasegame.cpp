// The rules of a hit without a window: where the window jumps and which click the draw asks for next.
#include "fakeplatform.h"
#include "testing.h"

class TestChaseGame : public QObject
{
    Q_OBJECT

private slots:
    // A hit draws top, left and kind in this order; here top and left draw the same `r`. Every whole twip
    // from one margin to the other is a place to land; in whole pixels the window keeps at least 200 twips
    // from each edge of the screen that shows it.
    void hit_data()
    {
        // room: twips of screen minus window, across and down; landed: where the window lands from the
        // screen's edge, in twips and in pixels across and down, how many moves, and the click asked for
        // next (d, l, r: a double, left, right click)
        columns<int, double, double, QString>("room", "r", "r3", "landed");
        row("nearest", 12900, 0.0, 0.2499, "200 14,14 1 d");
        row("far", 12900, 0.99999, 0.25, "12700 846,846 1 l");
        row("odd room", 1515, 0.5, 0.7499, "758 51,51 1 r");
        row("too small", 300, 0.99999, 0.75, "101 6,6 1 l");
    }
    void hit()
    {
        QFETCH(int, room);
        QFETCH(double, r);
        FakePlatform platform;
        platform.screen = { QPoint(1280, 0), platform.frame.size() + QSize(room, room) / 15 };
        ChaseGame game(platform);
        game.load();
        game.start();
        platform.randoms << r << r << fetched<double>("r3");
        QVERIFY(!game.doubleClick() && game.click()); // the first game asks for a left click, no double
        const QPoint at = platform.moves.value(0) - QPoint(1280, 0);
        QTEST(QString("%1 %2,%3 %4 %5")
                  .arg(jumpTwips(room, r))
                  .arg(at.x())
                  .arg(at.y())
                  .arg(platform.moves.size())
                  .arg("dlr"[game.modo()]),
            "landed");
    }
};

QTEST_GUILESS_MAIN(TestChaseGame)
#include "tst_chasegame.moc"
