// How the game window looks in its key states, compared pixel by pixel with
// the pictures in looks/, and its state as a screen reader finds it, compared
// with the text beside each picture. With UPDATE_LOOKS=1 both are made anew.
#include "gamewindow.h"
#include "looktest.h"

#include <QApplication>

class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The same style on every machine, and an application font unlike the
        // Liberation fonts that the window names itself, so that a lost one shows.
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setFont(QFont(QStringLiteral("Liberation Mono"), 11));
    }
    // The window after a script of GameWindow::run().
    void looks_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("ready") << "";
        QTest::newRow("started") << "via a5";
        QTest::newRow("running-yellow") << "via t1 a1 h";
        QTest::newRow("running-blue") << "via t1 a1 hd";
        QTest::newRow("running-pink") << "via t1 a1 h hr";
        QTest::newRow("paused") << "via t5 a2 h2 pausa L";
        QTest::newRow("resumed") << "via t5 h2 pausa via t1 h";
        QTest::newRow("nineteen-hits") << "via t3 h18 hd t1";
        QTest::newRow("twenty-hits") << "via t3 h19 hd";
        QTest::newRow("over") << "via t1 a1 h20 t1";
        QTest::newRow("over-with-a-late-hit") << "via t3 h20 hd t1";
        QTest::newRow("new-game") << "via t3 h19 hd t1 via t1";
        QTest::newRow("clock-at-most") << "via t32770";
        QTest::newRow("help-when-ready") << "F1>Command2 t1";
        QTest::newRow("help-after-the-end") << "via t7 h20 t1 F1 t1";
    }
    void looks()
    {
        QFETCH(QString, script);
        GameWindow w;
        QVERIFY(w.active);
        QCOMPARE(w.run(script), QString()); // a tick that found its timer stopped
        compare(QTest::currentDataTag(), w.form->grab().toImage().convertToFormat(QImage::Format_RGB32),
            windowState(w.form.get()));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
