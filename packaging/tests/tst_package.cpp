// The Debian package as a user's machine receives it: built with CPack from
// this build, unpacked with dpkg-deb into a scratch root, then its files, its
// menu entries, its declared dependencies and the vocabulary trainer's
// launcher are checked there.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run result;
    if (!process.waitForStarted() || !process.waitForFinished(240000))
        return result;
    result.output = QString::fromLocal8Bit(process.readAll());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The value of a key in the [Desktop Entry] group of a menu entry.
QString desktopValue(const QString &path, const QString &key)
{
    const QStringList lines = QString::fromUtf8(contents(path)).split(QLatin1Char('\n'));
    bool inEntry = false;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('[')))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return {};
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installedFiles_data();
    void installedFiles();
    void menuEntries_data();
    void menuEntries();
    void dependencies_data();
    void dependencies();
    void launcher_data();
    void launcher();

private:
    QString root(const QString &path) const { return m_dir.filePath(QStringLiteral("root/") + path); }

    QTemporaryDir m_dir;
    QString m_deb;
};

void TestPackage::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString out = m_dir.filePath(QStringLiteral("out"));
    const Run cpack = run(QStringLiteral(CPACK_COMMAND),
                          { QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                            QStringLiteral(CPACK_CONFIG), QStringLiteral("-B"), out });
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
    const QStringList debs = QDir(out).entryList({ QStringLiteral("*.deb") }, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_deb = QDir(out).filePath(debs.first());
    const Run extract = run(QStringLiteral("dpkg-deb"), { QStringLiteral("-x"), m_deb, m_dir.filePath(QStringLiteral("root")) });
    QVERIFY2(extract.exitCode == 0, qPrintable(extract.output));
}

void TestPackage::installedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("sameAs"); // source file it must equal, or empty

    const QString samples = QStringLiteral(SOURCE_DIR "/inglese/samples/");
    QTest::newRow("launcher") << "usr/bin/inglese" << true << QString();
    QTest::newRow("vocabulary trainer") << "usr/libexec/inglese/inglese" << true << QString();
    QTest::newRow("mouse trainer") << "usr/bin/mouse" << true << QString();
    QTest::newRow("keyboard trainer") << "usr/bin/tastolo" << true << QString();
    QTest::newRow("sample vocabulary") << "usr/share/inglese/samples/inglese.txt" << false << samples + "inglese.txt";
    QTest::newRow("instructions") << "usr/share/inglese/samples/aiutoV5.txt" << false << samples + "aiutoV5.txt";
    for (const char *program : { "inglese", "mouse", "tastolo" })
        QTest::addRow("%s metainfo", program)
            << QStringLiteral("usr/share/metainfo/org.example.trainers.%1.metainfo.xml").arg(QLatin1String(program))
            << false << QString();
}

void TestPackage::installedFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    QFETCH(QString, sameAs);
    const QFileInfo info(root(path));
    QVERIFY2(info.isFile(), qPrintable(path));
    QCOMPARE(info.isExecutable(), executable);
    // Everyone may read and run what the package installs.
    QVERIFY(info.permissions() & QFile::ReadOther);
    if (!sameAs.isEmpty())
        QCOMPARE(contents(info.filePath()), contents(sameAs));
}

void TestPackage::menuEntries_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("name");
    QTest::newRow("inglese") << "inglese" << "Studio l'inglese";
    QTest::newRow("mouse") << "mouse" << "Allenamento col mouse";
    QTest::newRow("tastolo") << "tastolo" << "Allenamento sulla tastiera";
}

void TestPackage::menuEntries()
{
    QFETCH(QString, program);
    QFETCH(QString, name);
    const QString entry = root(QStringLiteral("usr/share/applications/%1.desktop").arg(program));
    QVERIFY(QFileInfo::exists(entry));

    // The desktop's own checker accepts the entry without a word of complaint.
    const Run validate = run(QStringLiteral("desktop-file-validate"), { entry });
    QVERIFY2(validate.exitCode == 0 && validate.output.trimmed().isEmpty(), qPrintable(validate.output));

    QCOMPARE(desktopValue(entry, QStringLiteral("Name")), name);
    QVERIFY(!desktopValue(entry, QStringLiteral("Comment")).isEmpty());
    QVERIFY(desktopValue(entry, QStringLiteral("Categories")).split(QLatin1Char(';')).contains(QStringLiteral("Education")));

    // The command is one the package puts on the PATH.
    const QString exec = desktopValue(entry, QStringLiteral("Exec"));
    QCOMPARE(exec, program);
    QVERIFY(QFileInfo(root(QStringLiteral("usr/bin/") + exec)).isExecutable());

    // The icon is a scalable picture in the desktop's default icon theme.
    const QString icon = root(QStringLiteral("usr/share/icons/hicolor/scalable/apps/%1.svg")
                                  .arg(desktopValue(entry, QStringLiteral("Icon"))));
    QVERIFY2(QSvgRenderer(icon).isValid(), qPrintable(icon));
}

void TestPackage::dependencies_data()
{
    QTest::addColumn<QString>("package");
    QTest::newRow("widgets") << "libqt6widgets6";
    QTest::newRow("pictures") << "libqt6svg6";
    QTest::newRow("window system") << "qt6-qpa-plugins";
    QTest::newRow("Italian standard buttons") << "qt6-translations-l10n";
    QTest::newRow("fonts") << "fonts-liberation2";
    QTest::newRow("spreadsheet files") << "libcsv3";
}

void TestPackage::dependencies()
{
    QFETCH(QString, package);
    const Run fields = run(QStringLiteral("dpkg-deb"), { QStringLiteral("-f"), m_deb, QStringLiteral("Depends") });
    QCOMPARE(fields.exitCode, 0);
    QStringList depends;
    for (const QString &item : fields.output.split(QLatin1Char(',')))
        depends << item.trimmed().section(QLatin1Char(' '), 0, 0);
    QVERIFY2(depends.contains(package), qPrintable(fields.output));
}

void TestPackage::launcher_data()
{
    QTest::addColumn<bool>("xdgDataHome");
    QTest::addColumn<QByteArray>("userVocabulary"); // already in the data folder, or empty
    QTest::newRow("first start, XDG_DATA_HOME") << true << QByteArray();
    QTest::newRow("first start, home folder") << false << QByteArray();
    QTest::newRow("user's own vocabulary kept") << true << QByteArray("## mio\r\n 1   cat    gatto\r\n");
}

// The menu entry runs bin/inglese without arguments: it must find the
// installed program and samples by itself, seed the data folder without ever
// replacing the user's files, and start the program inside that folder.
void TestPackage::launcher()
{
    QFETCH(bool, xdgDataHome);
    QFETCH(QByteArray, userVocabulary);

    // A copy of the unpacked tree whose program only reports where it runs.
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString tree = scratch.filePath(QStringLiteral("usr"));
    QVERIFY(run(QStringLiteral("cp"), { QStringLiteral("-a"), root(QStringLiteral("usr")), tree }).exitCode == 0);
    const QString program = tree + QStringLiteral("/libexec/inglese/inglese");
    QVERIFY(QFile::remove(program));
    QVERIFY(write(program, "#!/bin/sh\npwd > \"$REPORT\"\n"));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    const QString home = scratch.filePath(QStringLiteral("home"));
    const QString data = xdgDataHome ? scratch.filePath(QStringLiteral("xdg/inglese"))
                                     : home + QStringLiteral("/.local/share/inglese");
    if (!userVocabulary.isEmpty())
        QVERIFY(write(data + QStringLiteral("/inglese.txt"), userVocabulary));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("REPORT"), scratch.filePath(QStringLiteral("report")));
    if (xdgDataHome)
        environment.insert(QStringLiteral("XDG_DATA_HOME"), scratch.filePath(QStringLiteral("xdg")));
    else
        environment.remove(QStringLiteral("XDG_DATA_HOME"));
    QDir().mkpath(home);

    const Run started = run(tree + QStringLiteral("/bin/inglese"), {}, environment);
    QVERIFY2(started.exitCode == 0, qPrintable(started.output));
    QCOMPARE(contents(scratch.filePath(QStringLiteral("report"))).trimmed(),
             QFileInfo(data).canonicalFilePath().toLocal8Bit());

    const QString samples = QStringLiteral(SOURCE_DIR "/inglese/samples/");
    QCOMPARE(contents(data + QStringLiteral("/aiutoV5.txt")), contents(samples + QStringLiteral("aiutoV5.txt")));
    QCOMPARE(contents(data + QStringLiteral("/inglese.txt")),
             userVocabulary.isEmpty() ? contents(samples + QStringLiteral("inglese.txt")) : userVocabulary);
    // A seeded file belongs to the user, who must be able to save over it.
    QVERIFY(QFileInfo(data + QStringLiteral("/inglese.txt")).isWritable());
}

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
