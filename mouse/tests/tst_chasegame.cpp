#include "chasegame.h"
#include "fakeplatform.h"
#include "twips.h"

#include <QTest>

// The game rules without a window: the draws of a hit, where the window lands,
// the seconds counter and the random source.
class TestChaseGame : public QObject
{
    Q_OBJECT

private slots:
    void hitDrawsKind_data();
    void hitDrawsKind();
    void jumpPosition_data();
    void jumpPosition();
    void jumpsKeepMargins_data();
    void jumpsKeepMargins();
    void jumpLandsOnTheWindowsScreen();
    void clockStopsAtItsLargestValue();
    void randomSourceIsFixedAndUniform();
};

void TestChaseGame::hitDrawsKind_data()
{
    QTest::addColumn<double>("r3");
    QTest::addColumn<int>("modo");
    QTest::addColumn<int>("background");
    QTest::addColumn<QString>("fare");

    const int blue = int(ChaseGame::Background::Blue);
    const int yellow = int(ChaseGame::Background::Yellow);
    const int pink = int(ChaseGame::Background::Pink);
    QTest::newRow("0 double") << 0.0 << 0 << blue << "2 sx";
    QTest::newRow("just below 1/4 double") << 0.2499 << 0 << blue << "2 sx";
    QTest::newRow("1/4 left") << 0.25 << 1 << yellow << "sx";
    QTest::newRow("just below 1/2 left") << 0.4999 << 1 << yellow << "sx";
    QTest::newRow("1/2 right") << 0.5 << 2 << pink << "dx";
    QTest::newRow("just below 3/4 right") << 0.7499 << 2 << pink << "dx";
    QTest::newRow("3/4 left again") << 0.75 << 1 << yellow << "sx";
    QTest::newRow("almost 1 left again") << 0.99999 << 1 << yellow << "sx";
}

void TestChaseGame::hitDrawsKind()
{
    QFETCH(double, r3);
    QFETCH(int, modo);
    QFETCH(int, background);
    QFETCH(QString, fare);

    FakePlatform platform;
    ChaseGame game(platform);
    game.load();
    game.start();
    platform.randoms << 0.5 << 0.5 << r3;
    game.press(ChaseGame::LeftButton);
    QVERIFY(game.click());
    QCOMPARE(int(game.modo()), modo);
    QCOMPARE(int(game.background()), background);
    QCOMPARE(game.fareText(), fare);
    QCOMPARE(game.volte(), qint16(1));
    QCOMPARE(game.caption(), QStringLiteral("   MOUSE TEST (1)"));
    QCOMPARE(platform.randoms.size(), 0); // exactly three draws per hit
}

void TestChaseGame::jumpPosition_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<double>("r1");
    QTest::addColumn<double>("r2");
    QTest::addColumn<QPoint>("expected");

    const QSize screen(1280, 1024);
    const QSize frame(170, 140);
    // 200 twips are 13.3 pixels: the nearest whole pixel that keeps the margin is 14.
    QTest::newRow("lowest draws: top-left margin") << screen << frame << 0.0 << 0.0 << QPoint(14, 14);
    QTest::newRow("highest draws: bottom-right margin")
        << screen << frame << 0.9999999 << 0.9999999 << QPoint(1280 - 170 - 14, 1024 - 140 - 14);
    QTest::newRow("r1 gives the top, r2 the left") << screen << frame << 0.0 << 0.9999999 << QPoint(1096, 14);
    QTest::newRow("middle draws") << screen << frame << 0.5 << 0.25 << QPoint(285, 442);
    QTest::newRow("tiny screen: formula as it stands") << QSize(200, 150) << frame << 0.5 << 0.5 << QPoint(15, 5);
}

void TestChaseGame::jumpPosition()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, frame);
    QFETCH(double, r1);
    QFETCH(double, r2);
    QFETCH(QPoint, expected);
    QCOMPARE(::jumpPosition(screen, frame, r1, r2), expected);
}

void TestChaseGame::jumpsKeepMargins_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("frame");

    QTest::newRow("1024x768, bare window") << QSize(1024, 768) << QSize(164, 118);
    QTest::newRow("1280x1024, framed window") << QSize(1280, 1024) << QSize(170, 146);
    QTest::newRow("1366x768, framed window") << QSize(1366, 768) << QSize(172, 150);
    QTest::newRow("1920x1080, framed window") << QSize(1920, 1080) << QSize(170, 146);
    QTest::newRow("800x600, framed window") << QSize(800, 600) << QSize(170, 146);
}

void TestChaseGame::jumpsKeepMargins()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, frame);

    RandomSource random;
    for (int i = 0; i < 2000; ++i) {
        const double r1 = random.next();
        const double r2 = random.next();
        const QPoint p = ::jumpPosition(screen, frame, r1, r2);
        const QRect placed(p, frame);
        QVERIFY2(pixelsToTwips(placed.left()) >= 200 && pixelsToTwips(placed.top()) >= 200,
                 qPrintable(QStringLiteral("near margin broken at %1,%2").arg(p.x()).arg(p.y())));
        QVERIFY2(pixelsToTwips(screen.width() - placed.left() - frame.width()) >= 200
                     && pixelsToTwips(screen.height() - placed.top() - frame.height()) >= 200,
                 qPrintable(QStringLiteral("far margin broken at %1,%2").arg(p.x()).arg(p.y())));
    }
}

void TestChaseGame::jumpLandsOnTheWindowsScreen()
{
    // With a second screen to the right of the first, the window jumps within it.
    FakePlatform platform;
    platform.screen = QRect(1280, 0, 1920, 1080);
    platform.frame = QRect(1500, 300, 170, 146);
    ChaseGame game(platform);
    game.load();
    game.start();
    platform.randoms << 0.0 << 0.0 << 0.3;
    QVERIFY(game.click());
    QCOMPARE(platform.moves, QList<QPoint>({ QPoint(1280 + 14, 14) }));
}

void TestChaseGame::clockStopsAtItsLargestValue()
{
    FakePlatform platform;
    ChaseGame game(platform);
    game.load();
    game.start();
    for (int i = 0; i < 32767; ++i)
        game.tick();
    QCOMPARE(game.puntiText(), QStringLiteral("32767"));
    game.tick();
    game.tick();
    QCOMPARE(game.tempo(), qint16(32767));
    QCOMPARE(game.puntiText(), QStringLiteral("32767"));
    QVERIFY(game.running());

    // The game goes on: hits count and twenty of them end it with the full clock.
    for (int hit = 0; hit < 20; ++hit) {
        platform.queueHit(ChaseGame::LeftClick);
        QVERIFY(game.click());
    }
    game.tick();
    QVERIFY(!game.running());
    QCOMPARE(game.puntiText(), QStringLiteral("32767"));
}

void TestChaseGame::randomSourceIsFixedAndUniform()
{
    RandomSource first;
    RandomSource second;
    int kinds[3] = {};
    double lowest = 1.0;
    double highest = 0.0;
    for (int i = 0; i < 40000; ++i) {
        const double r = first.next();
        QCOMPARE(second.next(), r);
        QVERIFY(r >= 0.0 && r < 1.0);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
        int kind = int(r * 4);
        ++kinds[kind == 3 ? 1 : kind];
    }
    QVERIFY(lowest < 0.001 && highest > 0.999);
    // A left click is asked for twice as often as each of the others.
    QVERIFY(qAbs(kinds[0] - 10000) < 500);
    QVERIFY(qAbs(kinds[1] - 20000) < 500);
    QVERIFY(qAbs(kinds[2] - 10000) < 500);
}

QTEST_GUILESS_MAIN(TestChaseGame)
#include "tst_chasegame.moc"
