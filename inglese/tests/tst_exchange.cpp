// Words in from spreadsheets and KVTML files, and out again: what a teacher's
// file turns into in the fixed columns, what is refused, and that an export
// reads back with the same words, lessons and critical marks.
#include "fakeplatform.h"
#include "vocabularyfile.h"
#include "wordexchange.h"
#include "wordtable.h"

#include <QDirIterator>
#include <QTest>

using Exchange::Format;
using Exchange::Word;

namespace {
// The file's words as the dialogue first proposes them.
QList<Word> guessedWords(const QByteArray &bytes, bool kvtml)
{
    if (kvtml) {
        const Exchange::Kvtml file = Exchange::readKvtml(bytes);
        return Exchange::kvtmlWords(file, file.englishLanguage, file.italianLanguage);
    }
    const Exchange::Table table = Exchange::readTable(bytes);
    return Exchange::tableWords(
        table, table.englishColumn, table.italianColumn, table.lessonColumn, table.criticalColumn);
}

// Word lines as "lesson field|English|Italian", the English without its padding.
QStringList summary(const QString &lines)
{
    QStringList rows;
    for (const QString &line : lines.split(Vocabulary::CrLf, Qt::SkipEmptyParts))
        rows.append(line.left(4) + u'|' + line.mid(5, 50).trimmed() + u'|' + line.mid(55));
    return rows;
}

QString line(const char *lessonField, const QString &english, const QString &italian)
{
    return QLatin1String(lessonField) + u' ' + english.leftJustified(50) + italian + Vocabulary::CrLf;
}

const QString List = line("12 c", QStringLiteral("house"), QStringLiteral("casa (abitazione, dimora)"))
    + line(" 0  ", QStringLiteral("to say \"hi\", then go"), QStringLiteral("dire; poi andare"))
    + line("20 c", QStringLiteral("\"why\" (or how)"), QStringLiteral("perch\u00e9"))
    + line("12  ", QStringLiteral("tree"), QStringLiteral("albero"));
} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void import_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("kvtml");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("spreadsheet: semicolons, quotes, line break, Windows-1252, header")
            << QByteArray("Lezione;Inglese;Italiano\r\n3;house;\"casa; dimora\"\r\n"
                          "4;\"to go, to leave\";\"andare\r\npartire\"\r\n;why;perch\xe9\r\n")
            << false
            << QStringList { QStringLiteral(" 3  |house|casa; dimora"),
                   QStringLiteral(" 4  |to go, to leave|andare partire"),
                   QStringLiteral(" 5  |why|perch\u00e9") };
        QTest::newRow("UTF-8 with BOM, LF, English header names, columns in another order")
            << QByteArray("\xEF\xBB\xBFitalian,lesson,english\ncitt\xC3\xA0,25,town\n") << false
            << QStringList { QStringLiteral(" 5  |town|citt\u00e0") };
        QTest::newRow("no header, lone CR line ends, quoted comma")
            << QByteArray("dog,cane\r\"good, fine\",buono\r") << false
            << QStringList { QStringLiteral(" 5  |dog|cane"), QStringLiteral(" 5  |good, fine|buono") };
        QTest::newRow("flash-card tabs with lesson tags")
            << QByteArray("cat\tgatto\tlezione7 critica\nhen\tgallina\tlezione_2\n") << false
            << QStringList { QStringLiteral(" 7 c|cat|gatto"), QStringLiteral(" 2  |hen|gallina") };
        QTest::newRow("words that are column names or tags stay words")
            << QByteArray("english\tinglese\tlezione3\ncriticism\tcritica\tlezione3 critica\n4\tquattro\t\n")
            << false
            << QStringList { QStringLiteral(" 3  |english|inglese"), QStringLiteral(" 3 c|criticism|critica"),
                   QStringLiteral(" 5  |4|quattro") };
        QTest::newRow("KVTML: Italian first, lessons by name and place, nested, error count")
            << QByteArray("<?xml version=\"1.0\"?><kvtml version=\"2.0\"><identifiers>"
                          "<identifier id=\"0\"><name>Italiano</name><locale>it</locale></identifier>"
                          "<identifier id=\"1\"><locale>en_GB</locale></identifier></identifiers><entries>"
                          "<entry id=\"5\"><translation id=\"0\"><text>mela</text></translation>"
                          "<translation id=\"1\"><text>apple</text><grade><errorcount>2</errorcount></grade>"
                          "</translation></entry>"
                          "<entry id=\"6\"><translation id=\"0\"><text>pera</text></translation>"
                          "<translation id=\"1\"><text>pear</text></translation></entry>"
                          "<entry id=\"7\"><translation id=\"0\"><text>prugna</text></translation>"
                          "<translation id=\"1\"><text>plum</text></translation></entry>"
                          "</entries><lessons><container><name>Frutta</name><container><name>Lezione 9</name>"
                          "<entry id=\"6\"/></container><entry id=\"5\"/></container>"
                          "<container><name>Lezione 30</name><entry id=\"7\"/></container></lessons></kvtml>")
            << true
            << QStringList { QStringLiteral(" 1 c|apple|mela"), QStringLiteral(" 1  |pear|pera"),
                   QStringLiteral(" 5  |plum|prugna") };
    }

    void import()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, kvtml);
        QFETCH(QStringList, lines);
        const Exchange::Lines result = Exchange::wordLines(guessedWords(bytes, kvtml), 5, 0);
        QCOMPARE(summary(result.text), lines);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("italian");
        QTest::addColumn<int>("existingRows");
        QTest::addColumn<QString>("problem");
        const QString fifty(50, u'a');
        QTest::newRow("50 columns fit") << fifty << QStringLiteral("b") << 0 << QString();
        QTest::newRow("English of 51") << fifty + u'x' << QStringLiteral("b") << 0
                                       << QStringLiteral("Riga 1: \u00ab") + fifty
                + QStringLiteral("x\u00bb \u00e8 pi\u00f9 lunga di 50 caratteri");
        QTest::newRow("Italian of 51") << QStringLiteral("b") << fifty + u'y' << 0
                                       << QStringLiteral("Riga 1: \u00ab") + fifty
                + QStringLiteral("y\u00bb \u00e8 pi\u00f9 lunga di 50 caratteri");
        QTest::newRow("Cyrillic") << QStringLiteral("cat") << QStringLiteral("\u043a\u043e\u0442") << 0
                                  << QStringLiteral(
                                         "Riga 1: \u00ab\u043a\u043e\u0442\u00bb ha il carattere "
                                         "\u00ab\u043a\u00bb che il file dei vocaboli non pu\u00f2 scrivere");
        QTest::newRow("emoji")
            << QStringLiteral("sun \U0001F600") << QStringLiteral("sole") << 0
            << QStringLiteral("Riga 1: \u00absun \U0001F600\u00bb ha il carattere \u00ab\U0001F600\u00bb che "
                              "il file dei vocaboli non pu\u00f2 scrivere");
        QTest::newRow("euro sign fits")
            << QStringLiteral("\u20ac") << QStringLiteral("euro") << 0 << QString();
        QTest::newRow("no English") << QStringLiteral("  ") << QStringLiteral("casa") << 0
                                    << QStringLiteral("Riga 1: manca l'inglese di \u00abcasa\u00bb");
        QTest::newRow("no Italian") << QStringLiteral("house") << QString() << 0
                                    << QStringLiteral("Riga 1: manca l'italiano di \u00abhouse\u00bb");
        QTest::newRow("last row that fits")
            << QStringLiteral("a") << QStringLiteral("b") << 32766 << QString();
        QTest::newRow("one row too many")
            << QStringLiteral("a") << QStringLiteral("b") << 32767
            << QStringLiteral("1 parole oltre le 32767 righe che l'elenco pu\u00f2 tenere");
    }

    void refused()
    {
        QFETCH(QString, english);
        QFETCH(QString, italian);
        QFETCH(int, existingRows);
        QFETCH(QString, problem);
        const Exchange::Lines lines
            = Exchange::wordLines({ { english, italian, 3, false, 1 } }, 0, existingRows);
        QCOMPARE(lines.problems, problem.isEmpty() ? QStringList() : QStringList { problem });
        QCOMPARE(lines.added, problem.isEmpty() ? 1 : 0);
        QCOMPARE(lines.text.isEmpty(), !problem.isEmpty());
        if (!problem.isEmpty())
            QVERIFY(Exchange::importMessage(lines).contains(problem));
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QList<int>>("lessons"); // none: the whole list
        QTest::addColumn<QList<int>>("rows"); // of List that come back
        for (const auto &[name, format] : { std::pair { "CSV", Format::Csv },
                 std::pair { "TSV", Format::Tsv }, std::pair { "KVTML", Format::Kvtml } }) {
            QTest::addRow("%s, whole list", name) << int(format) << QList<int>() << QList<int> { 0, 1, 2, 3 };
            QTest::addRow("%s, lessons 12 and 20", name)
                << int(format) << QList<int> { 12, 20 } << QList<int> { 0, 2, 3 };
        }
    }

    void roundTrip()
    {
        QFETCH(int, format);
        QFETCH(QList<int>, lessons);
        QFETCH(QList<int>, rows);
        FakePlatform platform;
        WordTable table;
        CriticalList memoc;
        QVERIFY(Vocabulary::parseWordList(List, table, memoc, 0, platform));
        std::array<bool, 21> chosen {};
        chosen.fill(lessons.isEmpty());
        for (int lesson : lessons)
            chosen[std::size_t(lesson)] = true;
        const QByteArray bytes
            = Exchange::write(Format(format), Exchange::tableToExport(table, memoc, chosen));

        const Exchange::Lines back
            = Exchange::wordLines(guessedWords(bytes, format == int(Format::Kvtml)), 9, 0);
        QVERIFY(back.problems.isEmpty());
        const QStringList lines = List.split(Vocabulary::CrLf, Qt::SkipEmptyParts);
        QStringList expected;
        for (int row : rows)
            expected.append(summary(lines.at(row)));
        QCOMPARE(summary(back.text), expected);
        if (format == int(Format::Csv))
            QVERIFY(bytes.startsWith("\xEF\xBB\xBFlezione,critica,inglese,italiano\r\n"));
    }

    // Vocabulary files that nobody here wrote: every one imports, or says
    // why not (one language only, the old format).
    void kvtmlFiles_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator files(QStringLiteral("/usr/share/apps/kvtml"), { QStringLiteral("*.kvtml") },
            QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QTest::newRow(qPrintable(path.mid(22))) << path;
        }
        if (!QFile::exists(QStringLiteral("/usr/share/apps/kvtml")))
            QTest::newRow("kdeedu-kvtml-data not installed") << QString();
    }

    void kvtmlFiles()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP("kdeedu-kvtml-data is not installed");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const Exchange::Kvtml kvtml = Exchange::readKvtml(file.readAll());
        if (kvtml.languages.size() >= 2) {
            QCOMPARE(kvtml.error, QString());
            const Exchange::Lines lines = Exchange::wordLines(
                Exchange::kvtmlWords(kvtml, kvtml.englishLanguage, kvtml.italianLanguage), 1, 0);
            QVERIFY(lines.added > 0);
        } else {
            QVERIFY2(kvtml.error.contains(QStringLiteral("una sola lingua"))
                    || kvtml.error.contains(QStringLiteral("vecchio formato"))
                    || kvtml.error.contains(QStringLiteral("nessuna lingua")),
                qPrintable(kvtml.error));
        }
    }
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
