#pragma once

#include "Form3.h"
#include "fakeplatform.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <type_traits>

// The game window on a scripted desktop, its controls looked up by name, played
// the way the desktop delivers a player's clicks and a timer's ticks.
struct GameWindow : QObject
{
    FakePlatform platform;
    std::unique_ptr<Form3> form;
    QLabel *punti, *fare, *label2;
    QPushButton *via, *pausa;
    CatImage *cat;
    QTimer *clock, *animation;
    bool ticking = false;

    // Opens and shows a fresh window; returns the name of a control it lacks, else nothing.
    QString open()
    {
        platform = FakePlatform();
        form = std::make_unique<Form3>(platform);
        form->show();
        QString missing;
        const auto find = [&](auto *&control, const char *name) {
            control = form->findChild<std::remove_reference_t<decltype(*control)> *>(QLatin1String(name));
            if (!control && missing.isEmpty())
                missing = QLatin1String(name);
        };
        find(punti, "punti"), find(fare, "Fare"), find(label2, "Label2"), find(via, "Command2");
        find(pausa, "Command3"), find(cat, "Image1"), find(clock, "Timer1"), find(animation, "Timer2");
        for (QTimer *timer : { clock, animation })
            if (timer)
                timer->installEventFilter(this);
        return QTest::qWaitForWindowExposed(form.get()) ? missing : QStringLiteral("(not shown)");
    }
    // The timers fire only when tick() makes them fire, as the event loop
    // would: only a running timer, and only into what it is connected to.
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::Timer && !ticking; }
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
    // Scores one hit with the click asked for; the hit asks next for `next`.
    void hit(int next)
    {
        platform.queueHit(next);
        play(QStringList { "LL", "L", "R" }[form->game().modo()]);
    }
};
