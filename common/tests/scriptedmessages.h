#pragma once

#include "messages.h"

#include <QList>
#include <QQueue>

#include <functional>

// The message boxes of a program's scripted desktop (`Desktop`, its platform
// interface): every box is recorded and answered from `answers`, with none
// queued by its first button (OK or Yes).
template<class Desktop> class ScriptedMessages : public Desktop
{
public:
    struct Shown
    {
        QString title, text;
        Messages::Buttons buttons;
        Messages::Icon icon;
    };

    QQueue<Messages::Answer> answers;
    QList<Shown> shown;
    // Runs while a box is open, as the events a real box lets through.
    std::function<void()> whileShown;

    Messages::Answer message(
        const QString &title, const QString &text, Messages::Buttons buttons, Messages::Icon icon) override
    {
        shown.append({ title, text, buttons, icon });
        if (whileShown)
            whileShown();
        if (!answers.isEmpty())
            return answers.dequeue();
        const bool yes = buttons == Messages::Buttons::YesNo || buttons == Messages::Buttons::YesNoCancel;
        return yes ? Messages::Answer::Yes : Messages::Answer::Ok;
    }
};
