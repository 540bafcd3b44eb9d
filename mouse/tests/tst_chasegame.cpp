// The rules of a hit without a window: where the window jumps and which click
// the draw asks for next.
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

// After the first hit the draw asks for `asked`; then `button` goes down and the click is single or double.
struct Click
{
    const char *name;
    ChaseGame::Kind asked;
    ChaseGame::Button button;
    bool twice = false, hits = false;
};
const Click clickRows[] = {
    { .name = "left asked, left", .asked = LeftClick, .button = ChaseGame::LeftButton, .hits = true },
    { .name = "left asked, right", .asked = LeftClick, .button = ChaseGame::RightButton },
    { .name = "left asked, middle", .asked = LeftClick, .button = ChaseGame::MiddleButton },
    { .name = "left asked, double", .asked = LeftClick, .button = ChaseGame::LeftButton, .twice = true },
    { .name = "right asked, right", .asked = RightClick, .button = ChaseGame::RightButton, .hits = true },
    { .name = "right asked, left", .asked = RightClick, .button = ChaseGame::LeftButton },
    { .name = "double asked, double",
        .asked = DoubleClick,
        .button = ChaseGame::LeftButton,
        .twice = true,
        .hits = true },
    { .name = "double asked, left", .asked = DoubleClick, .button = ChaseGame::LeftButton },
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

    // Only the click the background asks for hits, and the window jumps.
    void clicks_data()
    {
        QTest::addColumn<int>("row");
        for (const Click &r : clickRows)
            QTest::newRow(r.name) << int(&r - clickRows);
    }
    void clicks()
    {
        QFETCH(int, row);
        const Click &r = clickRows[row];
        FakePlatform platform;
        ChaseGame game(platform);
        game.load();
        game.start();
        platform.randoms << 0.5 << 0.5 << (r.asked == DoubleClick ? 0.1 : r.asked == LeftClick ? 0.3 : 0.6);
        game.press(ChaseGame::LeftButton);
        QVERIFY(game.click());
        QCOMPARE(game.modo(), r.asked);
        game.press(r.button);
        QCOMPARE(r.twice ? game.doubleClick() : game.click(), r.hits);
        QCOMPARE(platform.moves.size(), r.hits ? 2 : 1);
    }
};

QTEST_GUILESS_MAIN(TestChaseGame)
#include "tst_chasegame.moc"
