#pragma once

#include "platform.h"

#include <QObject>
#include <QThread>

class QTextToSpeech;

// Speech through Qt's text-to-speech, on a thread of its own: starting the
// engine (which may have to start the desktop's speech service first) and
// speaking never hold up the windows. The engine is the speech service
// (speechd) with an English voice; flite only when the service is missing,
// and only until it fails.
class QtSpeech : public QObject
{
    Q_OBJECT

public:
    explicit QtSpeech(QObject *parent = nullptr);
    ~QtSpeech() override;

    // The first call starts the engine in the background.
    Platform::Speech status();
    void speak(const QString &text, QLocale::Language language);

    // Whether this machine has somewhere to play sound: a PulseAudio (or
    // PipeWire) server that answers on its socket, or an ALSA playback
    // device. A socket left behind by a server that has gone counts for nothing.
    static bool hasSoundOutput();

signals:
    void statusChanged();

private:
    void start();
    // Without sound, the places where a sound server or device appears are
    // watched; when one appears, the engine is tried again.
    void watchForOutput();
    void setStatus(Platform::Speech status);

    // Made at the first request; let go, not waited for, when the engine
    // does not stop in time as the program ends.
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr;
    bool m_started = false;
    class QFileSystemWatcher *m_outputWatch = nullptr;
    Platform::Speech m_status = Platform::Speech::Available;
};
