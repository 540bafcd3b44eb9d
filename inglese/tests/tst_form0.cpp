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

#include <memory>

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

// The splash window: centred, silent for three seconds, then it reads the
// vocabulary with its status line showing and hands over to the main window,
// or ends the program after the start-up message.
class TestForm0 : public QObject
{
    Q_OBJECT

private slots:
    void handOver_data()
    {
        QTest::addColumn<QByteArray>("vocabulary"); // empty: no file
        QTest::addColumn<int>("messages");
        QTest::newRow("good vocabulary") << QByteArray("1   house\r\n2   dog\r\n") << 0;
        QTest::newRow("malformed line: message, then the start") << QByteArray("1   a (b\r\n2   dog\r\n") << 1;
        QTest::newRow("no vocabulary file") << QByteArray() << 1;
    }
    void handOver()
    {
        QFETCH(QByteArray, vocabulary);
        const bool starts = !vocabulary.isEmpty();
        QTemporaryDir dir;
        QFile file(dir.filePath("inglese.txt"));
        QVERIFY(!starts || (file.open(QIODevice::WriteOnly) && file.write(vocabulary) == vocabulary.size()));
        file.close();
        Session session;
        WatchingPlatform platform;
        platform.folder = dir.path();
        Form0 form(session, platform);
        QCOMPARE(form.pos(), QPoint((1280 - form.width()) / 2, (1024 - form.height()) / 2));
        form.show();
        platform.status = form.findChild<QLabel *>("Progresso");
        QCOMPARE(platform.status->text(), QString());
        QVERIFY(form.findChild<QTimer *>("Timer1")->isActive());
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
            std::unique_ptr<Form1> main(form.mainWindow());
            QVERIFY(main && main->isVisible());
            QVERIFY(!form.isVisible());
            // Every line stays in the list, the malformed one too, for the user to mend.
            const QString list = main->findChild<QPlainTextEdit *>("ListaVoci")->toPlainText();
            QCOMPARE(list, QString::fromLatin1(vocabulary).replace("\r\n", "\n"));
        } else {
            QCOMPARE(platform.shown.last().title, "FILE ...");
            QVERIFY(!form.mainWindow());
            QVERIFY(form.isVisible()); // the program ends from here
        }
    }
};

QTEST_MAIN(TestForm0)
#include "tst_form0.moc"
