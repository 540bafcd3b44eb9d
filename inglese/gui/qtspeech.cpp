#include "qtspeech.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <libspeechd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int PollMs = 2000;
// A service that ends on a word (as one does on the first word after its sound
// server restarted) is found gone when asked soon after it, and the word is
// said again; still there when asked the second time, the word was said.
constexpr int FirstCheckMs = 300;
constexpr int LastCheckMs = 1500;

} // namespace

// Lives on the speech thread: owns the connection to the speech service and
// does all its work there. Each call to the service waits for its answer.
class SpeechWorker : public QObject
{
    Q_OBJECT

public:
    ~SpeechWorker() override { close(); }

    // Connects to the service (which starts it when it is not running) and asks
    // for English; a word lost with the last connection is said again if asked.
    void start(bool sayAgain)
    {
        close();
        const QString lost = std::exchange(m_lostWord, QString());
        const Platform::Speech found = open();
        emit started(found);
        if (found == Platform::Speech::Available && sayAgain && !lost.isEmpty())
            say(lost, true);
    }

    void say(const QString &text, bool again = false)
    {
        const int word = ++m_words;
        if (!m_connection) {
            m_lostWord = text;
            return;
        }
        // A new word stops the one being said.
        spd_cancel(m_connection);
        // A word is said again only once, and only when it was lost on its way:
        // a service found gone later may have ended for another reason.
        const QString unsaid = again ? QString() : text;
        if (spd_say(m_connection, SPD_MESSAGE, text.toUtf8().constData()) < 0)
            return lose(unsaid);
        const auto check = [this, word, unsaid](bool last) {
            if (word != m_words || !m_connection)
                return;
            if (!answers())
                lose(last ? QString() : unsaid);
            else if (last)
                emit said();
        };
        QTimer::singleShot(FirstCheckMs, this, [check] { check(false); });
        QTimer::singleShot(LastCheckMs, this, [check] { check(true); });
    }

signals:
    void started(Platform::Speech found);
    void said();
    void lost();

private:
    Platform::Speech open()
    {
        char *error = nullptr;
        m_connection = spd_open2("inglese", "parole", nullptr, SPD_MODE_SINGLE, nullptr, 1, &error);
        std::free(error);
        if (!m_connection)
            return Platform::Speech::NoVoice;
        // The service's "dummy" module only says that no synthesizer is set up.
        bool synthesizer = false;
        char **modules = spd_list_modules(m_connection);
        for (char **module = modules; module && *module; ++module)
            synthesizer = synthesizer || std::strcmp(*module, "dummy") != 0;
        free_spd_modules(modules);
        // British English first; the service picks its own voice for the language.
        for (const char *language : { "en-GB", "en" }) {
            m_language = language;
            if (synthesizer && answers())
                return Platform::Speech::Available;
        }
        close();
        return Platform::Speech::NoVoice;
    }

    // Asks for the language again: a question answered by a code alone (the
    // client library breaks on a lost service when an answer holds a value).
    bool answers() { return spd_set_language(m_connection, m_language) == 0; }

    void lose(const QString &unsaid)
    {
        close();
        m_lostWord = unsaid;
        emit lost();
    }

    void close()
    {
        if (m_connection)
            spd_close(std::exchange(m_connection, nullptr));
    }

    SPDConnection *m_connection = nullptr;
    const char *m_language = nullptr;
    QString m_lostWord;
    int m_words = 0;
};

namespace {

// Whether a server listens on the local socket: connecting to one that is
// left behind fails at once, and one too busy to take the call still counts.
bool listens(const QString &path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof(address.sun_path)))
        return QFileInfo::exists(path);
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const bool answered
        = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 || errno == EAGAIN;
    ::close(fd);
    return answered;
}

// The local sockets of the sound server: those PULSE_SERVER names (empty for
// one on the network), else the usual places.
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
    // A service that does not answer must not keep the program from ending:
    // after a short wait the thread is left to the end of the process.
    if (m_thread->wait(QDeadlineTimer(2000)))
        delete m_thread;
}

SpeechStatus::Output QtSpeech::soundOutput()
{
    SpeechStatus::Output output;
    // PULSE_SERVER names the servers to use, in order: "unix:PATH" or a path
    // is checked; a server on the network (no path here) is taken on trust.
    for (const QString &path : serverSockets()) {
        if (!path.isEmpty() && !listens(path))
            continue;
        output.present = true;
        // The same path holds another socket once its server has restarted.
        struct stat file;
        if (!path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &file) == 0)
            output.identity += QStringLiteral("%1 %2 %3.%4\n")
                                   .arg(path)
                                   .arg(file.st_ino)
                                   .arg(file.st_ctim.tv_sec)
                                   .arg(file.st_ctim.tv_nsec);
        else
            output.identity += path + u'\n';
    }
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return output;
    // ALSA playback devices are named pcmC<card>D<device>p.
    const QStringList devices
        = QDir(QStringLiteral("/dev/snd")).entryList({ QStringLiteral("pcmC*D*p") }, QDir::System);
    output.present = output.present || !devices.isEmpty();
    output.identity += devices.join(u'\n');
    return output;
}

Platform::Speech QtSpeech::status()
{
    if (!m_poll) {
        m_poll = new QTimer(this);
        connect(m_poll, &QTimer::timeout, this, [this] {
            const Platform::Speech before = m_rules.status();
            follow(m_rules.tick(soundOutput()), before);
        });
        m_poll->start(PollMs);
        // The answer of this first call tells the status: no signal for it.
        const SpeechStatus::Action action = m_rules.begin(soundOutput());
        follow(action, m_rules.status());
    }
    return m_rules.status();
}

void QtSpeech::follow(SpeechStatus::Action action, Platform::Speech before, bool sayAgain)
{
    if (action == SpeechStatus::Action::StartEngine) {
        if (!m_thread) {
            m_worker = new SpeechWorker;
            m_thread = new QThread;
            m_worker->moveToThread(m_thread);
            connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
            connect(m_worker, &SpeechWorker::started, this, [this](Platform::Speech found) {
                const Platform::Speech was = m_rules.status();
                m_rules.started(found);
                follow(SpeechStatus::Action::None, was);
            });
            connect(m_worker, &SpeechWorker::said, this, [this] { m_rules.said(); });
            connect(m_worker, &SpeechWorker::lost, this, [this] {
                const Platform::Speech was = m_rules.status();
                follow(m_rules.lost(soundOutput()), was, true);
            });
            m_thread->setObjectName(QStringLiteral("speech"));
            m_thread->start(QThread::LowPriority);
        }
        QMetaObject::invokeMethod(m_worker, [worker = m_worker, sayAgain] { worker->start(sayAgain); });
    }
    if (m_rules.status() != before)
        emit statusChanged();
}

void QtSpeech::speak(const QString &text, QLocale::Language language)
{
    if (text.isEmpty() || language != QLocale::English || status() != Platform::Speech::Available
        || !m_worker)
        return;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, text] { worker->say(text); });
}

#include "qtspeech.moc"
