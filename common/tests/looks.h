#pragma once

// The look harness of the programs' tests: a window in one state is drawn offscreen and compared with a
// reference picture, and what a user and a screen reader meet in it with a reference text beside it.

#include <QImage>
#include <QString>

#include <initializer_list>

class QWidget;

namespace Looks {

// The window as a user and a screen reader meet it: the title (and `aboutWindow` after it), the control
// with the focus, the controls that Tab visits in turn, the running timers, the menus' entries (- a
// separator), then each visible control as the accessibility tree has it (Qt's own viewports and scroll
// bars left out): where, role, name, description, state, value and range, and the `properties` it has.
QString windowState(QWidget *window, const QString &aboutWindow = QString(),
    std::initializer_list<const char *> properties = {});

// Compares with <folder>/<row>.png (a colour channel may be 16 off) and <row>.names.txt. On any difference
// writes <row>.actual.png, <row>.diff.png (the picture with the differing pixels red) and
// <row>.actual.names.txt into the working folder; UPDATE_LOOKS=1 writes the references instead.
void compare(const QString &folder, const QString &row, const QImage &picture, const QString &names);

// What Qt shows of a tooltip: a text that it takes for markup, read as markup.
QString shownTip(const QString &tip);

} // namespace Looks
