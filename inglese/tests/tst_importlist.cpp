// Importing into the main window: the words land at the end of the list,
// which opens for editing, and reach the file only through "Salva
// Aggiornamenti".
#include "Form1.h"
#include "fakeplatform.h"
#include "session.h"
#include "vocabularyfile.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QByteArray Mine = "## mine\r\n 1   cat                                               gatto\r\n";

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestImportList : public QObject
{
    Q_OBJECT

private slots:
    void import_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("button"); // of the dialogue
        QTest::addColumn<QString>("added"); // lines at the end of the list
        QTest::newRow("spreadsheet") << QByteArray("inglese;italiano\r\ndog;cane\r\nbird;\r\n") << "Command1"
                                     << QStringLiteral(" 1   dog%1cane\r\n").arg(QString(47, u' '));
        QTest::newRow("KVTML") << QByteArray(
            "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><locale>en"
            "</locale></identifier><identifier id=\"1\"><locale>it</locale>"
            "</identifier></identifiers><entries><entry id=\"0\"><translation "
            "id=\"0\"><text>sun</text></translation><translation id=\"1\"><text>"
            "sole</text></translation></entry></entries></kvtml>")
                               << "Command1" << QStringLiteral(" 1   sun%1sole\r\n").arg(QString(47, u' '));
        QTest::newRow("cancelled") << QByteArray("dog,cane\r\n") << "Command2" << QString();
    }

    void import()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, button);
        QFETCH(QString, added);
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        Session session;
        Form1 form(session, platform);
        QVERIFY(writeBytes(dir.filePath("inglese.txt"), Mine) && writeBytes(dir.filePath("words"), file));
        QVERIFY(form.Form_Load());
        const QString before = form.wordListText();

        QTimer::singleShot(0, this, [button] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (dialog)
                dialog->findChild<QPushButton *>(button)->click();
        });
        form.importFile(dir.filePath("words"));
        QCOMPARE(form.wordListText(), before + added);
        QCOMPARE(form.editMode(), !added.isEmpty());
        QCOMPARE(form.findChild<QAction *>("menuSalva")->isEnabled(), !added.isEmpty());
        QCOMPARE(platform.shown.size(), added.isEmpty() ? 0 : 1);
        if (file.contains("bird"))
            QVERIFY(
                platform.shown.constFirst().text.contains("Riga 3: manca l'italiano di \u00abbird\u00bb"));

        // Nothing is written before the save; the save keeps the words.
        QFile saved(dir.filePath("inglese.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), Mine);
        saved.close();
        if (!added.isEmpty()) {
            QVERIFY(form.menuSalva_Click());
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QVERIFY(Vocabulary::decode(saved.readAll()).endsWith(added + "\r\n"));
        }
    }
};

QTEST_MAIN(TestImportList)
#include "tst_importlist.moc"
