#pragma once

#include "platform.h"

#include <QString>

// Whether the English words can be said, and when the speech engine is to be
// started again. The engine speaks through the desktop's speech service, and
// the service plays through the sound server: either may end or restart while
// the program runs (a speech service whose sound server restarted may even end
// on its next word). These rules see the sound output as the machine shows it
// at a window's first question, at each tick of a slow poll and when the engine
// loses its service; they never wait and read no clock: the caller probes,
// ticks and starts the engine when told.
class SpeechStatus
{
public:
    // The sound output at one moment: whether there is one, and which (the
    // sockets that answer and the files they are, the playback devices). A
    // server that restarts, even on the same socket, is another output.
    struct Output
    {
        bool present = false;
        QString identity;
        bool operator==(const Output &) const = default;
    };

    enum class Action { None, StartEngine };

    Platform::Speech status() const { return m_status; }

    // The first question of a window: the engine starts when there is sound.
    Action begin(const Output &now);
    // A tick of the poll: a change of the output turns speech off when the
    // output is gone, and starts an engine that was off again.
    Action tick(const Output &now);
    // The engine has started, with an English voice or without one.
    void started(Platform::Speech found);
    // A word was said and the service was still there after it.
    void said();
    // The engine lost its service: a word could not be handed over, or the
    // service ended while saying it. With sound it starts again once; lost
    // again before a word is said, speech is off until the output changes.
    Action lost(const Output &now);

private:
    Action startEngine();

    Output m_output;
    Platform::Speech m_status = Platform::Speech::Available;
    bool m_begun = false;
    bool m_starting = false;
    bool m_lostOnce = false;
};
