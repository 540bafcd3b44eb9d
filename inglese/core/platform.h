#pragma once

#include "messages.h"

#include <QDate>
#include <QLocale>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTime>

#include <functional>

// The services of the desktop that the vocabulary trainer uses: modal message
// boxes, the beep, random numbers, the clock, the screen and the current
// folder, speech and the file dialogues. The windows and the logic classes reach the desktop only through
// this interface, so that tests can script the answers to message boxes, count
// beeps and fix random draws.
class Platform : public Messages
{
public:
    // Whether words of a language can be spoken, and if not, why.
    enum class Speech { Available, NoVoice, NoOutput };

    // Sounds the system beep `times` times, without blocking the window.
    virtual void beep(int times = 1) = 0;
    // A uniform pseudo-random number in [0, 1).
    virtual double random() = 0;
    virtual void seedRandomFromClock() = 0;
    virtual QDate currentDate() = 0;
    virtual QTime currentTime() = 0;
    // Available screen size in logical pixels.
    virtual QSize screenSize() = 0;
    virtual QString currentFolder() = 0;

    // Says `text` in `language` without waiting for it; a new request stops
    // the text being said. Does nothing when speech is not available.
    virtual void speak(const QString &text, QLocale::Language language)
    {
        Q_UNUSED(text)
        Q_UNUSED(language)
    }
    // May change while the program runs (the engine starts in the background,
    // or fails): `changed` is then called, as long as `context` lives.
    virtual Speech canSpeak(QLocale::Language language)
    {
        Q_UNUSED(language)
        return Speech::NoVoice;
    }
    virtual void watchSpeech(QObject *context, const std::function<void()> &changed)
    {
        Q_UNUSED(context)
        Q_UNUSED(changed)
    }

    // A file dialogue: asks for a file to open, or a name to save to, and
    // returns the path chosen, or empty when the user cancels. A name typed
    // without an extension gets `suffix` inside the dialogue, before it asks
    // whether to replace a file of that name.
    struct FileQuestion
    {
        enum class Mode { Open, Save };
        Mode mode = Mode::Open;
        QString title;
        QString folder; // where the dialogue starts
        QString name; // the name suggested for a save
        QString filter; // "Immagini PNG (*.png);;Tutti i file (*)"
        QString suffix; // without the dot
    };
    virtual QString askFileName(const FileQuestion &question) = 0;
};
