#pragma once

#include "chasegame.h"
#include "platform.h"
#include "scriptedmessages.h"

#include <QList>
#include <QQueue>

// A scripted desktop: random numbers from a queue (0.5 when it is empty); message boxes recorded;
// a window frame that moveWindow() moves and records.
class FakePlatform : public ScriptedMessages<Platform>
{
public:
    QQueue<double> randoms;
    QRect screen { 0, 0, 1280, 1024 };
    QRect frame { 100, 100, 170, 140 };
    QList<QPoint> moves;

    double random() override { return randoms.isEmpty() ? 0.5 : randoms.dequeue(); }
    QRect screenGeometry() override { return screen; }
    QRect windowFrame() override { return frame; }
    void moveWindow(const QPoint &frameTopLeft) override
    {
        frame.moveTopLeft(moves.emplace_back(frameTopLeft));
    }
    // Queues the three draws of the next hit so that it asks next for `kind`.
    void queueHit(int kind)
    {
        randoms << 0.5 << 0.5 << (kind == ChaseGame::LeftClick ? 0.3 : kind * 0.25 + 0.1);
    }
};
