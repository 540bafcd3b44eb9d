// The rules of a hit without a window: where the window jumps and which click the draw asks for next.
#include "fakeplatform.h"

#include <QTest>

namespace {

using enum ChaseGame::Kind;

// A hit draws top, left and kind in this order; here top and left draw the same `r`. Every whole twip
// from one margin to the other is a place to land; in whole pixels the window keeps at least 200 twips
// from each edge of the screen that shows it.
struct Hit
{
    const char *name;
    int room; // twips of screen minus window, across and down
    double r;
    int twips, px; // where the window lands, from the screen's edge
    double r3;
    ChaseGame::Kind kind;
};
const Hit hitRows[] = {
    { .name = "nearest", .room = 12900, .r = 0, .twips = 200, .px = 14, .r3 = 0.2499, .kind = DoubleClick },
    { .name = "far", .room = 12900, .r = 0.99999, .twips = 12700, .px = 846, .r3 = 0.25, .kind = LeftClick },
    { .name = "odd room", .room = 1515, .r = 0.5, .twips = 758, .px = 51, .r3 = 0.7499, .kind = RightClick },
    { .name = "too small", .room = 300, .r = 0.99999, .twips = 101, .px = 6, .r3 = 0.75, .kind = LeftClick },
};

} // namespace

class TestChaseGame : public QObject
{
    Q_OBJECT

private slots:
    void hit_data()
    {
        QTest::addColumn<int>("row");
        for (const Hit &r : hitRows)
            QTest::newRow(r.name) << int(&r - hitRows);
    }
    void hit()
    {
        QFETCH(int, row);
        const Hit &r = hitRows[row];
        QCOMPARE(jumpTwips(r.room, r.r), r.twips);
        FakePlatform platform;
        platform.screen = { QPoint(1280, 0), platform.frame.size() + QSize(r.room, r.room) / 15 };
        ChaseGame game(platform);
        game.load();
        game.start();
        platform.randoms << r.r << r.r << r.r3;
        QVERIFY(game.click()); // the first game asks for a left click
        QCOMPARE(game.modo(), r.kind);
        QCOMPARE(platform.moves, QList<QPoint> { QPoint(1280 + r.px, r.px) });
    }
};

QTEST_GUILESS_MAIN(TestChaseGame)
#include "tst_chasegame.moc"
