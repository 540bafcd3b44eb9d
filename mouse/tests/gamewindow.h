#pragma once

#include "ChaseWindow.h"
#include "fakeplatform.h"
#include "testing.h"

#include <QKeySequence>
#include <QLabel>
#include <QProperty>
#include <QTest>
#include <QTimer>

#include <memory>

// The game window on a scripted desktop, shown and active as the player's window is, its controls
// looked up by name, played the way the desktop delivers a player's clicks and keys and a timer's ticks.
struct GameWindow : QObject
{
    FakePlatform platform;
    std::unique_ptr<ChaseWindow> form = std::make_unique<ChaseWindow>(platform);
    CatImage *cat = control<CatImage>(form.get(), "Image1");
    QTimer *clock = control<QTimer>(form.get(), "Timer1"), *animation = control<QTimer>(form.get(), "Timer2");
    bool ticking = false;
    // The cat's pictures painted on the screen; the clock's starts and stops.
    int catPaints = 0, clockChanges = 0;
    const QPropertyNotifier watch = clock->bindableActive().addNotifier([this] { ++clockChanges; });
    const bool active = activate();

    bool activate()
    {
        for (QObject *watched : std::initializer_list<QObject *> { clock, animation, cat })
            watched->installEventFilter(this);
        form->show();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get());
    }
    // The timers fire only when tick() makes them fire, as the event loop
    // would: only a running timer, and only into what it is connected to. The cat's paints are counted.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        catPaints += watched == cat && event->type() == QEvent::Paint;
        return event->type() == QEvent::Timer && !ticking;
    }
    bool tick(QTimer *timer)
    {
        QTimerEvent event(timer->timerId());
        if ((ticking = timer->isActive()))
            QCoreApplication::sendEvent(timer, &event);
        return std::exchange(ticking, false);
    }
    // "L", "R", "M": a left, right, middle click on the cat; "LL", "RR", "MM":
    // a double click; "L~": a left press released off the cat.
    void play(const QString &gesture)
    {
        const QPoint at = cat->geometry().center();
        const auto button = Qt::MouseButton(1 << QStringLiteral("LRM").indexOf(gesture[0]));
        if (gesture.size() == 1)
            return QTest::mouseClick(form->windowHandle(), button, {}, at);
        if (gesture[1] != u'~')
            return QTest::mouseDClick(form->windowHandle(), button, {}, at);
        QTest::mousePress(form->windowHandle(), button, {}, at);
        QTest::mouseRelease(form->windowHandle(), button, {}, at + QPoint(40, 0));
    }
    // Plays the words of `script`: "via", "pausa"; "t3", "a3": three ticks of the clock, of the
    // animation; "h3": three hits that ask next for a left click, "hd", "hr": one that asks next for a
    // double, a right click; a gesture of play(), with ":d", ":r" its hits ask next for a double, a right
    // click; "F1", "F2", "Shift+F1>Command3", "Space>Command2": the key (with Shift, PAUSA or VIA focused).
    // Returns the first word that went wrong: a tick of a stopped timer, a tick of the animation that painted
    // no new picture of the cat on the screen, hits that stopped or restarted the clock (which would hold it
    // back).
    QString run(const QString &script)
    {
        for (const QString &word : script.split(u' ', Qt::SkipEmptyParts)) {
            const int count = qMax(word.mid(1).toInt(), 1), asked = QString("dlr").indexOf(word.back());
            const int next = asked < 0 ? ChaseGame::LeftClick : asked;
            if (word == "via" || word == "pausa") {
                QTest::mouseClick(
                    control(form.get(), word == "via" ? "Command2" : "Command3"), Qt::LeftButton);
            } else if (word[0] == u't' || word[0] == u'a') {
                for (int i = 0, paints = catPaints; i < count; ++i, paints = catPaints)
                    if (!tick(word[0] == u't' ? clock : animation)
                        || (word[0] == u'a' && !QTest::qWaitFor([&] { return catPaints > paints; })))
                        return word;
            } else if (word[0] == u'h') {
                const int changes = clockChanges;
                for (int i = 0; i < count; ++i) // each scored with the click it asks for
                    platform.queueHit(next), play(QStringList { "LL", "L", "R" }[form->game().modo()]);
                if (clockChanges != changes)
                    return word;
            } else if (word.contains(u'F') || word.contains(u'>')) {
                const QString focus = word.section(u'>', 1);
                QTest::keySequence(
                    focus.isEmpty() ? form.get() : control(form.get(), focus), word.section(u'>', 0, 0));
            } else {
                platform.queueHit(next), platform.queueHit(next);
                play(word.section(u':', 0, 0));
            }
        }
        return {};
    }
};
