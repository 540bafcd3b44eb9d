#include "fixture.h"
#include "looktest.h"
#include "qtplatform.h"

#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>

// What the windows look like, compared pixel by pixel with the pictures in tests/looks/, and what a screen
// reader finds in them, compared with the text beside each picture.
class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }
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
        f.window->activateWindow(); // as the user's window, which has the keyboard
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        auto *htext = f.find<QPlainTextEdit>(QStringLiteral("Htext"));
        for (int i = 0; i < pageDowns; ++i)
            QTest::keyClick(htext, Qt::Key_PageDown);
        if (pageDowns >= 0) {
            compare(QTest::currentDataTag(), f.window->grab().toImage().convertToFormat(QImage::Format_RGB32),
                windowState(f.window.get()));
            return;
        }
        // Two letters in a folder of its own; the temporary folder above it is shown under one name on
        // every run.
        QTemporaryDir temporary(QStringLiteral("/tmp/tastolo-looks-XXXXXX"));
        const QString folder = QDir(temporary.path()).filePath(QStringLiteral("lettere"));
        QVERIFY(QDir().mkpath(folder));
        for (const char *name : { "nonna.txt", "zio.txt" })
            QFile(QDir(folder).filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
        f.platform.folder = folder;
        QImage shot;
        QString said;
        f.expectDialogue({ [&](Form3 &d) {
                              for (QListWidgetItem *item :
                                  control<QListWidget>(&d, QStringLiteral("Dir1"))
                                      ->findItems(QStringLiteral("tastolo-looks-"), Qt::MatchContains))
                                  item->setText(item->text().section(u'-', 0, -2));
                              shot = d.grab().toImage().convertToFormat(QImage::Format_RGB32),
                              said = windowState(&d);
                          },
            WindowFixture::press(QStringLiteral("Command2")) });
        f.find<QAction>(QStringLiteral("menuFileSaveAs"))->trigger();
        compare(QTest::currentDataTag(), shot, said);
    }

    // The real box of each kind, and what Escape, its close control and each of its buttons answer in it.
    void boxes_data()
    {
        QTest::addColumn<Platform::Buttons>("buttons");
        QTest::addColumn<Platform::Icon>("icon");
        QTest::newRow("box-note") << Platform::Buttons::Ok << Platform::Icon::None;
        QTest::newRow("box-information") << Platform::Buttons::Ok << Platform::Icon::Information;
        QTest::newRow("box-stop") << Platform::Buttons::Ok << Platform::Icon::Stop;
        QTest::newRow("box-question") << Platform::Buttons::YesNo << Platform::Icon::None;
    }
    void boxes()
    {
        QFETCH(Platform::Buttons, buttons);
        QFETCH(Platform::Icon, icon);
        QImage shot;
        QString said;
        QStringList ways { "Escape", "close control" }; // then a click on each button shown
        for (qsizetype way = 0; way < ways.size(); ++way) {
            QTimer::singleShot(0, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    (void)QTest::qWaitForWindowActive(box); // a box not made active shows in its focus line
                    QList<QAbstractButton *> shown = box->buttons();
                    shown.removeIf([](QAbstractButton *button) { return !button->isVisible(); });
                    if (shot.isNull()) {
                        shot = box->grab().toImage().convertToFormat(QImage::Format_RGB32),
                        said = windowState(box);
                        for (QAbstractButton *button : shown)
                            ways << button->text().remove(u'&');
                    }
                    way == 0       ? QTest::keyClick(box, Qt::Key_Escape)
                        : way == 1 ? void(box->close())
                                   : shown[way - 2]->click();
                    if (box->isVisible())
                        said += ways[way] + " leaves it open\n", box->done(-1);
                }
            });
            const Platform::Answer answer = QtPlatform().message(QStringLiteral("Attenzione !"),
                QStringLiteral("Il file è cambiato.\r\nVuoi salvarlo ?"), buttons, icon);
            said += ways[way] + ": " + QStringList { "Ok", "Yes", "No", "Cancel" }[int(answer)] + '\n';
        }
        compare(QTest::currentDataTag(), shot, said);
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
