#include "Form0.h"
#include "Form1.h"
#include "fakeplatform.h"
#include "session.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// Notes what the splash window's status line read when a message box came up.
class WatchingPlatform : public FakePlatform
{
public:
    QLabel *status = nullptr;
    QStringList statusAtMessage;
    Answer message(const QString &title, const QString &text, Buttons buttons, Icon icon) override
    {
        statusAtMessage.append(status ? status->text() : QString());
        return FakePlatform::message(title, text, buttons, icon);
    }
};
} // namespace

class TestForm0 : public QObject
{
    Q_OBJECT

private slots:
    void splashShowsCentredWithoutStatus()
    {
        Session session;
        FakePlatform platform;
        platform.screen = QSize(1280, 1024);
        Form0 form(session, platform);
        QCOMPARE(form.size(), QSize(526, 402));
        QCOMPARE(form.pos(), QPoint((1280 - 526) / 2, (1024 - 402) / 2));
        QCOMPARE(form.findChild<QLabel *>("Progresso")->text(), QString());
        QVERIFY(form.findChild<QLabel *>("Label1")->text().endsWith("Versione 5"));
        const QTimer *timer = form.findChild<QTimer *>("Timer1");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3000);
    }

    void handOver_data()
    {
        QTest::addColumn<QByteArray>("vocabulary"); // empty: no file
        QTest::addColumn<bool>("starts");
        QTest::addColumn<int>("messages");
        QTest::newRow("good vocabulary") << QByteArray("1   house\r\n2   dog\r\n") << true << 0;
        QTest::newRow("malformed line: message, then the start") << QByteArray("1   a (b\r\n2   dog\r\n") << true << 1;
        QTest::newRow("no vocabulary file") << QByteArray() << false << 1;
        QTest::newRow("lesson 21") << QByteArray("21  house\r\n") << false << 1;
    }
    void handOver()
    {
        QFETCH(QByteArray, vocabulary);
        QFETCH(bool, starts);
        QTemporaryDir dir;
        if (!vocabulary.isEmpty()) {
            QFile file(dir.filePath("inglese.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(vocabulary);
        }
        Session session;
        WatchingPlatform platform;
        platform.folder = dir.path();
        Form0 form(session, platform);
        form.show();
        platform.status = form.findChild<QLabel *>("Progresso");
        QSignalSpy started(&form, &Form0::started);
        QSignalSpy failed(&form, &Form0::startupFailed);

        form.Timer1_Timer(); // three seconds later
        QCOMPARE(platform.status->text(), "Attendere ancora pochi secondi ...");
        QTEST(int(platform.shown.size()), "messages");
        for (const QString &status : platform.statusAtMessage)
            QCOMPARE(status, "Attendere ancora pochi secondi ..."); // shown while the file is read
        QCOMPARE(started.size(), starts ? 1 : 0);
        QCOMPARE(failed.size(), starts ? 0 : 1);
        QVERIFY(!form.findChild<QTimer *>("Timer1")->isActive());
        if (starts) {
            Form1 *main = form.mainWindow();
            QVERIFY(main);
            QVERIFY(main->isVisible());
            QVERIFY(!form.isVisible());
            QVERIFY(main->findChild<QPlainTextEdit *>("ListaVoci")->toPlainText().contains("dog"));
            delete main;
        } else {
            QCOMPARE(platform.shown.last().title, "FILE ...");
            QCOMPARE(platform.shown.last().text, "File INGLESE.TXT non trovato ... Riprova");
            QVERIFY(!form.mainWindow());
            QVERIFY(form.isVisible()); // the program ends from here
        }
    }
};

QTEST_MAIN(TestForm0)
#include "tst_form0.moc"
