#pragma once

#include "chasegame.h"
#include "platform.h"
#include "randomsource.h"

#include <QList>
#include <QQueue>

#include <functional>

// A scripted desktop for tests. Random numbers come from a queue and, when it
// is empty, from the game's own fixed-seed source. Message boxes are recorded
// and run `whileShown` as if the user looked at them. The window frame is a
// rectangle that moveWindow() moves and records.
class FakePlatform : public Platform
{
public:
    struct Shown
    {
        QString title;
        QString text;
    };

    QList<Shown> shown;
    std::function<void()> whileShown;
    QQueue<double> randoms;
    RandomSource fallback;
    QRect screen { 0, 0, 1280, 1024 };
    QRect frame { 100, 100, 170, 140 };
    QList<QPoint> moves;

    void message(const QString &title, const QString &text) override
    {
        shown.append({ title, text });
        if (whileShown)
            whileShown();
    }
    double random() override { return randoms.isEmpty() ? fallback.next() : randoms.dequeue(); }
    QRect screenGeometry() override { return screen; }
    QRect windowFrame() override { return frame; }
    void moveWindow(const QPoint &frameTopLeft) override
    {
        moves.append(frameTopLeft);
        frame.moveTopLeft(frameTopLeft);
    }

    // Queues the three draws of the next hit so that it asks next for `kind`.
    void queueHit(ChaseGame::Kind kind, double r1 = 0.5, double r2 = 0.5)
    {
        const double r3 = kind == ChaseGame::DoubleClick ? 0.1 : kind == ChaseGame::LeftClick ? 0.3 : 0.6;
        randoms << r1 << r2 << r3;
    }
};
