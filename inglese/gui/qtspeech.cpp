#include "qtspeech.h"

#include <QDeadlineTimer>

#include <QDir>
#include <QFileInfo>
#include <QTextToSpeech>
#include <QVoice>

#include <unistd.h>

namespace {

// Lives on the speech thread: owns the engine and does all its work there.
class SpeechWorker : public QObject
{
public:
    // Picks the engine and an English voice; returns the status found.
    Platform::Speech start(QString &engineName)
    {
        const QStringList engines = QTextToSpeech::availableEngines();
        for (const QString &engine : { QStringLiteral("speechd"), QStringLiteral("flite") }) {
            if (!engines.contains(engine))
                continue;
            auto *tts = new QTextToSpeech(engine, this);
            if (tts->state() == QTextToSpeech::Error || !chooseEnglish(tts)) {
                delete tts;
                continue;
            }
            m_tts = tts;
            engineName = engine;
            return Platform::Speech::Available;
        }
        return Platform::Speech::NoVoice;
    }

    void say(const QString &text)
    {
        if (!m_tts)
            return;
        if (m_tts->state() == QTextToSpeech::Speaking || m_tts->state() == QTextToSpeech::Paused)
            m_tts->stop();
        m_tts->say(text);
    }

    QTextToSpeech *engine() const { return m_tts; }

private:
    static bool chooseEnglish(QTextToSpeech *tts)
    {
        const QList<QLocale> locales = tts->availableLocales();
        QLocale chosen(QLocale::C);
        // British English first, any English after.
        for (const QLocale &locale : locales) {
            if (locale.language() != QLocale::English)
                continue;
            if (chosen.language() != QLocale::English || locale.territory() == QLocale::UnitedKingdom)
                chosen = locale;
        }
        if (chosen.language() != QLocale::English)
            return false;
        tts->setLocale(chosen);
        return tts->locale().language() == QLocale::English;
    }

    QTextToSpeech *m_tts = nullptr;
};

} // namespace

QtSpeech::QtSpeech(QObject *parent)
    : QObject(parent)
{
}

QtSpeech::~QtSpeech()
{
    if (!m_thread)
        return;
    m_thread->quit();
    // An engine stuck in the speech service must not keep the program from
    // ending: after a short wait the thread is left to the end of the process.
    if (m_thread->wait(QDeadlineTimer(2000)))
        delete m_thread;
}

bool QtSpeech::hasSoundOutput()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    QStringList sockets { QStringLiteral("/run/pulse/native"),
        QStringLiteral("/run/user/%1/pulse/native").arg(getuid()) };
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        sockets.prepend(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native"));
    for (const QString &socket : sockets) {
        if (QFileInfo::exists(socket))
            return true;
    }
    // ALSA playback devices are named pcmC<card>D<device>p.
    return !QDir(QStringLiteral("/dev/snd"))
                .entryList({ QStringLiteral("pcmC*D*p") }, QDir::System)
                .isEmpty();
}

Platform::Speech QtSpeech::status()
{
    start();
    return m_status;
}

void QtSpeech::start()
{
    if (m_started)
        return;
    m_started = true;
    if (!hasSoundOutput()) {
        m_status = Platform::Speech::NoOutput;
        return;
    }
    auto *worker = new SpeechWorker;
    m_worker = worker;
    m_thread = new QThread;
    worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, worker, &QObject::deleteLater);
    m_thread->setObjectName(QStringLiteral("speech"));
    m_thread->start(QThread::LowPriority);
    QMetaObject::invokeMethod(worker, [this, worker] {
        QString engine;
        const Platform::Speech found = worker->start(engine);
        if (QTextToSpeech *tts = worker->engine()) {
            // A failure while speaking turns speech off, with its reason.
            connect(tts, &QTextToSpeech::errorOccurred, worker, [this](QTextToSpeech::ErrorReason reason) {
                const Platform::Speech now = reason == QTextToSpeech::ErrorReason::Playback
                    ? Platform::Speech::NoOutput
                    : Platform::Speech::NoVoice;
                QMetaObject::invokeMethod(this, [this, now] {
                    m_status = now;
                    emit statusChanged();
                });
            });
        }
        QMetaObject::invokeMethod(this, [this, found, engine] {
            m_engine = engine;
            if (found != m_status) {
                m_status = found;
                emit statusChanged();
            }
        });
    });
}

void QtSpeech::speak(const QString &text, QLocale::Language language)
{
    if (text.isEmpty() || language != QLocale::English || status() != Platform::Speech::Available)
        return;
    auto *worker = static_cast<SpeechWorker *>(m_worker);
    QMetaObject::invokeMethod(worker, [worker, text] { worker->say(text); });
}
