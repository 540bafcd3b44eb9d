#include "fixture.h"

#include <QDir>
#include <QImage>
#include <QPlainTextEdit>

#include <algorithm>

// What the windows look like, compared pixel by pixel with the pictures in tests/looks/. A mismatch writes
// <row>.actual.png and <row>.diff.png into the working folder; UPDATE_LOOKS=1 writes the references instead.
class TestLooks : public QObject
{
    Q_OBJECT

    static constexpr int Tolerance = 16; // how far a channel may differ in a pixel that matches

    static void compare(const QString &row, QWidget &window)
    {
        const QImage actual = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        // What a screen reader is told of each control, kept beside the picture.
        QString names;
        for (const QWidget *c : window.findChildren<QWidget *>()) {
            if (!c->objectName().isEmpty() && !c->objectName().startsWith(QLatin1String("qt_")))
                names += c->objectName() + " = " + c->accessibleName() + " | " + c->accessibleDescription()
                    + '\n';
        }
        const QString reference = QStringLiteral(TASTOLO_LOOKS_DIR "/%1.png").arg(row);
        QFile namesFile(QString(reference).replace(QLatin1String(".png"), QLatin1String(".names.txt")));
        if (qEnvironmentVariableIntValue("UPDATE_LOOKS") == 1) {
            QVERIFY(actual.save(reference) && namesFile.open(QIODevice::WriteOnly)
                && namesFile.write(names.toUtf8()) >= 0);
            return;
        }
        QVERIFY(namesFile.open(QIODevice::ReadOnly));
        QCOMPARE(names, QString::fromUtf8(namesFile.readAll()));
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(actual.size(), expected.size());
        QImage diff(actual.size(), QImage::Format_RGB32);
        diff.fill(Qt::white);
        int changed = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
                const int most = std::max(
                    { qAbs(qRed(a) - qRed(e)), qAbs(qGreen(a) - qGreen(e)), qAbs(qBlue(a) - qBlue(e)) });
                if (most > Tolerance && ++changed)
                    diff.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
        if (changed > 0) {
            actual.save(row + QStringLiteral(".actual.png"));
            diff.save(row + QStringLiteral(".diff.png"));
            QFAIL(qPrintable(QStringLiteral("%1 pixels differ: see %2.actual.png and %2.diff.png in %3")
                                 .arg(changed)
                                 .arg(row, QDir::currentPath())));
        }
    }

private slots:
    // Page Down presses before the picture; -1 for the file dialogue.
    void looks_data()
    {
        QTest::addColumn<int>("pageDowns");
        QTest::newRow("start") << 0;
        // Every page: each has a picture of its own size.
        for (int page = 1; page <= 14; ++page)
            QTest::addRow("page-%d", page) << page;
        QTest::newRow("introduction") << 15;
        QTest::newRow("form3") << -1;
    }
    void looks()
    {
        QFETCH(int, pageDowns);
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        auto *htext = f.find<QPlainTextEdit>(QStringLiteral("Htext"));
        for (int i = 0; i < pageDowns; ++i)
            QTest::keyClick(htext, Qt::Key_PageDown);
        if (pageDowns >= 0) {
            compare(QTest::currentDataTag(), *f.window);
            return;
        }
        // A folder of the same name on every machine, holding two letters.
        const QString folder = QStringLiteral("/tmp/tastolo-looks/lettere");
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        for (const char *name : { "nonna.txt", "zio.txt" })
            QFile(QDir(folder).filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
        f.platform.folder = folder;
        f.expectDialogue({ [](Form3 &d) { compare(QTest::currentDataTag(), d); },
            WindowFixture::press(QStringLiteral("Command2")) });
        f.find<QAction>(QStringLiteral("menuFileSaveAs"))->trigger();
        QDir(QStringLiteral("/tmp/tastolo-looks")).removeRecursively();
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
