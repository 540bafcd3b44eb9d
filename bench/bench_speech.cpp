// Speech as the pupil hears it: the time from a request to speak ("house") to
// the first sound, through the real speech service into a sound server of the
// benchmark's own (PulseAudio with a null sink whose monitor is recorded),
// against espeak-ng alone saying the same word into the same server.
//
//   the first word right after the start, with the speech service not yet running
//   the first word right after the start, with the service already running
//   a later word
//   after the sound server restarts on the same socket: from the restart to the
//   first word heard, asking once every half second as a pupil pressing F5 would
//
//   bench_speech [ROUNDS]   (5 rounds; needs pulseaudio, parec, speech-dispatcher, espeak-ng)

#include "qtspeech.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <span>

#include <csignal>

namespace {

constexpr int Loud = 1000; // a sample above this is sound, not the null sink's silence
constexpr int Patience = 30000; // ms for one word at most

QElapsedTimer clock_;

// Runs the event loop until `done` or `ms` have passed; returns whether `done` came.
bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// The sink's monitor, read as it comes: the time of the first loud sample since the last arm().
class Recorder
{
public:
    explicit Recorder(const QString &device)
    {
        m_parec.setProgram(QStringLiteral("parec"));
        m_parec.setArguments({ QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
            QStringLiteral("--rate=22050"), QStringLiteral("--channels=1"),
            QStringLiteral("--latency-msec=5"), QStringLiteral("--device=") + device });
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, &m_parec, [this] { read(); });
    }
    // Returns once the recording runs: the sink's silence comes in.
    bool start()
    {
        m_parec.start();
        return m_parec.waitForStarted(3000) && waitFor([this] { return m_heard; }, 5000);
    }
    void arm()
    {
        read();
        m_loudAt = -1;
    }
    qint64 loudAt() const { return m_loudAt; }
    qint64 lastLoud() const { return m_lastLoud; }
    ~Recorder()
    {
        m_parec.terminate();
        m_parec.waitForFinished(3000);
    }

private:
    void read()
    {
        m_pending += m_parec.readAllStandardOutput();
        m_heard = m_heard || !m_pending.isEmpty();
        const qint64 now = clock_.elapsed();
        const auto samples
            = std::span(reinterpret_cast<const qint16 *>(m_pending.constData()), m_pending.size() / 2);
        if (std::any_of(samples.begin(), samples.end(), [](qint16 s) { return std::abs(int(s)) > Loud; })) {
            m_lastLoud = now;
            if (m_loudAt < 0)
                m_loudAt = now;
        }
        m_pending.remove(0, samples.size() * 2);
    }

    QProcess m_parec;
    QByteArray m_pending;
    bool m_heard = false;
    qint64 m_loudAt = -1;
    qint64 m_lastLoud = -1;
};

// A PulseAudio server with one null sink, on the usual socket of the runtime folder.
class SoundServer
{
public:
    explicit SoundServer(const QString &runtime)
        : m_socket(runtime + QStringLiteral("/pulse/native"))
    {
        QDir().mkpath(runtime + QStringLiteral("/pulse"));
    }
    bool start()
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("pulseaudio"),
            { QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                QStringLiteral("--use-pid-file=no"),
                QStringLiteral("--load=module-null-sink sink_name=spoken"),
                QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + m_socket });
        return waitFor([] { return QtSpeech::soundOutput().present; }, 10000);
    }
    void stop()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    ~SoundServer() { stop(); }

private:
    QString m_socket;
    QProcess m_process;
};

// Ends the speech service that was started for the benchmark, as it is not ours to keep.
void endSpeechService(const QString &runtime)
{
    QFile pidFile(runtime + QStringLiteral("/speech-dispatcher/pid/speech-dispatcher.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return;
    const int pid = pidFile.readAll().trimmed().toInt();
    if (pid <= 0 || ::kill(pid, SIGTERM) != 0)
        return;
    waitFor([pid] { return ::kill(pid, 0) != 0; }, 5000);
}

// Waits until the sink has been quiet for a while: the last word is over.
void waitForQuiet(Recorder &recorder)
{
    waitFor([&] { return clock_.elapsed() - std::max<qint64>(recorder.lastLoud(), 0) > 400; }, Patience);
}

// The time from `ask` to the first sound, or -1.
qint64 timeToSound(Recorder &recorder, const std::function<void()> &ask)
{
    waitForQuiet(recorder);
    recorder.arm();
    const qint64 asked = clock_.elapsed();
    ask();
    if (!waitFor([&] { return recorder.loudAt() >= 0; }, Patience))
        return -1;

    return recorder.loudAt() - asked;
}

void printRow(const char *what, QList<qint64> times)
{
    std::sort(times.begin(), times.end());
    if (times.isEmpty() || times.first() < 0) {
        std::printf("%-62s | %s\n", what, "no sound");
        return;
    }
    std::printf("%-62s | %7lld ms | %7lld ms | %7lld ms\n", what,
        static_cast<long long>(times.at(times.size() / 2)), static_cast<long long>(times.first()),
        static_cast<long long>(times.last()));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    clock_.start();
    QTemporaryDir dir;
    const QString runtime = dir.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The sound server, the speech service and espeak-ng all find each other through these,
    // whatever the desktop runs.
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("HOME", dir.path().toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + runtime + "/pulse/native").toLocal8Bit());
    qunsetenv("SPEECHD_ADDRESS");

    SoundServer server(runtime);
    if (!server.start()) {
        std::printf("PulseAudio could not start here\n");
        return 1;
    }
    auto recorder = std::make_unique<Recorder>(QStringLiteral("spoken.monitor"));
    if (!recorder->start()) {
        std::printf("parec could not start\n");
        return 1;
    }
    const auto say = [](QtSpeech &speech) { speech.speak(QStringLiteral("house"), QLocale::English); };

    std::printf(
        "%d rounds, from the request to the first sound%-21s | median    | least     | most\n", rounds, "");
    QList<qint64> alone, cold, warm, later, restart;
    // espeak-ng and its data read once from the disk before anything is timed.
    timeToSound(
        *recorder, [] { QProcess::startDetached(QStringLiteral("espeak-ng"), { QStringLiteral("house") }); });
    for (int round = 0; round < rounds; ++round) {
        alone << timeToSound(*recorder,
            [] { QProcess::startDetached(QStringLiteral("espeak-ng"), { QStringLiteral("house") }); });

        endSpeechService(runtime);
        {
            // The program starts: the window asks whether it can speak, and the pupil presses F5 at once.
            QtSpeech speech;
            cold << timeToSound(*recorder, [&] {
                speech.status();
                say(speech);
            });
            // A second program start while this one keeps the service running.
            QtSpeech second;
            warm << timeToSound(*recorder, [&] {
                second.status();
                say(second);
            });
            later << timeToSound(*recorder, [&] { say(speech); });

            // The sound server restarts on the same socket; the pupil asks every half second.
            waitForQuiet(*recorder);
            recorder.reset();
            server.stop();
            server.start();
            recorder = std::make_unique<Recorder>(QStringLiteral("spoken.monitor"));
            recorder->start();
            restart << timeToSound(*recorder, [&] {
                for (qint64 next = 0; recorder->loudAt() < 0 && next < 60000; next += 500) {
                    if (speech.status() == Platform::Speech::Available)
                        say(speech);
                    waitFor([&] { return recorder->loudAt() >= 0; }, 500);
                }
            });
        }
    }
    printRow("espeak-ng alone", alone);
    printRow("first word at start, speech service not running", cold);
    printRow("first word at start, speech service running", warm);
    printRow("a later word", later);
    printRow("after the sound server restarts: first word heard", restart);
    recorder.reset();
    endSpeechService(runtime);
    return 0;
}
