// The rules of a hit without a window: where the window jumps and which click
// the draw asks for next, and the random numbers behind them.
#include "fakeplatform.h"

#include <QTest>

class TestChaseGame : public QObject
{
    Q_OBJECT

private slots:
    // A hit draws top, left and kind in this order. Every whole twip from one margin to the other is a place
    // to land (for a room of screen minus window); in whole pixels the window keeps at least 200 twips from
    // each edge of the screen that shows it.
    void hit_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<double>("r3");
        QTest::addColumn<int>("kind");
        QTest::newRow("nearest, double") << 12900 << 0.0 << 200 << 14 << 0.2499 << 0;
        QTest::newRow("farthest, left") << 12900 << 0.9999999 << 12700 << 846 << 0.25 << 1;
        QTest::newRow("half way in an odd room, right") << 1515 << 0.5 << 758 << 51 << 0.7499 << 2;
        QTest::newRow("too small a screen, left again") << 300 << 0.9999999 << 101 << 6 << 0.75 << 1;
    }
    void hit()
    {
        QFETCH(int, room);
        QFETCH(double, r);
        QFETCH(int, pixels);
        QFETCH(double, r3);
        QTEST(jumpTwips(room, r), "twips");
        FakePlatform platform;
        platform.screen = { QPoint(1280, 0), platform.frame.size() + QSize(room, room) / 15 };
        ChaseGame game(platform);
        game.load();
        game.start();
        platform.randoms << r << r << r3;
        QVERIFY(game.click()); // the first game asks for a left click
        QTEST(int(game.modo()), "kind");
        QCOMPARE(platform.moves, QList<QPoint> { QPoint(1280 + pixels, pixels) });
    }

    void randomSourceIsUniform()
    {
        RandomSource source;
        int quarters[5] = {};
        for (int i = 0; i < 40000; ++i)
            ++quarters[qBound(0, int(source.next() * 4), 4)];
        QCOMPARE(quarters[4], 0); // never 1
        for (int quarter = 0; quarter < 4; ++quarter)
            QVERIFY(qAbs(quarters[quarter] - 10000) < 400);
    }
};

QTEST_GUILESS_MAIN(TestChaseGame)
#include "tst_chasegame.moc"
