// How the game window looks in its key states, compared pixel by pixel with
// the pictures in looks/. With UPDATE_LOOKS=1 the pictures are made anew.
#include "gamewindow.h"

#include <QApplication>
#include <QDir>

class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void looks_data()
    {
        // VIA, then hits that ask next for d double, l left, r right; "t" ends.
        QTest::addColumn<QString>("script");
        QTest::newRow("ready") << QString();
        QTest::newRow("running-yellow") << "l";
        QTest::newRow("running-blue") << "d";
        QTest::newRow("running-pink") << "lr";
        QTest::newRow("over") << "llllllllllllllllllllt";
    }
    void looks()
    {
        QFETCH(QString, script);
        // The same style on every machine, and an application font unlike the
        // Liberation fonts that the window names itself, so that a lost one shows.
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setFont(QFont(QStringLiteral("Liberation Mono"), 11));
        GameWindow w;
        QCOMPARE(w.open(), QString()); // the name of a control the window lacks
        if (!script.isNull())
            QTest::mouseClick(w.via, Qt::LeftButton), w.tick(w.clock), w.tick(w.animation);
        for (QChar step : script)
            step == u't' ? void(w.tick(w.clock)) : w.hit(QStringLiteral("dlr").indexOf(step));

        const QString name = QTest::currentDataTag(), reference = MOUSE_LOOKS_DIR "/" + name + ".png";
        const QImage actual = w.form->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (qEnvironmentVariableIntValue("UPDATE_LOOKS") == 1)
            QVERIFY2(actual.save(reference), qPrintable(reference));
        // What a screen reader is told of each control, kept beside the picture.
        QString names;
        for (const QWidget *c : w.form->findChildren<QWidget *>())
            names
                += c->objectName() + " = " + c->accessibleName() + " | " + c->accessibleDescription() + '\n';
        QFile namesFile(MOUSE_LOOKS_DIR "/" + name + ".names.txt");
        if (qEnvironmentVariableIntValue("UPDATE_LOOKS") == 1)
            QVERIFY(namesFile.open(QIODevice::WriteOnly) && namesFile.write(names.toUtf8()) >= 0);
        namesFile.close();
        QVERIFY(namesFile.open(QIODevice::ReadOnly));
        QCOMPARE(names, QString::fromUtf8(namesFile.readAll()));
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(actual.size() == expected.size(), qPrintable(reference + " has another size or is missing"));
        // A pixel matches when no colour channel is more than 16 off.
        QImage diff(actual.size(), QImage::Format_RGB32);
        int mismatches = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
                const bool off = qMax(qAbs(qRed(a) - qRed(e)),
                                     qMax(qAbs(qGreen(a) - qGreen(e)), qAbs(qBlue(a) - qBlue(e))))
                    > 16;
                diff.setPixel(x, y, off ? qRgb(255, 0, 0) : qRgb(255, 255, 255));
                mismatches += off;
            }
        }
        if (mismatches > 0)
            actual.save(name + ".actual.png"), diff.save(name + ".diff.png");
        QVERIFY2(mismatches == 0,
            qPrintable(QStringLiteral("%1 pixels differ from %2: see %3.actual.png and %3.diff.png in %4")
                           .arg(mismatches)
                           .arg(reference, name, QDir::currentPath())));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
