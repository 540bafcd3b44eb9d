#pragma once

// A real message box, opened and answered as a user answers it.

#include "messages.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

namespace Boxes {

// How the user ends a box: Escape, the close button of its title bar, or a click on its button that reads
// so ("OK", "Cancel", "Yes", "No").
using Way = QString;

// What the box showed, and the answer it gave.
struct Seen
{
    QString title, text;
    bool plain = false; // its text shown as it is
    int icon = -1; // a QMessageBox::Icon
    QStringList buttons; // the buttons shown, in the order of the box
    QImage picture; // as large as the box
    QString state; // Looks::windowState()
    Messages::Answer answer = Messages::Answer::Ok;
    bool leftOpen = false; // the way did not close the box
};

// Calls `open`, which shows a box, and answers the box by `way` as soon as it shows.
Seen answer(const std::function<Messages::Answer()> &open, const Way &way);

} // namespace Boxes
