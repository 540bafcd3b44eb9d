// The Debian package as a user's machine receives it: built with CPack from
// this build and unpacked with dpkg-deb into a scratch root.
#include "testing.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSettings>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Exit code (-1: did not run to its end) and output of a command.
std::pair<int, QString> run(const QString &program, const QStringList &arguments,
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(240000) || process.exitStatus() != QProcess::NormalExit)
        return { -1, process.errorString() };
    return { process.exitCode(), QString::fromLocal8Bit(process.readAll()) };
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString root(const QString &path) const { return m_dir.filePath("root/" + path); }

private slots:
    void initTestCase()
    {
        // Exactly one package, unpacked (dpkg-deb takes one).
        const auto [built, output] = run("sh",
            { "-c", "cd \"$0\" && \"$1\" -G DEB --config \"$2\" -B out && dpkg-deb -x out/*.deb root",
                m_dir.path(), CPACK_COMMAND, CPACK_CONFIG });
        QVERIFY2(built == 0, qPrintable(output));
        // Every installed file is readable by every user.
        for (QDirIterator it(root("usr"), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            QVERIFY2(it.nextFileInfo().permissions() & QFile::ReadOther, qPrintable(it.filePath()));
    }

    void menuEntries_data()
    {
        QTest::addColumn<QString>("program");
        for (const char *program : { "inglese", "mouse", "tastolo" })
            row(program, program);
    }
    // Each entry passes the desktop's own checker, runs a command on the PATH
    // and shows a scalable icon of the default theme; the software centre finds the program's metainfo.
    void menuEntries()
    {
        QFETCH(QString, program);
        const QString entry = root("usr/share/applications/" + program + ".desktop");
        const auto [valid, complaints] = run("desktop-file-validate", { entry });
        QVERIFY2(valid == 0 && complaints.trimmed().isEmpty(), qPrintable(complaints));
        const QSettings values(entry, QSettings::IniFormat);
        QCOMPARE(values.value("Desktop Entry/Exec").toString(), program);
        QVERIFY(QFileInfo(root("usr/bin/" + program)).isExecutable());
        const QString icon = "usr/share/icons/hicolor/scalable/apps/"
            + values.value("Desktop Entry/Icon").toString() + ".svg";
        QVERIFY2(QSvgRenderer(root(icon)).isValid(), qPrintable(icon));
        QVERIFY(QFile::exists(root("usr/share/metainfo/org.example.trainers." + program + ".metainfo.xml")));
    }

    void launcher_data()
    {
        // userVocabulary: already in the data folder, or empty
        // obstacle: what stands where the data folder goes
        columns<bool, QString, QString>("xdgDataHome", "userVocabulary", "obstacle");
        row("first start, XDG_DATA_HOME", true, "", "");
        row("first start, home folder", false, "", "");
        row("own words kept", true, "## mio\r\n 1   cat    gatto\r\n", "");
        row("a dangling link", true, "", "link");
        row("a file", true, "", "file");
        row("no home folder", false, "", "home");
    }
    // The menu entry runs bin/inglese without arguments: it finds the
    // installed program and samples by itself, seeds the data folder without
    // ever replacing the user's files, and starts the program inside it. When
    // the data folder cannot be made, the program still starts, to tell why.
    void launcher()
    {
        QFETCH(bool, xdgDataHome);
        const QByteArray userVocabulary = fetched<QString>("userVocabulary").toLatin1();
        QFETCH(QString, obstacle);
        // A copy of the unpacked tree whose program only reports where it runs.
        QTemporaryDir scratch;
        const QString tree = scratch.filePath("usr"), program = tree + "/libexec/inglese/inglese";
        QCOMPARE(run("cp", { "-a", root("usr"), tree }).first, 0);
        QVERIFY(writeBytes(
            program, "#!/bin/sh\n{ pwd; printf '%s\\n' \"$@\"; } > \"$REPORT\"\n")); // still executable
        const QString home = scratch.filePath("home");
        const QString data = xdgDataHome ? scratch.filePath("xdg/inglese") : home + "/.local/share/inglese";
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(QFileInfo(data).path())
            && (userVocabulary.isEmpty()
                || (QDir().mkpath(data) && writeBytes(data + "/inglese.txt", userVocabulary))));
        QVERIFY(obstacle == "link" ? QFile::link(scratch.filePath("nowhere"), data)
                                   : obstacle != "file" || writeBytes(data, "x"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home);
        environment.insert("REPORT", scratch.filePath("report"));
        xdgDataHome ? environment.insert("XDG_DATA_HOME", scratch.filePath("xdg"))
                    : environment.remove("XDG_DATA_HOME");
        if (obstacle == "home") // nowhere to put the data folder: the program says what is missing
            environment.remove("HOME");
        const auto [started, output] = run(tree + "/bin/inglese", {}, environment);
        QVERIFY2(started == 0, qPrintable(output));
        const QByteArray report = readBytes(scratch.filePath("report"));
        QCOMPARE(report.contains("\n--avvio-fallito\nCartella: "
                     + (obstacle == "home"
                             ? QByteArray("non so dove metterla\n(mancano le variabili HOME e XDG_DATA_HOME")
                             : data.toLocal8Bit() + '\n')),
            !obstacle.isEmpty());
        if (!obstacle.isEmpty())
            return;
        QCOMPARE(report.trimmed(), QFileInfo(data).canonicalFilePath().toLocal8Bit());
        QCOMPARE(readBytes(data + "/aiutoV5.txt"), readBytes(SOURCE_DIR "/inglese/samples/aiutoV5.txt"));
        QCOMPARE(readBytes(data + "/inglese.txt"),
            userVocabulary.isEmpty() ? readBytes(SOURCE_DIR "/inglese/samples/inglese.txt") : userVocabulary);
        // A seeded file belongs to the user, who must be able to save over it.
        QVERIFY(QFileInfo(data + "/inglese.txt").isWritable());
    }
};

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
