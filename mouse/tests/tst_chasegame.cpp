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
        QTest::addColumn<int>("room"); // twips of screen minus window, across and down
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("twips"); // where the window lands, from the screen's edge
        QTest::addColumn<int>("px");
        QTest::addColumn<double>("r3");
        QTest::addColumn<ChaseGame::Kind>("kind");
        row("nearest", 12900, 0.0, 200, 14, 0.2499, ChaseGame::DoubleClick);
        row("far", 12900, 0.99999, 12700, 846, 0.25, ChaseGame::LeftClick);
        row("odd room", 1515, 0.5, 758, 51, 0.7499, ChaseGame::RightClick);
        row("too small", 300, 0.99999, 101, 6, 0.75, ChaseGame::LeftClick);
    }
    void hit()
    {
        QFETCH(int, room);
        QFETCH(double, r);
        QFETCH(int, px);
        QCOMPARE(jumpTwips(room, r), fetched<int>("twips"));
        FakePlatform platform;
        platform.screen = { QPoint(1280, 0), platform.frame.size() + QSize(room, room) / 15 };
        ChaseGame game(platform);
        game.load();
        game.start();
        platform.randoms << r << r << fetched<double>("r3");
        QVERIFY(game.click()); // the first game asks for a left click
        QTEST(game.modo(), "kind");
        QCOMPARE(platform.moves, QList<QPoint> { QPoint(1280 + px, px) });
    }
};

QTEST_GUILESS_MAIN(TestChaseGame)
#include "tst_chasegame.moc"
