#include "fixture.h"
#include "looks.h"
#include "userfiles.h"

#include <QComboBox>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>

#include <unistd.h>

// What the windows look like, compared pixel by pixel with the pictures in tests/looks/, and what a screen
// reader finds in them, compared with the text beside each picture.
class TestLooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle("Fusion"); }
    // Page Down presses before the picture; -1 for the file dialogue that saves (on a dark desktop), -2 for
    // the one that opens a file, then the window with it.
    void looks_data()
    {
        QTest::addColumn<int>("pageDowns");
        row("start", 0);
        // Every page: each has a picture of its own size.
        for (int page = 1; page <= 14; ++page) // page 1 after the introduction, whose text has no picture
            QTest::addRow("page-%d", page) << (page == 1 ? 16 : page);
        row("introduction", 15);
        row("form3", -1);
        row("form3-open", -2);
    }
    void looks()
    {
        QFETCH(int, pageDowns);
        WindowFixture f;
        f.window->show();
        f.window->activateWindow(); // as the user's window, which has the keyboard
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        auto *htext = f.find<QPlainTextEdit>("Htext");
        for (int i = 0; i < pageDowns; ++i)
            QTest::keyClick(htext, Qt::Key_PageDown);
        if (pageDowns >= 0) {
            Looks::compare(LOOKS_DIR, QTest::currentDataTag(), f.window->grab().toImage(),
                Looks::windowState(f.window.get()));
            return;
        }
        const auto undo = qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
        if (pageDowns == -1)
            QApplication::setPalette(QPalette(Qt::white, QColor(60, 60, 60), QColor(90, 90, 90), Qt::black,
                QColor(50, 50, 50), Qt::white, Qt::white, QColor(30, 30, 30), QColor(40, 40, 40)));
        // Two letters in a folder of its own, the one opened named like a markup (shown as it is) and long
        // enough to hide the temporary folder above it, which the dialogue and the state show under one name
        // on every run. Opened from the end of the sample letter: the dialogue comes up in the home folder,
        // as the folder used before is gone, among drives of which one is not there (told when picked); its
        // list leaves out what is not a .txt file and shows a name that is not UTF-8 by its bytes' codes; a
        // click on a file names it and moves the focus to "OK". The save's dialogue starts in the name box.
        QTemporaryDir temporary("/tmp/tastolo-looks-XXXXXX");
        const QString folder = QDir(temporary.path()).filePath("lettere");
        QVERIFY(QDir().mkpath(folder));
        for (const auto &[name, text] : { std::pair { "nonna.txt", QByteArray() },
                 { "<b>Caro zio, ti scrivo queste righe per farti gli auguri di buon compleanno e di buone "
                   "feste.txt",
                     "Caro\tzio,\r\n" + QByteArray("ciao\r\n").repeated(9) },
                 { "c.doc", QByteArray() } })
            QVERIFY(UserFile::write(QDir(folder).filePath(QLatin1String(name)), text));
        const QByteArray latin1 = QFile::encodeName(folder) + "/b\x80.TXT";
        QVERIFY(touched(latin1));
        QTest::keyClick(htext, Qt::Key_End, Qt::ControlModifier);
        f.platform.folder = f.platform.home = folder;
        if (pageDowns == -2) {
            f.platform.folder = temporary.filePath("via");
            f.platform.roots << "/tmp" << f.platform.folder;
        }
        QImage shot;
        QString said;
        f.expectDialogue(
            { [&](FileDialog &d) {
                 auto *files = control<QListView>(&d, "File1");
                 if (pageDowns == -1) {
                     QTest::keyClicks(d.focusWidget(), "nonna"); // the name to save under
                 } else {
                     QTest::keyClick(control<QComboBox>(&d, "Drive1"), Qt::Key_Down);
                     QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                         files->visualRect(files->model()->index(0, 0)).center());
                 }
                 for (QListWidgetItem *item :
                     control<QListWidget>(&d, "Dir1")->findItems("tastolo-looks-", Qt::MatchContains))
                     item->setText(item->text().section(u'-', 0, -2));
                 shot = d.grab().toImage();
                 said = Looks::windowState(&d) + f.platform.shown.value(0).text;
                 said.replace(temporary.path(), "~");
             },
                WindowFixture::press(pageDowns == -1 ? "Command2" : "Command1") });
        f.find<QAction>(pageDowns == -1 ? "menuFileSaveAs" : "menuFileOpen")->trigger();
        Looks::compare(LOOKS_DIR, QTest::currentDataTag(), shot, said);
        ::unlink(latin1); // which the toolkit cannot remove
        if (pageDowns == -2)
            Looks::compare(LOOKS_DIR, "opened", f.window->grab().toImage(),
                Looks::windowState(f.window.get()).replace(temporary.path(), "/tmp/tastolo-looks"));
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
