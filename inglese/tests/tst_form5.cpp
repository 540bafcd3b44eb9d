#include "Form5.h"
#include "fakeplatform.h"
#include "helptext.h"
#include "session.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The instructions window: the reading rules of the help file, the message
// when it cannot be read, and the place of the window over the main one.
class TestForm5 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    Session m_session;

private slots:
    void initTestCase() { m_session.dataFolder = m_dir.path() + '/'; }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no empty entry for the final line break")
            << QByteArray("riga uno\r\nriga due\r\n") << QStringList { "riga uno", "riga due" };
        QTest::newRow("short last line dropped") << QByteArray("riga uno\r\nxy") << QStringList { "riga uno" };
        QTest::newRow("three-character last line kept")
            << QByteArray("riga uno\r\nxyz") << QStringList { "riga uno", "xyz" };
        QTest::newRow("empty line in the middle kept, at the very end not")
            << QByteArray("prima\r\n\r\nterza\r\n\r\n") << QStringList { "prima", "", "terza" };
        QTest::newRow("empty file") << QByteArray() << QStringList { "" };
        QTest::newRow("Western European code page")
            << QByteArray("  citt\xe0 perch\xe9 pi\xf9\r\n") << QStringList { QStringLiteral("  città perché più") };
    }
    void reading()
    {
        QFETCH(QByteArray, bytes);
        QTEST(helpLines(bytes), "expected");
    }

    void unreadableFile_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("no such file") << false;
        QTest::newRow("a folder by that name") << true;
    }
    void unreadableFile()
    {
        QFETCH(bool, folder);
        if (folder)
            QVERIFY(QDir(m_dir.path()).mkdir("aiutoV5.txt"));
        FakePlatform p;
        QWidget form1;
        Form5::showInstructions(m_session, p, &form1); // returns at once: nothing to show
        QDir(m_dir.path()).rmdir("aiutoV5.txt");
        QCOMPARE(p.shown.size(), 1);
        QCOMPARE(p.shown.at(0).title, QStringLiteral("Richiesta ignorata ..."));
        QCOMPARE(p.shown.at(0).text, QStringLiteral("File AIUTO.TXT non trovato"));
        QVERIFY(!form1.findChild<Form5 *>());
    }

    // The instructions lie over the main window, as tall as it is; the list
    // and the button follow the window's height.
    void placement_data()
    {
        QTest::addColumn<QRect>("form1");
        QTest::addColumn<int>("resizedHeight");
        QTest::newRow("tall main window") << QRect(100, 80, 640, 500) << 300;
        QTest::newRow("short main window") << QRect(20, 10, 700, 250) << 600;
    }
    void placement()
    {
        QFETCH(QRect, form1);
        QFETCH(int, resizedHeight);
        QFile file(m_dir.filePath("aiutoV5.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("riga\r\n") == 6);
        file.close();
        FakePlatform p;
        QWidget main;
        main.setGeometry(form1);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        Form5 w(m_session, p, &main);
        QVERIFY(w.load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.pos(), main.pos());
        QCOMPARE(w.height(), main.height());

        auto *list = w.findChild<QListWidget *>("Listai");
        auto *back = w.findChild<QPushButton *>("Command1");
        QCOMPARE(list->item(0)->text(), "riga");
        w.resize(w.width(), resizedHeight);
        QCOMPARE(list->height(), resizedHeight - 46);
        QCOMPARE(back->y(), resizedHeight - 30);
        QTest::mouseClick(back, Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TestForm5)
#include "tst_form5.moc"
