#pragma once

#include <QString>

// The modal message boxes of the programs: a title, a text shown as it is
// (never as markup), the buttons and an icon. The answer is the button
// pressed. Escape and the window's close button give the answer that changes
// nothing: OK in a box with OK alone, otherwise Cancel, even where the box
// shows no Cancel button. A caller acts only on the answer that asks for it
// (Yes, OK) or on No where No is a choice of its own; on Cancel it backs out
// of the whole action and keeps everything as it is.
class Messages
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Stop };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Messages() = default;

    // Shows a modal message box and returns the answer.
    virtual Answer message(
        const QString &title, const QString &text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None)
        = 0;
};
