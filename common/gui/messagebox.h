#pragma once

#include "messages.h"

class QWidget;

// The message box of the three programs, as Messages describes it: the title
// and the text shown as they are, never as markup, cut so that the box fits
// the screen (a text of ten million characters opens at once with its buttons
// in view), and the box wide enough for its whole title.
Messages::Answer messageBox(QWidget *parent, const QString &title, const QString &text,
    Messages::Buttons buttons, Messages::Icon icon);
