#pragma once

#include "chasegame.h"
#include "platform.h"
#include "randomsource.h"

#include <QList>
#include <QQueue>

#include <functional>

// A scripted desktop: random numbers from a queue, then from the game's own source; message titles and texts
// recorded, `whileShown` run while a box is up; a window frame that moveWindow() moves and records.
class FakePlatform : public Platform
{
public:
    QStringList shown, texts;
    std::function<void()> whileShown = [] {};
    QQueue<double> randoms;
    RandomSource fallback;
    QRect screen { 0, 0, 1280, 1024 };
    QRect frame { 100, 100, 170, 140 };
    QList<QPoint> moves;

    void message(const QString &title, const QString &text) override
    {
        shown << title, texts << text, whileShown();
    }
    double random() override { return randoms.isEmpty() ? fallback.next() : randoms.dequeue(); }
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
