#include "qtspeech.h"

#include <QDeadlineTimer>

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTextToSpeech>
#include <QVoice>

#include <algorithm>
#include <csignal>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Lives on the speech thread: owns the engine and does all its work there.
class SpeechWorker : public QObject
{
public:
    // Picks the engine and an English voice; returns the status found.
    Platform::Speech start()
    {
        delete m_tts;
        m_tts = nullptr;
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

// Whether a server listens on the local socket: connecting to one that is
// left behind fails at once.
bool listens(const QString &path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof(address.sun_path)))
        return QFileInfo::exists(path);
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

// The local sockets of the sound server: those PULSE_SERVER names, else the usual places.
QStringList serverSockets()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        QStringList sockets;
        for (const QString &server : qEnvironmentVariable("PULSE_SERVER").split(u' ', Qt::SkipEmptyParts)) {
            const QString path = server.startsWith(QStringLiteral("unix:")) ? server.mid(5) : server;
            sockets << (path.startsWith(u'/') ? path : QString());
        }
        return sockets;
    }
    QStringList sockets { QStringLiteral("/run/pulse/native"),
        QStringLiteral("/run/user/%1/pulse/native").arg(getuid()) };
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        sockets.prepend(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native"));
    return sockets;
}

} // namespace

QtSpeech::QtSpeech(QObject *parent)
    : QObject(parent)
{
    // The speech service is reached through a socket: a service that has
    // gone must fail the next write to it, not end the program with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
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
    // PULSE_SERVER names the servers to use, in order: "unix:PATH" or a path
    // is checked; a server on the network (no path here) is taken on trust.
    const QStringList sockets = serverSockets();
    const bool named = !qEnvironmentVariableIsEmpty("PULSE_SERVER");
    if (std::any_of(sockets.cbegin(), sockets.cend(),
            [](const QString &path) { return path.isEmpty() || listens(path); }))
        return true;
    if (named)
        return false;
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
        watchForOutput();
        return;
    }
    if (!m_thread) {
        auto *worker = new SpeechWorker;
        m_worker = worker;
        m_thread = new QThread;
        worker->moveToThread(m_thread);
        connect(m_thread, &QThread::finished, worker, &QObject::deleteLater);
        m_thread->setObjectName(QStringLiteral("speech"));
        m_thread->start(QThread::LowPriority);
    }
    auto *worker = static_cast<SpeechWorker *>(m_worker);
    QMetaObject::invokeMethod(worker, [this, worker] {
        const Platform::Speech found = worker->start();
        if (QTextToSpeech *tts = worker->engine()) {
            // An engine that fails, or that cannot reach the sound, turns speech
            // off: without sound it would stay silent while seeming to work.
            const auto lost = [this] {
                QMetaObject::invokeMethod(this, [this] { setStatus(Platform::Speech::NoOutput); });
            };
            connect(tts, &QTextToSpeech::errorOccurred, worker, lost);
            connect(tts, &QTextToSpeech::stateChanged, worker, [lost](QTextToSpeech::State state) {
                if (state == QTextToSpeech::Error)
                    lost();
            });
        }
        QMetaObject::invokeMethod(this, [this, found] { setStatus(found); });
    });
}

void QtSpeech::setStatus(Platform::Speech status)
{
    if (status == Platform::Speech::NoOutput)
        watchForOutput();
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged();
}

void QtSpeech::watchForOutput()
{
    if (m_outputWatch)
        return;
    m_outputWatch = new QFileSystemWatcher(this);
    QStringList places { QStringLiteral("/dev/snd") };
    for (const QString &socket : serverSockets())
        if (!socket.isEmpty())
            places << QFileInfo(socket).path();
    for (const QString &place : std::as_const(places))
        if (QFileInfo(place).isDir())
            m_outputWatch->addPath(place);
    connect(m_outputWatch, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (m_status != Platform::Speech::NoOutput || !hasSoundOutput())
            return;
        // The sound is back: the engine is tried again from the start.
        m_outputWatch->deleteLater();
        m_outputWatch = nullptr;
        m_started = false;
        start();
    });
}

void QtSpeech::speak(const QString &text, QLocale::Language language)
{
    if (text.isEmpty() || language != QLocale::English || status() != Platform::Speech::Available)
        return;
    auto *worker = static_cast<SpeechWorker *>(m_worker);
    QMetaObject::invokeMethod(worker, [worker, text] { worker->say(text); });
}
