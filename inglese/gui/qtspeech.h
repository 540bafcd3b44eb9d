#pragma once

#include "platform.h"
#include "speechstatus.h"

#include <QObject>

class QThread;
class QTimer;
class SpeechWorker;

// Speech through the desktop's speech service (speech-dispatcher), on a thread
// of its own: starting the service and speaking never hold up the windows. The
// service is asked for English and picks its own voice for it, so the program
// never waits for the service's list of voices (thousands with espeak-ng). The
// sound output is looked at every two seconds; SpeechStatus decides what a
// change means.
class QtSpeech : public QObject
{
    Q_OBJECT

public:
    explicit QtSpeech(QObject *parent = nullptr);
    ~QtSpeech() override;

    // The first call starts the engine in the background.
    Platform::Speech status();
    void speak(const QString &text, QLocale::Language language);

    // Where this machine can play sound now: PulseAudio (or PipeWire) servers
    // that answer on their sockets, or ALSA playback devices. A socket left
    // behind by a server that has gone counts for nothing.
    static SpeechStatus::Output soundOutput();

signals:
    void statusChanged();

private:
    // Carries out what the rules answered to an event, and tells the windows
    // when the status moved from `before`.
    void follow(SpeechStatus::Action action, Platform::Speech before, bool sayAgain = false);

    SpeechStatus m_rules;
    QTimer *m_poll = nullptr;
    // Made when the engine first starts; let go, not waited for, when the
    // service does not answer in time as the program ends.
    QThread *m_thread = nullptr;
    SpeechWorker *m_worker = nullptr;
};
