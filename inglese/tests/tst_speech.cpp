#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "fixture.h"
#include "qtplatform.h"
#include "session.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

using Speech = Platform::Speech;

// What F5 and the loudspeaker (or the menu entry) say in each state of the two
// drills (forms 2 and 3) and of the main list (form 1), and that saying it
// changes nothing else.
class TestSpeech : public QObject
{
    Q_OBJECT

private slots:
    // Steps: "novoice" or "mute" first: no voice or no sound output from the
    // start; "via"; "help"; "tN" ticks Timer1 N times; "lost" loses the sound
    // output; "lN" puts the caret on line N of the list; other text is typed.
    void says_data()
    {
        QTest::addColumn<QString>("steps"); // the tag's first digit is the window
        QTest::addColumn<QString>("said");
        row("2 before the first question", "", "");
        row("2 running", "via", "house, home");
        row("2 wrong and slow", "via x t12", "house, home");
        row("2 answered", "via casa", "house, home");
        row("2 next word, no remark", "via casa via", "palm");
        row("3 running, partly typed", "via hous", "");
        row("3 help hides letters", "via hx t11 help", "");
        row("3 help shows it all", "via housx t11 help", "house, home");
        row("3 answered", "via house", "house, home");
        row("2 no voice", "novoice via", "");
        row("3 no output", "mute via house", "");
        row("2 output lost", "via lost", "");
        row("1 first line", "l0", "house, home");
        row("1 empty line", "l1", "");
        row("1 output lost", "l0 lost", "");
    }
    void says()
    {
        const int form = QTest::currentDataTag()[0] - '0';
        QFETCH(QString, steps);
        QFETCH(QString, said);
        Session session;
        FakePlatform platform;
        platform.speech = steps.startsWith("novoice") ? Speech::NoVoice
            : steps.startsWith("mute")                ? Speech::NoOutput
                                                      : Speech::Available;
        session.words.append(u"12  ", QStringLiteral("house (home)").leftJustified(50), u"casa");
        session.words.append(u"12  ", u"palm [of the hand]", u"palmo");
        session.selection.options.order = 2;
        session.selection.buildSelection(session.words, session.memoc);
        std::unique_ptr<QWidget> w(form == 1 ? static_cast<QWidget *>(new Form1(session, platform))
                : form == 2                  ? static_cast<QWidget *>(new Form2(session, platform))
                                             : new Form3(session, platform));
        auto *drill = qobject_cast<DrillWindow *>(w.get());
        auto *list = w->findChild<QPlainTextEdit *>(QStringLiteral("ListaVoci"));
        if (list)
            list->setPlainText(QStringLiteral("12   house (home)%1casa\n\n").arg(QString(38, ' ')));
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QApplication::setActiveWindow(w.get());
        for (const QString &step :
            steps.split(u' ', Qt::SkipEmptyParts).mid(platform.speech != Speech::Available)) {
            if (step == QLatin1String("via"))
                drill->Command1_Click();
            else if (step == QLatin1String("help"))
                drill->Command2_Click();
            else if (step == QLatin1String("lost"))
                platform.speech = Speech::NoOutput, platform.speechChanged();
            else if (step.at(0) == 't' && step.size() > 1)
                for (int i = step.mid(1).toInt(); i > 0; --i)
                    drill->Timer1_Timer();
            else if (step.at(0) == 'l')
                list->setTextCursor(QTextCursor(list->document()->findBlockByNumber(step.mid(1).toInt())));
            else
                drill->typingBox()->setText(step);
        }
        QObject *say = drill ? static_cast<QObject *>(control<QToolButton>(w.get(), "Command4"))
                             : control<QAction>(w.get(), "menuAscolta");
        const auto state = [&] {
            QStringList s { QString::number(session.points), QString::number(platform.beeps),
                w->windowTitle(), QString::number(platform.shown.size()) };
            for (const QTimer *t : w->findChildren<QTimer *>())
                s << QString::number(t->isActive());
            return s << (drill ? drill->typingBox()->text() : qobject_cast<Form1 *>(w.get())->wordListText());
        };
        const QStringList before = state();
        QTest::keyClick(w.get(), Qt::Key_F5);
        QMetaObject::invokeMethod(say, drill ? "click" : "trigger");
        QCOMPARE(platform.spoken, (said.isEmpty() ? QStringList() : QStringList { said, said }));
        QCOMPARE(state(), before);
        QCOMPARE(say->property("enabled").toBool(), platform.speech == Speech::Available);
        QCOMPARE(say->property("toolTip").toString(),
            QStringList({ "Ascolta la parola inglese", "Pronuncia non disponibile: nessuna voce inglese",
                "Pronuncia non disponibile: nessuna uscita audio" })[int(platform.speech)]);
    }

    // The real platform layer says "house" through the speech service into a PulseAudio
    // server of the test's own; the recording of its sink must not be silence.
    void saysHouseAloud()
    {
#ifdef TRAINERS_SANITIZED
        QSKIP(
            "The real speech service is checked in the normal build: under the sanitizers it gives no sound");
#endif
        QTemporaryDir dir;
        const QString run = dir.filePath("run"), socket = run + "/pulse.sock",
                      raw = dir.filePath("speech.raw");
        QVERIFY(QDir().mkpath(run)
            && QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
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
            record.terminate(), pulse.terminate(), record.waitForFinished(3000), pulse.waitForFinished(3000);
        });
        for (const QDeadlineTimer up(5000);
             !QFile::exists(socket) && pulse.state() != QProcess::NotRunning && !up.hasExpired();)
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
        const QRegularExpression rmsLine(R"(RMS\s+amplitude:\s+(\S+))");
        for (const QDeadlineTimer deadline(20000); rms < 0.01 && !deadline.hasExpired();) {
            QTest::qWait(250);
            QProcess sox;
            sox.start("sox",
                { "-t", "raw", "-r", "44100", "-e", "signed", "-b", "16", "-c", "2", raw, "-n", "stat" });
            sox.waitForFinished(5000);
            rms = rmsLine.match(sox.readAllStandardError()).captured(1).toDouble();
        }
        QCOMPARE(platform.canSpeak(QLocale::English), Platform::Speech::Available);
        QVERIFY2(rms >= 0.01, qPrintable(QString("the recording is silence (RMS %1)").arg(rms)));
    }
};

QTEST_MAIN(TestSpeech)
#include "tst_speech.moc"
