#include "Form3.h"
#include "fakeplatform.h"
#include "qtplatform.h"
#include "twips.h"

#include <QLabel>
#include <QProperty>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

// The game rules without a window (the kind a hit draws, where the window
// lands, the random source), then the game window driven as a player drives
// it: clicks on the cat delivered through the window the way the desktop
// delivers them, VIA, PAUSA, F1, and the timers ticked by hand.
class TestForm3 : public QObject
{
    Q_OBJECT

private slots:
    void hitDrawsKind_data();
    void hitDrawsKind();
    void jumpsKeepMargins_data();
    void jumpsKeepMargins();
    void randomSourceIsUniform();
    void init();
    void cleanup() { m_form.reset(); }
    void states_data();
    void states();
    void clickKinds_data();
    void clickKinds();
    void twoRunsGoTheSameWay();
    void hitMovesTheRealWindow();

private:
    enum Gesture { Left, Right, Middle, DoubleLeft, DoubleRight, DoubleMiddle, LeftDraggedOff };

    template<typename T = QWidget> T *child(const char *name) const { return m_form->findChild<T *>(name); }
    QString text(const char *name) const { return child<QLabel>(name)->text(); }
    // "running": both timers, PAUSA and the cat on and VIA off; "stopped": all the other way.
    QString state() const
    {
        const bool parts[] = { child<QTimer>("Timer1")->isActive(), child<QTimer>("Timer2")->isActive(),
            !child("Command2")->isEnabled(), child("Command3")->isEnabled(), child("Image1")->isEnabled() };
        const int on = int(std::count(std::begin(parts), std::end(parts), true));
        return on == 5 ? QStringLiteral("running") : on == 0 ? QStringLiteral("stopped") : QStringLiteral("mixed");
    }
    QColor background() const { return m_form->palette().color(QPalette::Window); }
    void click(const char *button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void play(Gesture gesture);
    // Scores one hit with the click asked for; the hit draws `next`.
    void hit(ChaseGame::Kind next = ChaseGame::LeftClick)
    {
        m_platform.queueHit(next);
        const ChaseGame::Kind kind = m_form->game().modo();
        play(kind == ChaseGame::DoubleClick ? DoubleLeft : kind == ChaseGame::RightClick ? Right : Left);
    }
    void run(const QString &script);

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

void TestForm3::hitDrawsKind_data()
{
    QTest::addColumn<double>("r3");
    QTest::addColumn<QString>("fare");
    QTest::newRow("0: double") << 0.0 << "2 sx";
    QTest::newRow("below 1/4: double") << 0.2499 << "2 sx";
    QTest::newRow("1/4: left") << 0.25 << "sx";
    QTest::newRow("1/2: right") << 0.5 << "dx";
    QTest::newRow("below 3/4: right") << 0.7499 << "dx";
    QTest::newRow("3/4: left again") << 0.75 << "sx";
}

void TestForm3::hitDrawsKind()
{
    QFETCH(double, r3);
    QFETCH(QString, fare);
    FakePlatform platform;
    ChaseGame game(platform);
    game.load();
    game.start();
    platform.randoms << 0.5 << 0.5 << r3;
    QVERIFY(game.click()); // the first game asks for a left click
    QCOMPARE(game.fareText(), fare);
    QVERIFY(platform.randoms.isEmpty()); // three draws per hit, the kind last
}

void TestForm3::jumpsKeepMargins_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("frame");
    QTest::newRow("1024x768, bare window") << QRect(0, 0, 1024, 768) << QSize(164, 118);
    QTest::newRow("1366x768, framed window") << QRect(0, 0, 1366, 768) << QSize(172, 150);
    QTest::newRow("second screen, 1920x1080") << QRect(1280, 0, 1920, 1080) << QSize(170, 146);
}

void TestForm3::jumpsKeepMargins()
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
            qMin(screen.width() - placed.right() - 1, screen.height() - placed.bottom() - 1)));
        QVERIFY2(margin >= 200, qPrintable(QStringLiteral("hit %1 at %2,%3").arg(i).arg(placed.x()).arg(placed.y())));
        if (i < 2) // the extreme draws land on the nearest whole pixel beyond 200 twips
            QCOMPARE(margin, 210);
    }
}

void TestForm3::randomSourceIsUniform()
{
    RandomSource source;
    int quarters[4] = {};
    for (int i = 0; i < 40000; ++i) {
        const double r = source.next();
        QVERIFY(r >= 0.0 && r < 1.0);
        ++quarters[int(r * 4)];
    }
    for (int quarter : quarters)
        QVERIFY(qAbs(quarter - 10000) < 400);
}

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
    const QPoint cat = child("Image1")->geometry().center();
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

// Plays a script of words: "via", "pausa", "t3" (three seconds ticks), "h20"
// (twenty hits that draw a left click next), "hd"/"hr" (a hit that draws a
// double or right click next), "click"/"dclick" (a left click or double click
// on the cat, which must not hit), "F2", and "F1", "S-F1>Command3" (F1 with
// Shift, PAUSA having the focus). Every F1 shows the instructions with the
// game stopped. Hits never restart the second under way, or quick hits would
// hold the clock back.
void TestForm3::run(const QString &script)
{
    int restarts = 0, hits = 0;
    const auto clockWatch = child<QTimer>("Timer1")->bindableActive().onValueChanged([&] { ++restarts; });
    bool stoppedWhileShown = false;
    m_platform.whileShown = [&] {
        stoppedWhileShown = state() == QLatin1String("stopped") && !child("Fare")->isVisible();
    };
    for (const QString &word : script.split(u' ', Qt::SkipEmptyParts)) {
        const int count = word.mid(1).toInt();
        if (word == QLatin1String("via") || word == QLatin1String("pausa")) {
            click(word == QLatin1String("via") ? "Command2" : "Command3");
        } else if (word.startsWith(u't')) {
            for (int i = 0; i < count; ++i)
                m_form->Timer1_Timer();
        } else if (word.startsWith(u'h')) {
            const int before = restarts;
            for (int i = 0; i < qMax(count, 1); ++i, ++hits)
                hit(word == QLatin1String("hd")     ? ChaseGame::DoubleClick
                        : word == QLatin1String("hr") ? ChaseGame::RightClick
                                                      : ChaseGame::LeftClick);
            QCOMPARE(restarts, before);
        } else if (word == QLatin1String("click") || word == QLatin1String("dclick")) {
            play(word == QLatin1String("click") ? Left : DoubleLeft);
        } else if (word == QLatin1String("F2")) {
            QTest::keyClick(m_form.get(), Qt::Key_F2);
        } else {
            QVERIFY2(word.contains(QLatin1String("F1")), qPrintable(word));
            const QString focus = word.section(u'>', 1);
            QWidget *target = focus.isEmpty() ? m_form.get() : m_form->findChild<QWidget *>(focus);
            const qsizetype shown = m_platform.shown.size();
            stoppedWhileShown = false;
            QTest::keyClick(target, Qt::Key_F1, word.startsWith(QLatin1String("S-")) ? Qt::ShiftModifier
                    : word.startsWith(QLatin1String("C-"))                          ? Qt::ControlModifier
                                                                                    : Qt::NoModifier);
            QCOMPARE(m_platform.shown.size(), shown + 1);
            QCOMPARE(m_platform.shown.last().title, QStringLiteral("MOUSE TEST - Istruzioni"));
            const QStringList lines = m_platform.shown.last().text.split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 13);
            QCOMPARE(lines[2], QStringLiteral("Contrariamente alla realtà è il mouse (topo) che"));
            QVERIFY(stoppedWhileShown);
        }
    }
    QCOMPARE(m_platform.moves.size(), hits); // nothing else moved the window
}

void TestForm3::states_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("punti");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<int>("hitsInCaption"); // 0: the plain caption
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("fare"); // empty: hidden
    const auto row = [](const char *name, const char *script, bool running, const char *punti, const char *label2,
                         int hits, const QColor &colour, const char *fare) {
        QTest::newRow(name) << QString(script) << running << QString(punti) << QString(label2) << hits << colour
                            << QString(fare);
    };
    const bool on = true, off = false;
    row("start-up", "", off, "0", "", 0, yellow, "");
    row("cat and F2 do nothing before VIA", "click dclick F2", off, "0", "", 0, yellow, "");
    row("VIA asks for a left click", "via", on, "0", "0", 0, yellow, "sx");
    row("pause keeps the clock, cat off", "via t5 h2 pausa click", off, "5", "2", 2, yellow, "");
    row("VIA resumes", "via t5 h2 pausa via t1 h", on, "6", "3", 3, yellow, "sx");
    row("twenty hits wait for the tick", "via t3 h19 hd", on, "3", "20", 20, blue, "2 sx");
    row("nineteen hits go on", "via t3 h18 hd t1", on, "4", "19", 19, blue, "2 sx");
    row("the tick after twenty hits ends", "via t3 h19 hd t1", off, "4", "20", 0, grey, "2 sx");
    row("a hit before the tick counts", "via t3 h20 hd t1", off, "4", "21", 0, grey, "2 sx");
    row("a new game starts from nothing", "via t3 h19 hd t1 via", on, "4", "0", 0, grey, "2 sx");
    row("the new game's clock and hits", "via t3 pausa via h19 hd t1 via t1 h hr", on, "1", "2", 2, pink, "dx");
    // The clock stops at its largest value instead of overflowing; the game goes on.
    row("the clock stops at 32767", "via t32770 h19", on, "32767", "19", 19, yellow, "sx");
    row("and twenty hits still end", "via t32770 h20 t1", off, "32767", "20", 0, grey, "sx");
    row("F1 when ready starts", "F1 t1", on, "1", "0", 0, yellow, "sx");
    row("F1 when ready, VIA focused", "F1>Command2 t1", on, "1", "0", 0, yellow, "sx");
    row("Shift F1 goes on running", "via t7 h2 S-F1>Command3 t1", on, "8", "2", 2, yellow, "sx");
    row("Ctrl F1 resumes a pause", "via t7 h2 pausa C-F1>Command2 t1", on, "8", "2", 2, yellow, "sx");
    row("F1 after the end goes on from the result", "via t7 h20 t1 F1>Command2 t1", on, "9", "0", 0, grey, "sx");
}

void TestForm3::states()
{
    QFETCH(QString, script);
    QFETCH(bool, running);
    QFETCH(QString, punti);
    QFETCH(QString, label2);
    QFETCH(int, hitsInCaption);
    QFETCH(QColor, colour);
    QFETCH(QString, fare);
    run(script);
    QCOMPARE(state(), running ? QStringLiteral("running") : QStringLiteral("stopped"));
    QCOMPARE(text("punti"), punti);
    QCOMPARE(text("Label2"), label2);
    QCOMPARE(m_form->windowTitle(),
        hitsInCaption ? QStringLiteral("   MOUSE TEST (%1)").arg(hitsInCaption) : QStringLiteral("    MOUSE TEST"));
    QCOMPARE(background(), colour);
    QCOMPARE(child("Fare")->isVisible(), !fare.isEmpty());
    if (!fare.isEmpty())
        QCOMPARE(text("Fare"), fare);
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

    // No menu request may get past the cat to the window.
    m_form->setContextMenuPolicy(Qt::CustomContextMenu);
    QSignalSpy menus(m_form.get(), &QWidget::customContextMenuRequested);

    click("Command2");
    hit(kind);
    QCOMPARE(background(), colour);
    m_platform.queueHit(next);
    m_platform.queueHit(next);
    play(Gesture(gesture));
    QCOMPARE(m_platform.moves.size(), 1 + hits);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("   MOUSE TEST (%1)").arg(1 + hits));
    QCOMPARE(text("Label2"), QString::number(1 + hits));
    QCOMPARE(menus.count(), 0);
}

void TestForm3::twoRunsGoTheSameWay()
{
    // Each run plays a whole game with the program's own random numbers.
    QList<QPoint> moves[2];
    QList<int> kinds[2];
    for (int run = 0; run < 2; ++run) {
        init();
        click("Command2");
        for (int i = 0; i < 20; ++i) {
            const ChaseGame::Kind kind = m_form->game().modo();
            kinds[run] << kind;
            play(kind == ChaseGame::DoubleClick ? DoubleLeft : kind == ChaseGame::RightClick ? Right : Left);
        }
        m_form->Timer1_Timer();
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
