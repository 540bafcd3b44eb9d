// The real platform layer says "house" through the speech service into a
// PulseAudio server of the test's own; the recording of its sink must not be silence.
#include "qtplatform.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestSpeechEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void saysHouseAloud()
    {
        QTemporaryDir dir;
        const QString run = dir.filePath("run"), socket = run + "/pulse.sock",
                      raw = dir.filePath("speech.raw");
        QVERIFY(QDir().mkpath(run));
        QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The speech service, started for the program, inherits these.
        qputenv("XDG_RUNTIME_DIR", run.toLocal8Bit());
        qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
        qputenv("HOME", dir.path().toLocal8Bit());
        QProcess pulse, record;
        pulse.setProcessChannelMode(QProcess::MergedChannels);
        pulse.start("pulseaudio",
            { "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                "--load=module-null-sink sink_name=spoken",
                "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket });
        const auto stop = qScopeGuard([&] {
            for (QProcess *p : { &record, &pulse }) {
                p->terminate();
                p->waitForFinished(3000);
            }
        });
        const QDeadlineTimer up(5000);
        while (!QFile::exists(socket) && pulse.state() != QProcess::NotRunning && !up.hasExpired())
            pulse.waitForReadyRead(100);
        if (!QFile::exists(socket))
            QSKIP(qPrintable(
                "PulseAudio could not start here: " + QString::fromLocal8Bit(pulse.readAll()).right(200)));
        record.start("parecord",
            { "--raw", "--format=s16le", "--rate=44100", "--channels=2", "--device=spoken.monitor", raw });
        QVERIFY(record.waitForStarted(3000));

        QtPlatform platform;
        platform.speak("house", QLocale::English);
        // The engine and the service start first: poll the recording with sox.
        double rms = 0;
        for (const QDeadlineTimer deadline(20000); rms < 0.01 && !deadline.hasExpired();) {
            QTest::qWait(250);
            QProcess sox;
            sox.start("sox",
                { "-t", "raw", "-r", "44100", "-e", "signed", "-b", "16", "-c", "2", raw, "-n", "stat" });
            sox.waitForFinished(5000);
            const QString stat = sox.readAllStandardError();
            rms = QRegularExpression("RMS\\s+amplitude:\\s+(\\S+)").match(stat).captured(1).toDouble();
        }
        qInfo("RMS amplitude of the recording: %f", rms);
        QCOMPARE(platform.canSpeak(QLocale::English), Platform::Speech::Available);
        QVERIFY2(rms >= 0.01, "the recording is silence");
    }
};

QTEST_MAIN(TestSpeechEndToEnd)
#include "tst_speech_e2e.moc"
