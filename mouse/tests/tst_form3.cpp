#include "Form3.h"
#include "fakeplatform.h"
#include "qtplatform.h"

#include <QLabel>
#include <QProperty>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

// The game window driven as a player drives it: clicks on the cat delivered
// through the window the way the desktop delivers them, VIA, PAUSA, F1, and
// the timers ticked by hand.
class TestForm3 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_form.reset(); }
    void startUpState();
    void clickKinds_data();
    void clickKinds();
    void gameEndsOnTheTickAfterTwentyHits_data();
    void gameEndsOnTheTickAfterTwentyHits();
    void pauseKeepsTheClock();
    void helpFromEveryState_data();
    void helpFromEveryState();
    void twoRunsGoTheSameWay();
    void hitMovesTheRealWindow();

private:
    enum Gesture { Left, Right, Middle, DoubleLeft, DoubleRight, DoubleMiddle, LeftDraggedOff };

    QString text(const char *name) const { return m_form->findChild<QLabel *>(name)->text(); }
    bool shown(const char *name) const { return m_form->findChild<QWidget *>(name)->isVisible(); }
    // "running": both timers, PAUSA and the cat on and VIA off; "stopped": all the other way.
    QString state() const
    {
        const bool parts[] = { m_form->findChild<QTimer *>("Timer1")->isActive(),
                               m_form->findChild<QTimer *>("Timer2")->isActive(),
                               !m_form->findChild<QWidget *>("Command2")->isEnabled(),
                               m_form->findChild<QWidget *>("Command3")->isEnabled(),
                               m_form->findChild<QWidget *>("Image1")->isEnabled() };
        const int on = int(std::count(std::begin(parts), std::end(parts), true));
        return on == 5 ? QStringLiteral("running") : on == 0 ? QStringLiteral("stopped") : QStringLiteral("mixed");
    }
    QColor background() const { return m_form->palette().color(QPalette::Window); }
    void via() { QTest::mouseClick(m_form->findChild<QPushButton *>("Command2"), Qt::LeftButton); }
    void pausa() { QTest::mouseClick(m_form->findChild<QPushButton *>("Command3"), Qt::LeftButton); }
    void ticks(int n)
    {
        while (n-- > 0)
            m_form->Timer1_Timer();
    }
    void play(Gesture gesture);
    // Scores one hit with the click asked for; the hit draws `next`.
    void hit(ChaseGame::Kind next = ChaseGame::LeftClick)
    {
        m_platform.queueHit(next);
        const ChaseGame::Kind kind = m_form->game().modo();
        play(kind == ChaseGame::DoubleClick ? DoubleLeft : kind == ChaseGame::RightClick ? Right : Left);
    }

    FakePlatform m_platform;
    std::unique_ptr<Form3> m_form;
};

Q_DECLARE_METATYPE(ChaseGame::Kind)

namespace {
const QColor yellow(0xFF, 0xFF, 0x80);
const QColor blue(0x80, 0x80, 0xFF);
const QColor pink(0xFF, 0xCC, 0xFF);
const QColor grey(0xE0, 0xE0, 0xE0);
} // namespace

void TestForm3::init()
{
    m_platform = FakePlatform();
    m_form = std::make_unique<Form3>(m_platform);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm3::play(Gesture gesture)
{
    QWindow *window = m_form->windowHandle();
    const QPoint cat = m_form->findChild<QWidget *>("Image1")->geometry().center();
    const Qt::MouseButton button = gesture == Right || gesture == DoubleRight ? Qt::RightButton
        : gesture == Middle || gesture == DoubleMiddle                       ? Qt::MiddleButton
                                                                             : Qt::LeftButton;
    if (gesture == DoubleLeft || gesture == DoubleRight || gesture == DoubleMiddle) {
        QTest::mouseDClick(window, button, {}, cat);
    } else if (gesture == LeftDraggedOff) {
        QTest::mousePress(window, button, {}, cat);
        QTest::mouseMove(window, cat + QPoint(40, 0));
        QTest::mouseRelease(window, button, {}, cat + QPoint(40, 0));
    } else {
        QTest::mouseClick(window, button, {}, cat);
    }
}

void TestForm3::startUpState()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("    MOUSE TEST"));
    QCOMPARE(background(), yellow);
    QCOMPARE(text("punti"), QStringLiteral("0"));
    QCOMPARE(text("Label2"), QString());
    QVERIFY(!shown("Fare"));
    QCOMPARE(state(), QStringLiteral("stopped"));

    play(Left); // the cat takes no clicks before VIA
    play(DoubleLeft);
    QTest::keyClick(m_form.get(), Qt::Key_F2); // only F1 means something
    QCOMPARE(m_form->game().volte(), qint16(0));
    QVERIFY(m_platform.moves.isEmpty() && m_platform.shown.isEmpty());

    via();
    QCOMPARE(state(), QStringLiteral("running"));
    QCOMPARE(text("Fare"), QStringLiteral("sx")); // the first game asks for a left click
    QVERIFY(shown("Fare"));
    QCOMPARE(text("Label2"), QStringLiteral("0"));
}

void TestForm3::clickKinds_data()
{
    QTest::addColumn<ChaseGame::Kind>("kind");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("gesture");
    // What the hit after the gesture draws, chosen so that a gesture taken
    // for two clicks would score a second hit.
    QTest::addColumn<ChaseGame::Kind>("next");
    QTest::addColumn<int>("hits");

    const auto dbl = ChaseGame::DoubleClick;
    const auto left = ChaseGame::LeftClick;
    const auto right = ChaseGame::RightClick;
    QTest::newRow("yellow, left click") << left << yellow << int(Left) << left << 1;
    QTest::newRow("yellow, right click") << left << yellow << int(Right) << left << 0;
    QTest::newRow("yellow, middle click") << left << yellow << int(Middle) << left << 0;
    QTest::newRow("yellow, press dragged off the cat") << left << yellow << int(LeftDraggedOff) << left << 0;
    QTest::newRow("yellow, double click scores once") << left << yellow << int(DoubleLeft) << dbl << 1;
    QTest::newRow("blue, double click scores once") << dbl << blue << int(DoubleLeft) << left << 1;
    QTest::newRow("blue, right double click") << dbl << blue << int(DoubleRight) << right << 1;
    QTest::newRow("blue, left click") << dbl << blue << int(Left) << left << 0;
    QTest::newRow("blue, middle double click") << dbl << blue << int(DoubleMiddle) << left << 0;
    QTest::newRow("pink, right click") << right << pink << int(Right) << right << 1;
    QTest::newRow("pink, left click") << right << pink << int(Left) << left << 0;
    QTest::newRow("pink, left double click") << right << pink << int(DoubleLeft) << left << 0;
    QTest::newRow("pink, right double click scores once") << right << pink << int(DoubleRight) << dbl << 1;
}

void TestForm3::clickKinds()
{
    QFETCH(ChaseGame::Kind, kind);
    QFETCH(QColor, colour);
    QFETCH(int, gesture);
    QFETCH(ChaseGame::Kind, next);
    QFETCH(int, hits);

    // Counts the menu requests that get past the cat to the window: none may.
    struct MenuWatch : QObject
    {
        int requests = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            requests += event->type() == QEvent::ContextMenu;
            return false;
        }
    } watch;
    m_form->installEventFilter(&watch);

    via();
    hit(kind);
    QCOMPARE(background(), colour);
    m_platform.queueHit(next);
    m_platform.queueHit(next);
    play(Gesture(gesture));
    QCOMPARE(m_platform.moves.size(), 1 + hits);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (%1)").arg(1 + hits));
    QCOMPARE(text("Label2"), QString::number(1 + hits));
    QCOMPARE(watch.requests, 0);
}

void TestForm3::gameEndsOnTheTickAfterTwentyHits_data()
{
    QTest::addColumn<int>("hits");
    QTest::addColumn<bool>("ends");
    QTest::newRow("nineteen hits go on") << 19 << false;
    QTest::newRow("twenty hits end") << 20 << true;
    QTest::newRow("a hit before the tick counts") << 21 << true;
}

void TestForm3::gameEndsOnTheTickAfterTwentyHits()
{
    QFETCH(int, hits);
    QFETCH(bool, ends);

    via();
    ticks(3);
    int restarts = 0;
    const auto clockWatch = m_form->findChild<QTimer *>("Timer1")->bindableActive().onValueChanged([&] { ++restarts; });
    for (int i = 0; i < hits; ++i)
        hit(i == hits - 1 ? ChaseGame::DoubleClick : ChaseGame::LeftClick);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (%1)").arg(hits));
    QCOMPARE(text("Label2"), QString::number(hits));
    // Hits never restart the second under way, or quick hits would hold the clock back.
    QCOMPARE(restarts, 0);

    ticks(1);
    QCOMPARE(text("punti"), QStringLiteral("4")); // the last tick adds its second
    QCOMPARE(text("Label2"), QString::number(hits));
    QCOMPARE(state(), ends ? QStringLiteral("stopped") : QStringLiteral("running"));
    QCOMPARE(background(), ends ? grey : blue);
    QCOMPARE(m_form->windowTitle(), ends ? QStringLiteral("    MOUSE TEST") : QStringLiteral("   MOUSE TEST (%1)").arg(hits));
    QVERIFY(shown("Fare"));
    if (!ends)
        return;

    // A new game: clock and hits from 0, still grey, asking what the last hit drew.
    via();
    QCOMPARE(state(), QStringLiteral("running"));
    QCOMPARE(text("Label2"), QStringLiteral("0"));
    QCOMPARE(background(), grey);
    QCOMPARE(text("Fare"), QStringLiteral("2 sx"));
    ticks(1);
    QCOMPARE(text("punti"), QStringLiteral("1"));
    hit(ChaseGame::RightClick);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (1)"));
    QCOMPARE(background(), pink);
}

void TestForm3::pauseKeepsTheClock()
{
    via();
    ticks(5);
    hit();
    hit();
    pausa();
    QCOMPARE(state(), QStringLiteral("stopped"));
    QVERIFY(!shown("Fare"));
    QCOMPARE(text("punti"), QStringLiteral("5"));
    play(Left); // the paused cat takes no clicks
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (2)"));

    via();
    QCOMPARE(state(), QStringLiteral("running"));
    ticks(1);
    QCOMPARE(text("punti"), QStringLiteral("6"));
    hit();
    QCOMPARE(text("Label2"), QStringLiteral("3"));
}

void TestForm3::helpFromEveryState_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("secondsAfterTick");
    QTest::addColumn<QString>("label2");

    QTest::newRow("ready, window") << "ready" << "" << 0 << "1" << "0";
    QTest::newRow("ready, VIA has focus") << "ready" << "Command2" << 0 << "1" << "0";
    QTest::newRow("running, PAUSA has focus") << "running" << "Command3" << 0 << "8" << "2";
    QTest::newRow("running, shift F1") << "running" << "Command3" << int(Qt::ShiftModifier) << "8" << "2";
    QTest::newRow("paused") << "paused" << "Command2" << int(Qt::ControlModifier) << "8" << "2";
    QTest::newRow("over: clock goes on from the result") << "over" << "Command2" << 0 << "9" << "0";
}

void TestForm3::helpFromEveryState()
{
    QFETCH(QString, from);
    QFETCH(QString, focus);
    QFETCH(int, modifiers);
    QFETCH(QString, secondsAfterTick);
    QFETCH(QString, label2);

    if (from != QLatin1String("ready")) {
        via();
        ticks(7);
        hit();
        hit();
        if (from == QLatin1String("paused"))
            pausa();
        for (int i = 0; from == QLatin1String("over") && i < 18; ++i)
            hit();
        if (from == QLatin1String("over"))
            ticks(1); // ends the game at 8 seconds
    }
    bool stoppedWhileShown = false;
    m_platform.whileShown = [&] { stoppedWhileShown = state() == QLatin1String("stopped") && !shown("Fare"); };

    QWidget *target = focus.isEmpty() ? m_form.get() : m_form->findChild<QWidget *>(focus);
    QTest::keyClick(target, Qt::Key_F1, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(m_platform.shown.size(), 1);
    QCOMPARE(m_platform.shown[0].title, QStringLiteral("MOUSE TEST - Istruzioni"));
    const QStringList lines = m_platform.shown[0].text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines[2], QStringLiteral("Contrariamente alla realtà è il mouse (topo) che"));
    QCOMPARE(lines[10], QStringLiteral("E' possibile riposarsi col tasto PAUSA"));
    QVERIFY(stoppedWhileShown);
    // F1 always leaves a game running.
    QCOMPARE(state(), QStringLiteral("running"));
    QVERIFY(shown("Fare"));
    QCOMPARE(text("Label2"), label2);
    ticks(1);
    QCOMPARE(text("punti"), secondsAfterTick);
}

void TestForm3::twoRunsGoTheSameWay()
{
    // Each run plays a whole game with the program's own random numbers.
    QList<QPoint> moves[2];
    QList<int> kinds[2];
    for (int run = 0; run < 2; ++run) {
        init();
        via();
        for (int i = 0; i < 20; ++i) {
            const ChaseGame::Kind kind = m_form->game().modo();
            kinds[run] << kind;
            play(kind == ChaseGame::DoubleClick ? DoubleLeft : kind == ChaseGame::RightClick ? Right : Left);
        }
        ticks(1);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("    MOUSE TEST"));
        moves[run] = m_platform.moves;
    }
    QCOMPARE(moves[0].size(), 20);
    QCOMPARE(moves[1], moves[0]);
    QCOMPARE(kinds[1], kinds[0]);
    QCOMPARE(QSet<int>(kinds[0].begin(), kinds[0].end()).size(), 3);
}

void TestForm3::hitMovesTheRealWindow()
{
    QtPlatform platform;
    Form3 form(platform);
    platform.setWindow(&form);
    form.move(300, 200);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    RandomSource draws;
    const double r1 = draws.next();
    const QRect screen = form.screen()->geometry();
    const QPoint target = screen.topLeft() + jumpPosition(screen.size(), form.frameGeometry().size(), r1, draws.next());
    QTest::mouseClick(form.findChild<QPushButton *>("Command2"), Qt::LeftButton);
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, form.findChild<QWidget *>("Image1")->geometry().center());
    QCOMPARE(form.game().volte(), qint16(1));
    QTRY_COMPARE(form.frameGeometry().topLeft(), target);
    QVERIFY(target != QPoint(300, 200));
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
