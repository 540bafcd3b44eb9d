#pragma once

#include "messages.h"

#include <QPoint>
#include <QRect>
#include <QString>

// The services of the desktop that the mouse trainer uses: a modal message
// box, uniform random numbers, the screen, and the outer frame of the game
// window, which the game reads and moves after every hit. Tests put a scripted
// double in its place to fix the random draws and watch the window's jumps.
class Platform : public Messages
{
public:
    // A uniform pseudo-random number in [0, 1).
    virtual double random() = 0;
    // The whole screen that shows the game window, in logical pixels.
    virtual QRect screenGeometry() = 0;
    // The game window's outer frame (decorations included), in logical pixels.
    virtual QRect windowFrame() = 0;
    // Places the game window so that its outer frame's top-left corner lands on
    // `frameTopLeft` (logical pixels, desktop coordinates).
    virtual void moveWindow(const QPoint &frameTopLeft) = 0;
};
