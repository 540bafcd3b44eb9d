#include "chasegame.h"
#include "fakeplatform.h"
#include "twips.h"

#include <QTest>

// The game rules without a window: the kind a hit draws, where the window
// lands, the seconds counter and the random source.
class TestChaseGame : public QObject
{
    Q_OBJECT

private slots:
    void hitDrawsKind_data();
    void hitDrawsKind();
    void jumpsKeepMargins_data();
    void jumpsKeepMargins();
    void clockStopsAtItsLargestValue();
    void randomSourceIsFixedAndUniform();
};

void TestChaseGame::hitDrawsKind_data()
{
    QTest::addColumn<double>("r3");
    QTest::addColumn<int>("modo");
    QTest::addColumn<QString>("fare");
    QTest::newRow("0: double") << 0.0 << 0 << "2 sx";
    QTest::newRow("below 1/4: double") << 0.2499 << 0 << "2 sx";
    QTest::newRow("1/4: left") << 0.25 << 1 << "sx";
    QTest::newRow("1/2: right") << 0.5 << 2 << "dx";
    QTest::newRow("below 3/4: right") << 0.7499 << 2 << "dx";
    QTest::newRow("3/4: left again") << 0.75 << 1 << "sx";
}

void TestChaseGame::hitDrawsKind()
{
    QFETCH(double, r3);
    QFETCH(int, modo);
    QFETCH(QString, fare);
    FakePlatform platform;
    ChaseGame game(platform);
    game.load();
    game.start();
    platform.randoms << 0.5 << 0.5 << r3;
    QVERIFY(game.click()); // the first game asks for a left click
    QCOMPARE(int(game.modo()), modo);
    QCOMPARE(game.fareText(), fare);
    QVERIFY(platform.randoms.isEmpty()); // three draws per hit, the kind last
}

void TestChaseGame::jumpsKeepMargins_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("frame");
    QTest::newRow("1024x768, bare window") << QRect(0, 0, 1024, 768) << QSize(164, 118);
    QTest::newRow("1366x768, framed window") << QRect(0, 0, 1366, 768) << QSize(172, 150);
    QTest::newRow("second screen, 1920x1080") << QRect(1280, 0, 1920, 1080) << QSize(170, 146);
}

void TestChaseGame::jumpsKeepMargins()
{
    QFETCH(QRect, screen);
    QFETCH(QSize, frame);
    FakePlatform platform;
    platform.screen = screen;
    platform.frame.setSize(frame);
    ChaseGame game(platform);
    game.load();
    game.start();
    // The lowest and highest draws first, then the program's own sequence.
    platform.randoms << 0.0 << 0.0 << 0.3 << 0.9999999 << 0.9999999 << 0.3;
    for (int i = 0; i < 1000; ++i) {
        game.press(ChaseGame::Button(game.modo() == ChaseGame::RightClick ? 2 : 1));
        QVERIFY(game.modo() == ChaseGame::DoubleClick ? game.doubleClick() : game.click());
        const QRect placed(platform.moves.last() - screen.topLeft(), frame);
        const int margin = pixelsToTwips(qMin(qMin(placed.left(), placed.top()),
                                              qMin(screen.width() - placed.right() - 1,
                                                   screen.height() - placed.bottom() - 1)));
        QVERIFY2(margin >= 200, qPrintable(QStringLiteral("hit %1 at %2,%3").arg(i).arg(placed.x()).arg(placed.y())));
        if (i < 2) // the extreme draws land on the nearest whole pixel beyond 200 twips
            QCOMPARE(margin, 210);
    }
}

void TestChaseGame::clockStopsAtItsLargestValue()
{
    FakePlatform platform;
    ChaseGame game(platform);
    game.load();
    game.start();
    for (int i = 0; i < 32767 + 3; ++i)
        game.tick();
    QCOMPARE(game.puntiText(), QStringLiteral("32767"));
    QVERIFY(game.running());
    // The game goes on, and twenty hits still end it.
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
    RandomSource first, second;
    int kinds[4] = {};
    for (int i = 0; i < 40000; ++i) {
        const double r = first.next();
        QCOMPARE(second.next(), r);
        QVERIFY(r >= 0.0 && r < 1.0);
        ++kinds[int(r * 4)];
    }
    for (int quarter : kinds)
        QVERIFY(qAbs(quarter - 10000) < 400);
}

QTEST_GUILESS_MAIN(TestChaseGame)
#include "tst_chasegame.moc"
