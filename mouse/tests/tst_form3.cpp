#include "Form3.h"
#include "fakeplatform.h"
#include "qtplatform.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

// The game window driven as a player drives it: clicks on the cat delivered
// through the window the way the desktop delivers them, VIA, PAUSA, F1 and
// the timers ticked by hand.
class TestForm3 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpState();
    void controlsAtTheirPlaces_data();
    void controlsAtTheirPlaces();
    void clickKinds_data();
    void clickKinds();
    void rightClickOpensNoMenu();
    void hitsShowInCaptionAndCounter_data();
    void hitsShowInCaptionAndCounter();
    void gameEndsOnTheTickAfterTwentyHits_data();
    void gameEndsOnTheTickAfterTwentyHits();
    void newGameAfterTheEnd();
    void pauseKeepsTheClock();
    void animationRunsWithTheGame();
    void helpFromEveryState_data();
    void helpFromEveryState();
    void otherKeysDoNothing();
    void twoRunsGoTheSameWay();
    void hitMovesTheRealWindow();

private:
    enum Gesture { Left, Right, Middle, DoubleLeft, DoubleRight, DoubleMiddle, LeftDraggedOff };

    QString text(const char *name) const { return m_form->findChild<QLabel *>(name)->text(); }
    bool visible(const char *name) const { return m_form->findChild<QWidget *>(name)->isVisible(); }
    bool enabled(const char *name) const { return m_form->findChild<QWidget *>(name)->isEnabled(); }
    bool timersActive() const
    {
        return m_form->findChild<QTimer *>("Timer1")->isActive()
            && m_form->findChild<QTimer *>("Timer2")->isActive();
    }
    bool timersStopped() const
    {
        return !m_form->findChild<QTimer *>("Timer1")->isActive()
            && !m_form->findChild<QTimer *>("Timer2")->isActive();
    }
    QColor background() const { return m_form->palette().color(QPalette::Window); }
    void via() { QTest::mouseClick(m_form->findChild<QPushButton *>("Command2"), Qt::LeftButton); }
    void pausa() { QTest::mouseClick(m_form->findChild<QPushButton *>("Command3"), Qt::LeftButton); }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            m_form->Timer1_Timer();
    }
    void play(Gesture gesture);
    // One hit with the click that the game asks for; the hit after it asks for `next`.
    void hit(ChaseGame::Kind next = ChaseGame::LeftClick)
    {
        m_platform->queueHit(next);
        const qint16 before = m_form->game().volte();
        const ChaseGame::Kind kind = m_form->game().modo();
        play(kind == ChaseGame::DoubleClick ? DoubleLeft : kind == ChaseGame::RightClick ? Right : Left);
        QCOMPARE(m_form->game().volte(), qint16(before + 1));
    }

    std::unique_ptr<FakePlatform> m_platform;
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
    m_platform = std::make_unique<FakePlatform>();
    m_form = std::make_unique<Form3>(*m_platform);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestForm3::cleanup()
{
    m_form.reset();
    m_platform.reset();
}

void TestForm3::play(Gesture gesture)
{
    QWindow *window = m_form->windowHandle();
    const QPoint cat = m_form->findChild<QWidget *>("Image1")->geometry().center();
    switch (gesture) {
    case Left:
        QTest::mouseClick(window, Qt::LeftButton, {}, cat);
        break;
    case Right:
        QTest::mouseClick(window, Qt::RightButton, {}, cat);
        break;
    case Middle:
        QTest::mouseClick(window, Qt::MiddleButton, {}, cat);
        break;
    case DoubleLeft:
        QTest::mouseDClick(window, Qt::LeftButton, {}, cat);
        break;
    case DoubleRight:
        QTest::mouseDClick(window, Qt::RightButton, {}, cat);
        break;
    case DoubleMiddle:
        QTest::mouseDClick(window, Qt::MiddleButton, {}, cat);
        break;
    case LeftDraggedOff:
        QTest::mousePress(window, Qt::LeftButton, {}, cat);
        QTest::mouseMove(window, cat + QPoint(40, 0));
        QTest::mouseRelease(window, Qt::LeftButton, {}, cat + QPoint(40, 0));
        break;
    }
}

void TestForm3::startUpState()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("    MOUSE TEST"));
    QCOMPARE(background(), yellow);
    QCOMPARE(text("punti"), QStringLiteral("0"));
    QCOMPARE(text("Label2"), QString());
    QCOMPARE(text("Label1"), QStringLiteral("F1 per aiuto"));
    QVERIFY(!visible("Fare"));
    QVERIFY(enabled("Command2"));
    QVERIFY(!enabled("Command3"));
    QVERIFY(!enabled("Image1"));
    QVERIFY(timersStopped());
    QVERIFY(!m_form->windowIcon().isNull());

    // The cat takes no clicks before VIA.
    play(Left);
    play(DoubleLeft);
    QCOMPARE(m_form->game().volte(), qint16(0));
    QVERIFY(m_platform->moves.isEmpty());

    // The first game asks for a left click.
    via();
    QVERIFY(visible("Fare"));
    QCOMPARE(text("Fare"), QStringLiteral("sx"));
    QCOMPARE(text("Label2"), QStringLiteral("0"));
    QVERIFY(timersActive());
}

void TestForm3::controlsAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("caption");

    // Positions in pixels of 15 twips.
    QTest::newRow("punti") << "punti" << QRect(24, 8, 113, 39) << "0";
    QTest::newRow("Fare") << "Fare" << QRect(56, 48, 57, 17) << "sx";
    QTest::newRow("Image1") << "Image1" << QRect(64, 64, 32, 32) << "";
    QTest::newRow("Command2") << "Command2" << QRect(8, 72, 49, 25) << "VIA";
    QTest::newRow("Command3") << "Command3" << QRect(104, 72, 49, 25) << "PAUSA";
    QTest::newRow("Label1") << "Label1" << QRect(0, 104, 65, 17) << "F1 per aiuto";
    QTest::newRow("Label2") << "Label2" << QRect(144, 104, 17, 17) << "";
}

void TestForm3::controlsAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, caption);

    QCOMPARE(m_form->size(), QSize(164, 118));
    QWidget *control = m_form->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), place);
    if (auto *button = qobject_cast<QPushButton *>(control))
        QCOMPARE(button->text(), caption);
    else if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), caption);
}

void TestForm3::clickKinds_data()
{
    QTest::addColumn<ChaseGame::Kind>("kind");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("fare");
    QTest::addColumn<int>("gesture");
    // The kind that the hit after the gesture asks for, chosen so that a
    // second hit would slip in if the gesture were taken for two clicks.
    QTest::addColumn<ChaseGame::Kind>("next");
    QTest::addColumn<int>("hits");

    const auto dbl = ChaseGame::DoubleClick;
    const auto left = ChaseGame::LeftClick;
    const auto right = ChaseGame::RightClick;
    QTest::newRow("yellow, left click") << left << yellow << "sx" << int(Left) << left << 1;
    QTest::newRow("yellow, right click") << left << yellow << "sx" << int(Right) << left << 0;
    QTest::newRow("yellow, middle click") << left << yellow << "sx" << int(Middle) << left << 0;
    QTest::newRow("yellow, left press dragged off the cat") << left << yellow << "sx" << int(LeftDraggedOff) << left << 0;
    QTest::newRow("yellow, double click scores once") << left << yellow << "sx" << int(DoubleLeft) << dbl << 1;
    QTest::newRow("yellow, double click asking left next") << left << yellow << "sx" << int(DoubleLeft) << left << 1;
    QTest::newRow("blue, double click") << dbl << blue << "2 sx" << int(DoubleLeft) << left << 1;
    QTest::newRow("blue, double click asking blue next") << dbl << blue << "2 sx" << int(DoubleLeft) << dbl << 1;
    QTest::newRow("blue, right double click") << dbl << blue << "2 sx" << int(DoubleRight) << right << 1;
    QTest::newRow("blue, left click") << dbl << blue << "2 sx" << int(Left) << left << 0;
    QTest::newRow("blue, right click") << dbl << blue << "2 sx" << int(Right) << left << 0;
    QTest::newRow("blue, middle double click") << dbl << blue << "2 sx" << int(DoubleMiddle) << left << 0;
    QTest::newRow("pink, right click") << right << pink << "dx" << int(Right) << right << 1;
    QTest::newRow("pink, left click") << right << pink << "dx" << int(Left) << left << 0;
    QTest::newRow("pink, middle click") << right << pink << "dx" << int(Middle) << left << 0;
    QTest::newRow("pink, left double click") << right << pink << "dx" << int(DoubleLeft) << left << 0;
    QTest::newRow("pink, right double click scores once") << right << pink << "dx" << int(DoubleRight) << dbl << 1;
}

void TestForm3::clickKinds()
{
    QFETCH(ChaseGame::Kind, kind);
    QFETCH(QColor, colour);
    QFETCH(QString, fare);
    QFETCH(int, gesture);
    QFETCH(ChaseGame::Kind, next);
    QFETCH(int, hits);

    via();
    hit(kind); // the first hit of a game asks for a left click and draws `kind`
    QCOMPARE(background(), colour);
    QCOMPARE(text("Fare"), fare);

    m_platform->queueHit(next);
    m_platform->queueHit(next);
    play(Gesture(gesture));
    QCOMPARE(m_form->game().volte(), qint16(1 + hits));
    QCOMPARE(m_platform->moves.size(), 1 + hits);
    QCOMPARE(text("Label2"), QString::number(1 + hits));
}

void TestForm3::rightClickOpensNoMenu()
{
    // Counts the menu requests that get past the cat to the window.
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
    m_platform->queueHit(ChaseGame::RightClick);
    play(Left);
    m_platform->queueHit(ChaseGame::RightClick);
    play(Right);
    QCOMPARE(m_form->game().volte(), qint16(2));
    QCOMPARE(watch.requests, 0);
}

void TestForm3::hitsShowInCaptionAndCounter_data()
{
    QTest::addColumn<int>("hits");
    QTest::newRow("one") << 1;
    QTest::newRow("seven") << 7;
    QTest::newRow("twenty") << 20;
}

void TestForm3::hitsShowInCaptionAndCounter()
{
    QFETCH(int, hits);
    via();
    const int clock = m_form->findChild<QTimer *>("Timer1")->timerId();
    const ChaseGame::Kind kinds[] = { ChaseGame::RightClick, ChaseGame::DoubleClick, ChaseGame::LeftClick };
    for (int i = 0; i < hits; ++i)
        hit(kinds[i % 3]);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (%1)").arg(hits));
    QCOMPARE(text("Label2"), QString::number(hits));
    QVERIFY(timersActive()); // hits alone never end the game
    // and never restart the second under way: quick hits must not hold the clock back.
    QCOMPARE(m_form->findChild<QTimer *>("Timer1")->timerId(), clock);
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
    for (int i = 0; i < hits; ++i)
        hit(i == hits - 1 ? ChaseGame::RightClick : ChaseGame::LeftClick);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (%1)").arg(hits));
    ticks(1);
    // The tick that ends the game adds its second first.
    QCOMPARE(text("punti"), QStringLiteral("4"));
    QCOMPARE(text("Label2"), QString::number(hits));
    QCOMPARE(timersStopped(), ends);
    QCOMPARE(enabled("Command2"), ends);
    QCOMPARE(enabled("Command3"), !ends);
    QCOMPARE(enabled("Image1"), !ends);
    QVERIFY(visible("Fare"));
    QCOMPARE(text("Fare"), QStringLiteral("dx"));
    QCOMPARE(background(), ends ? grey : pink);
    QCOMPARE(m_form->windowTitle(),
             ends ? QStringLiteral("    MOUSE TEST") : QStringLiteral("   MOUSE TEST (%1)").arg(hits));
}

void TestForm3::newGameAfterTheEnd()
{
    via();
    for (int i = 0; i < 20; ++i)
        hit(i == 19 ? ChaseGame::DoubleClick : ChaseGame::LeftClick);
    ticks(9);
    QCOMPARE(text("punti"), QStringLiteral("9"));
    QCOMPARE(background(), grey);

    via();
    QVERIFY(timersActive());
    QCOMPARE(text("Label2"), QStringLiteral("0"));
    QCOMPARE(background(), grey);
    QCOMPARE(text("Fare"), QStringLiteral("2 sx"));
    ticks(1);
    QCOMPARE(text("punti"), QStringLiteral("1"));
    // The first hit needs the kind drawn at the last hit of the game before.
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
    QCOMPARE(text("punti"), QStringLiteral("5"));
    QVERIFY(timersStopped());
    QVERIFY(!visible("Fare"));
    QVERIFY(enabled("Command2"));
    QVERIFY(!enabled("Command3"));
    QVERIFY(!enabled("Image1"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (2)"));

    play(Left); // the paused cat takes no clicks
    QCOMPARE(m_form->game().volte(), qint16(2));

    via();
    QVERIFY(timersActive());
    QVERIFY(visible("Fare"));
    QCOMPARE(text("Label2"), QStringLiteral("2"));
    ticks(1);
    QCOMPARE(text("punti"), QStringLiteral("6"));
    hit();
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (3)"));
}

void TestForm3::animationRunsWithTheGame()
{
    auto *cat = m_form->findChild<CatImage *>("Image1");
    QCOMPARE(cat->frame(), 0);
    via();
    QList<int> frames;
    for (int i = 0; i < 6; ++i) {
        m_form->Timer2_Timer();
        frames << cat->frame();
    }
    QCOMPARE(frames, QList<int>({ 1, 2, 3, 0, 1, 2 }));
    pausa();
    QCOMPARE(cat->frame(), 2);
    via();
    hit();
    QCOMPARE(cat->frame(), 2); // a hit leaves the frame on show
}

void TestForm3::helpFromEveryState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("secondsAfterTick");
    QTest::addColumn<QString>("label2");

    QTest::newRow("ready, window") << "ready" << "" << 0 << "1" << "0";
    QTest::newRow("ready, VIA has focus") << "ready" << "Command2" << 0 << "1" << "0";
    QTest::newRow("running, PAUSA has focus") << "running" << "Command3" << 0 << "8" << "2";
    QTest::newRow("running, shift F1") << "running" << "Command3" << int(Qt::ShiftModifier) << "8" << "2";
    QTest::newRow("running, ctrl F1") << "running" << "" << int(Qt::ControlModifier) << "8" << "2";
    QTest::newRow("paused, VIA has focus") << "paused" << "Command2" << 0 << "8" << "2";
    QTest::newRow("over: clock goes on from the result") << "over" << "Command2" << 0 << "9" << "0";
}

void TestForm3::helpFromEveryState()
{
    QFETCH(QString, state);
    QFETCH(QString, focus);
    QFETCH(int, modifiers);
    QFETCH(QString, secondsAfterTick);
    QFETCH(QString, label2);

    if (state != QLatin1String("ready")) {
        via();
        ticks(7);
        hit();
        hit();
        if (state == QLatin1String("paused"))
            pausa();
        if (state == QLatin1String("over")) {
            for (int i = 0; i < 18; ++i)
                hit();
            QCOMPARE(m_form->game().volte(), qint16(20));
            ticks(1); // ends the game at 8 seconds
            QCOMPARE(text("punti"), QStringLiteral("8"));
        }
    }

    bool stoppedWhileShown = false;
    m_platform->whileShown = [&] { stoppedWhileShown = timersStopped() && !visible("Fare"); };

    QWidget *target = focus.isEmpty() ? static_cast<QWidget *>(m_form.get()) : m_form->findChild<QWidget *>(focus);
    QVERIFY(target->isEnabled());
    QTest::keyClick(target, Qt::Key_F1, Qt::KeyboardModifiers(modifiers));

    QCOMPARE(m_platform->shown.size(), 1);
    QCOMPARE(m_platform->shown[0].title, QStringLiteral("MOUSE TEST - Istruzioni"));
    const QStringList lines = m_platform->shown[0].text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines[0], QStringLiteral("Questo programma allena gli inesperti all'uso del mouse."));
    QCOMPARE(lines[1], QString());
    QCOMPARE(lines[2], QStringLiteral("Contrariamente alla realtà è il mouse (topo) che"));
    QCOMPARE(lines[10], QStringLiteral("E' possibile riposarsi col tasto PAUSA"));
    QCOMPARE(lines[11], QString());
    QVERIFY(stoppedWhileShown);

    // F1 always leaves a game running.
    QVERIFY(timersActive());
    QVERIFY(visible("Fare"));
    QVERIFY(!enabled("Command2"));
    QVERIFY(enabled("Command3"));
    QVERIFY(enabled("Image1"));
    QCOMPARE(text("Label2"), label2);
    ticks(1);
    QCOMPARE(text("punti"), secondsAfterTick);
}

void TestForm3::otherKeysDoNothing()
{
    via();
    for (Qt::Key key : { Qt::Key_F2, Qt::Key_Escape, Qt::Key_Space, Qt::Key_H }) {
        QTest::keyClick(m_form.get(), key);
        QTest::keyClick(m_form->findChild<QWidget *>("Command3"), key == Qt::Key_Space ? Qt::Key_A : key);
    }
    QVERIFY(m_platform->shown.isEmpty());
    QVERIFY(timersActive());
}

void TestForm3::twoRunsGoTheSameWay()
{
    // Each run plays a whole game with the program's own random numbers.
    auto run = [this](QList<QPoint> &moves, QList<int> &kinds) {
        init();
        via();
        for (int i = 0; i < 20; ++i) {
            const ChaseGame::Kind kind = m_form->game().modo();
            kinds << kind;
            play(kind == ChaseGame::DoubleClick ? DoubleLeft : kind == ChaseGame::RightClick ? Right : Left);
        }
        ticks(1);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("    MOUSE TEST"));
        moves = m_platform->moves;
        cleanup();
    };
    cleanup();
    QList<QPoint> firstMoves, secondMoves;
    QList<int> firstKinds, secondKinds;
    run(firstMoves, firstKinds);
    run(secondMoves, secondKinds);
    init();

    QCOMPARE(firstMoves.size(), 20);
    QCOMPARE(secondMoves, firstMoves);
    QCOMPARE(secondKinds, firstKinds);
    QVERIFY(QSet<int>(firstKinds.begin(), firstKinds.end()).size() == 3);
    QVERIFY(QSet<QPoint>(firstMoves.begin(), firstMoves.end()).size() == 20);
}

void TestForm3::hitMovesTheRealWindow()
{
    cleanup();
    QtPlatform platform;
    Form3 form(platform);
    platform.setWindow(&form);
    form.move(300, 200);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    RandomSource expected;
    const double r1 = expected.next();
    const double r2 = expected.next();
    const QRect screen = form.screen()->geometry();
    const QPoint target = screen.topLeft() + jumpPosition(screen.size(), form.frameGeometry().size(), r1, r2);
    QVERIFY(target != form.pos());

    QTest::mouseClick(form.findChild<QPushButton *>("Command2"), Qt::LeftButton);
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, form.findChild<QWidget *>("Image1")->geometry().center());
    QCOMPARE(form.game().volte(), qint16(1));
    QTRY_COMPARE(form.frameGeometry().topLeft(), target);
    init();
}

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
