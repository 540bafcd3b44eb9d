// The real platform layer says "house" through the speech service into a
// PulseAudio server of the test's own, whose sink is recorded: the recording
// must not be silence.
#include "qtplatform.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr char Sink[] = "speech_test_sink";

// RMS amplitude of a raw recording (16-bit stereo 44.1 kHz), as sox measures it; -1 when sox fails.
double rmsOf(const QString &raw)
{
    QProcess sox;
    sox.start(QStringLiteral("sox"),
        { "-t", "raw", "-r", "44100", "-e", "signed", "-b", "16", "-c", "2", raw, "-n", "stat" });
    if (!sox.waitForFinished(5000))
        return -1;
    const auto found = QRegularExpression(QStringLiteral("RMS\\s+amplitude:\\s+([0-9.eE+-]+)"))
                           .match(QString::fromLocal8Bit(sox.readAllStandardError()));
    return found.hasMatch() ? found.captured(1).toDouble() : -1;
}
} // namespace

class tst_speech_e2e : public QObject
{
    Q_OBJECT

private slots:
    void saysHouseAloud();
};

void tst_speech_e2e::saysHouseAloud()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString runtime = dir.filePath(QStringLiteral("run"));
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString socket = runtime + QStringLiteral("/pulse.sock");
    // The speech service started for the program finds its sound server here.
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("PULSE_RUNTIME_PATH", (runtime + QStringLiteral("/pulse")).toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
    qputenv("HOME", dir.path().toLocal8Bit());

    QProcess pulse;
    pulse.setProcessChannelMode(QProcess::MergedChannels);
    pulse.start(QStringLiteral("pulseaudio"),
        { "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disallow-exit",
            QStringLiteral("--load=module-null-sink sink_name=%1").arg(Sink),
            QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=%1").arg(socket) });
    const auto stop = qScopeGuard([&pulse] {
        pulse.terminate();
        if (!pulse.waitForFinished(3000))
            pulse.kill();
    });
    const QDeadlineTimer pulseUp(5000);
    while (!QFile::exists(socket) && pulse.state() != QProcess::NotRunning && !pulseUp.hasExpired())
        pulse.waitForReadyRead(100);
    if (!QFile::exists(socket))
        QSKIP(qPrintable(QStringLiteral("PulseAudio could not start here, nothing to record: ")
            + QString::fromLocal8Bit(pulse.readAll()).right(300)));

    const QString raw = dir.filePath(QStringLiteral("speech.raw"));
    QProcess record;
    record.start(QStringLiteral("parecord"),
        { "--raw", "--format=s16le", "--rate=44100", "--channels=2",
            QStringLiteral("--device=%1.monitor").arg(Sink), raw });
    QVERIFY2(record.waitForStarted(3000), "parecord did not start");
    const auto stopRecording = qScopeGuard([&record] {
        record.terminate();
        record.waitForFinished(3000);
    });

    QtPlatform platform;
    QCOMPARE(platform.canSpeak(QLocale::English), Platform::Speech::Available);
    platform.speak(QStringLiteral("house"), QLocale::English);
    // The engine starts, the service may have to start too: poll the recording.
    double rms = 0;
    const QDeadlineTimer deadline(20000);
    while (rms < 0.01 && !deadline.hasExpired()) {
        QTest::qWait(250);
        rms = rmsOf(raw);
    }
    qInfo("RMS amplitude of the recording: %f", rms);
    QCOMPARE(platform.canSpeak(QLocale::English), Platform::Speech::Available);
    QVERIFY2(rms >= 0.01, qPrintable(QStringLiteral("the recording is silence (RMS %1)").arg(rms)));
}

QTEST_MAIN(tst_speech_e2e)
#include "tst_speech_e2e.moc"
