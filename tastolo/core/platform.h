#pragma once

#include "messages.h"

#include <QPoint>
#include <QString>
#include <QStringList>

// The desktop services the keyboard trainer needs: modal message boxes that
// return the button pressed, the process's current folder, the user's home
// folder, the list of drives (on Linux the file-system roots and mounted
// volumes) and the place of the window's outer frame. The windows reach the
// desktop only through this interface so that tests can script the answers
// to message boxes and keep the test process's folders untouched.
class Platform : public Messages
{
public:
    virtual QString currentFolder() = 0;
    // Makes `folder` the current folder; false when it cannot be entered.
    virtual bool setCurrentFolder(const QString &folder) = 0;
    virtual QString homeFolder() = 0;
    // Root folders of the drives, in native form ("/", "/media/usb", "C:\").
    virtual QStringList drives() = 0;
    // Puts the main window's outer frame, title bar included, at `topLeft`
    // pixels from the screen's top left corner.
    virtual void moveFrame(const QPoint &topLeft) = 0;
};
