#include "programstate.h"
#include "textfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The .txt format and the path rules of the file dialogue.
class TestTextFile : public QObject
{
    Q_OBJECT

private:
    static QByteArray bytesOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void paths_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("root") << "/" << "/lettera.txt";
        QTest::newRow("folder") << "/home/anna" << "/home/anna/lettera.txt";
        QTest::newRow("folder ending in separator") << "/home/anna/" << "/home/anna/lettera.txt";
    }
    void paths()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(TextFile::joinPath(folder, QStringLiteral("lettera.txt")), path);
        QCOMPARE(TextFile::fileName(path), QStringLiteral("lettera.txt"));
    }

    void everyByteIsOneCharacter()
    {
        QByteArray all;
        for (int byte = 0; byte < 256; ++byte)
            all.append(char(byte));
        const QString text = TextFile::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0xE8), QChar(u'è'));
        QCOMPARE(text.at(0x80), QChar(u'€'));
        QCOMPARE(TextFile::encode(text).value_or(QByteArray()), all);
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::newRow("Italian letters, special keys") << QStringLiteral("più perché ° # € @ §") << true;
        QTest::newRow("Polish l") << QStringLiteral("Łódź") << false;
        QTest::newRow("arrow") << QStringLiteral("a → b") << false;
        QTest::newRow("emoji") << QStringLiteral("ciao 😀") << false;
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QCOMPARE(TextFile::encode(text).has_value(), fits);
        QCOMPARE(TextFile::unencodable(text).isEmpty(), fits);
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("crLf");
        QTest::newRow("LF") << "a\nb\n" << "a\r\nb\r\n";
        QTest::newRow("CR LF") << "a\r\nb" << "a\r\nb";
        QTest::newRow("lone CR") << "a\rb" << "a\r\nb";
        QTest::newRow("CR before CR LF") << "a\r\r\nb" << "a\r\n\r\nb";
        QTest::newRow("LF CR") << "a\n\rb" << "a\r\n\r\nb";
        QTest::newRow("empty lines") << "\n\n" << "\r\n\r\n";
    }
    void lineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, crLf);
        QCOMPARE(TextFile::toCrLf(text), crLf);
        QCOMPARE(TextFile::toCrLf(TextFile::toLf(text)), crLf);
    }

    void offsetsCountBothBreakCharacters()
    {
        const QString lf = TextFile::toLf(sampleLetter());
        // In the letter the fourth line starts after three line breaks.
        QCOMPARE(TextFile::lfPosition(lf, SampleLetterCaret), 40);
        QCOMPARE(TextFile::crLfOffset(lf, 40), SampleLetterCaret);
        for (int position = 0; position <= lf.size(); ++position)
            QCOMPARE(TextFile::lfPosition(lf, TextFile::crLfOffset(lf, position)), position);
    }

    void writeAddsOneLineBreakAndReadKeepsIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lettera.txt"));
        const QString text = QStringLiteral("Città\r\nè più\r\n\tfine");
        QVERIFY(TextFile::write(path, text).isNull());
        QCOMPARE(bytesOf(path), QByteArray("Citt\xE0\r\n\xE8 pi\xF9\r\n\tfine\r\n"));
        const TextFile::ReadResult read = TextFile::read(path);
        QVERIFY(read.ok());
        QCOMPARE(read.text, text + QStringLiteral("\r\n"));
    }

    // The dialogue tests check that such failures reach the user; here the
    // old file must come through whole and no stray file may be left.
    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("character outside the code page") << "lettera.txt" << "Łódź" << "Ł";
        QTest::newRow("folder that does not exist") << "manca/lettera.txt" << "ciao" << "non si può scrivere";
        QTest::newRow("name too long") << QString(300, QLatin1Char('x')) << "ciao" << "non si può scrivere";
    }
    void failedWriteKeepsTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("lettera.txt"));
        QVERIFY(TextFile::write(old, QStringLiteral("vecchio")).isNull());

        QVERIFY(TextFile::write(dir.filePath(name), text).contains(reason));
        QCOMPARE(bytesOf(old), QByteArray("vecchio\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("lettera.txt") });
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
