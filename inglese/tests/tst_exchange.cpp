// Words in from spreadsheets and KVTML files, and out again: what a teacher's
// file turns into in the fixed columns, what is refused, that an export reads
// back the same, and that an import into the main window waits for the save.
#include "Form1.h"
#include "Form7.h"
#include "fixture.h"
#include "session.h"
#include "vocabularyfile.h"
#include "wordexchange.h"
#include "wordtable.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

using Exchange::Format;

namespace {
// The file's words as the dialogue first proposes them; `lesson` for words without one.
Exchange::Lines imported(const QByteArray &bytes, int lesson)
{
    const Exchange::Kvtml k = Exchange::readKvtml(bytes);
    const Exchange::Table t = Exchange::readTable(bytes);
    return Exchange::wordLines(bytes.contains("<kvtml")
            ? Exchange::kvtmlWords(k, k.englishLanguage, k.italianLanguage)
            : Exchange::tableWords(t, t.englishColumn, t.italianColumn, t.lessonColumn, t.criticalColumn),
        lesson, 0);
}

// Word lines as "lesson field|English|Italian", the English without its padding.
QString summary(const QString &lines)
{
    QStringList rows;
    for (const QString &line : lines.split(Vocabulary::CrLf, Qt::SkipEmptyParts))
        rows.append(line.left(4) + u'|' + line.mid(5, 50).trimmed() + u'|' + line.mid(55));
    return rows.join(u'/');
}

const QString List = wordLine("12", "c", "house", "casa (abitazione, dimora)\r\n")
    + wordLine(" 0", "", "to say \"hi\", then go", "dire; poi andare\r\n")
    + wordLine("20", "c", "\"why\" (or how)", "perch\u00e9\r\n") + wordLine("12", "", "tree", "albero\r\n");

const QByteArray Kvtml = "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><locale>it</locale>"
                         "</identifier><identifier id=\"1\"><locale>en_GB</locale></identifier></identifiers>"
                         "<entries><entry id=\"5\"><translation id=\"0\"><text>mela</text></translation>"
                         "<translation id=\"1\"><text>apple</text><grade><errorcount>2</errorcount></grade>"
                         "</translation></entry><entry id=\"6\"><translation id=\"0\"><text>pera</text>"
                         "</translation><translation id=\"1\"><text>pear</text></translation></entry>"
                         "<entry id=\"7\"><translation id=\"0\"><text>prugna</text></translation>"
                         "<translation id=\"1\"><text>plum</text></translation></entry></entries><lessons>"
                         "<container><name>Frutta</name><container><name>Lezione 9</name><entry id=\"6\"/>"
                         "</container><entry id=\"5\"/></container><container><name>Lezione 30</name>"
                         "<entry id=\"7\"/></container></lessons></kvtml>";
} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void import_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lines");
        row("semicolons, quotes, line break, Windows-1252, header",
            QByteArray("Lezione;Inglese;Italiano\r\n3;house;\"casa; dimora\"\r\n"
                       "4;\"to go, to leave\";\"andare\r\npartire\"\r\n;why;perch\xe9\r\n"),
            " 3  |house|casa; dimora/ 4  |to go, to leave|andare partire/ 5  |why|perch\u00e9");
        row("UTF-8 BOM, LF, English header, other order",
            QByteArray("\xEF\xBB\xBFitalian,lesson,english\ncitt\xC3\xA0,25,town\n"), " 5  |town|citt\u00e0");
        row("no header, CR, quoted comma", QByteArray("dog,cane\r\"good, fine\",buono\r"),
            " 5  |dog|cane/ 5  |good, fine|buono");
        row("flash-card tabs, lesson tags",
            QByteArray("cat\tgatto\tlezione7 critica\nhen\tgallina\tlezione_2\n"),
            " 7 c|cat|gatto/ 2  |hen|gallina");
        row("column names and tags as words",
            QByteArray("english\tinglese\tlezione3\ncriticism\tcritica\tlezione3 critica\n4\tquattro\t\n"),
            " 3  |english|inglese/ 3 c|criticism|critica/ 5  |4|quattro");
        row("numbers as words before the tags", QByteArray("4\tquattro\tlezione3\n"), " 3  |4|quattro");
        row("KVTML: Italian first, lessons by name and place, nested, errors", Kvtml,
            " 1 c|apple|mela/ 1  |pear|pera/ 5  |plum|prugna");
    }
    void import()
    {
        QFETCH(QByteArray, bytes);
        QTEST(summary(imported(bytes, 5).text), "lines");
    }

    void refused_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("italian");
        QTest::addColumn<int>("existingRows");
        QTest::addColumn<QString>("problem");
        const QString a50(50, u'a'),
            tooLong = "Riga 1: \u00ab" + a50 + "x\u00bb \u00e8 pi\u00f9 lunga di 50 caratteri";
        const QString cannot = "Riga 1: \u00ab%1\u00bb ha il carattere \u00ab%2\u00bb che il file dei "
                               "vocaboli non pu\u00f2 scrivere";
        row("50 columns fit", a50, "b", 0, "");
        row("English of 51", a50 + u'x', "b", 0, tooLong);
        row("Italian of 51", "b", a50 + u'x', 0, tooLong);
        row("Cyrillic", "cat", "\u043a\u043e\u0442", 0, cannot.arg("\u043a\u043e\u0442", "\u043a"));
        row("emoji", "sun \U0001F600", "sole", 0, cannot.arg("sun \U0001F600", "\U0001F600"));
        row("euro sign fits", "\u20ac", "euro", 0, "");
        row("no English", "  ", "casa", 0, "Riga 1: manca l'inglese di \u00abcasa\u00bb");
        row("no Italian", "house", "", 0, "Riga 1: manca l'italiano di \u00abhouse\u00bb");
        row("last row that fits", "a", "b", 32766, "");
        row("one row too many", "a", "b", 32767,
            "1 parole oltre le 32767 righe che l'elenco pu\u00f2 tenere");
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
        QVERIFY(Exchange::importMessage(lines).contains(problem));
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("lessons"); // empty: the whole list
        QTest::addColumn<QString>("rows"); // of List that come back
        for (const auto &[name, format] : { std::pair { "CSV", Format::Csv },
                 std::pair { "TSV", Format::Tsv }, std::pair { "KVTML", Format::Kvtml } }) {
            QTest::addRow("%s, whole list", name) << int(format) << QString() << "0 1 2 3";
            QTest::addRow("%s, lessons 12 and 20", name) << int(format) << "12 20"
                                                         << "0 2 3";
        }
    }
    void roundTrip()
    {
        QFETCH(int, format);
        FakePlatform platform;
        WordTable table;
        CriticalList memoc;
        QVERIFY(Vocabulary::parseWordList(List, table, memoc, 0, platform));
        std::array<bool, 21> chosen {};
        chosen.fill(numbers("lessons").isEmpty());
        for (int lesson : numbers("lessons"))
            chosen[std::size_t(lesson)] = true;
        const QByteArray bytes
            = Exchange::write(Format(format), Exchange::tableToExport(table, memoc, chosen));
        QStringList expected;
        for (int row : numbers("rows"))
            expected.append(summary(List.split(Vocabulary::CrLf).at(row)));
        QCOMPARE(summary(imported(bytes, 9).text), expected.join(u'/'));
        QVERIFY(format != int(Format::Csv)
            || bytes.startsWith("\xEF\xBB\xBFlezione,critica,inglese,italiano\r\n"));
    }

    // Vocabulary files that nobody here wrote: every one imports, or says
    // why not (one language only, the old format).
    void kvtmlFiles()
    {
        QDirIterator files("/usr/share/apps/kvtml", { "*.kvtml" }, QDir::Files, QDirIterator::Subdirectories);
        if (!files.hasNext())
            QSKIP("kdeedu-kvtml-data is not installed");
        while (files.hasNext()) {
            const QByteArray bytes = readBytes(files.next());
            const Exchange::Kvtml kvtml = Exchange::readKvtml(bytes);
            QVERIFY2(kvtml.languages.size() >= 2 ? kvtml.error.isEmpty() && imported(bytes, 1).added > 0
                                                 : kvtml.error.contains(QRegularExpression(
                                                     "una sola lingua|vecchio formato|nessuna lingua")),
                qPrintable(files.filePath() + ": " + kvtml.error));
        }
    }

    // Into the main window: the words land at the end of the list, which opens
    // for editing, and reach the file only through "Salva Aggiornamenti".
    void intoList_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("button"); // of the dialogue
        QTest::addColumn<QString>("added"); // lines at the end of the list
        row("spreadsheet", QByteArray("inglese;italiano\r\ndog;cane\r\nbird;\r\n"), "Command1",
            wordLine(" 1", "", "dog", "cane\r\n"));
        row("KVTML", Kvtml, "Command1",
            wordLine(" 1", "c", "apple", "mela\r\n") + wordLine(" 1", "", "pear", "pera\r\n")
                + wordLine(" 1", "", "plum", "prugna\r\n"));
        row("cancelled", QByteArray("dog,cane\r\n"), "Command2", "");
        row("broken KVTML", QByteArray("<kvtml><"), "", "");
    }
    void intoList()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, button);
        QFETCH(QString, added);
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        Session session;
        Form1 form(session, platform);
        const QByteArray mine = Vocabulary::encode("## mine\r\n" + wordLine(" 1", "", "cat", "gatto\r\n"));
        QVERIFY(writeBytes(dir.filePath("inglese.txt"), mine) && writeBytes(dir.filePath("words"), file));
        QVERIFY(form.Form_Load());
        const QString before = form.wordListText();
        QTimer::singleShot(0, &form, [button] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->findChild<QPushButton *>(button)->click();
        });
        form.importFile(dir.filePath("words"));
        QCOMPARE(form.wordListText(), before + added);
        QCOMPARE(form.editMode(), !added.isEmpty());
        QCOMPARE(form.findChild<QAction *>("menuSalva")->isEnabled(), !added.isEmpty());
        QCOMPARE(platform.shown.size(), int(!added.isEmpty() || button.isEmpty())); // a broken file is told
        QVERIFY(!file.contains("bird")
            || platform.shown.constFirst().text.contains("Riga 3: manca l'italiano di \u00abbird\u00bb"));
        QCOMPARE(readBytes(dir.filePath("inglese.txt")), mine); // nothing written before the save
        QVERIFY(added.isEmpty()
            || (form.menuSalva_Click()
                && Vocabulary::decode(readBytes(dir.filePath("inglese.txt"))).endsWith(added + "\r\n")));
    }

    // The export from the main window: the dialogue's choices, the file's name, what is told.
    void exportWords_data()
    {
        QTest::addColumn<QString>("clicks"); // in the dialogue, ending with Esporta or Annulla
        QTest::addColumn<QString>("name"); // typed in the file dialogue
        QTest::addColumn<QString>("told"); // how the message begins; %1 is the folder
        QTest::addColumn<QByteArray>("written");
        row("CSV, whole list", "Command1", "parole", "Parole scritte nel file %1/parole.csv: 2.",
            QByteArray("\xEF\xBB\xBFlezione,critica,inglese,italiano\r\n1,,dog,cane\r\n3,,cat,gatto\r\n"));
        row("TSV, lesson 3", "OptTsv OptScelte Ckles3 Command1", "gatti.tsv",
            "Parole scritte nel file %1/gatti.tsv: 1.", QByteArray("cat\tgatto\tlezione3\n"));
        row("no lesson ticked", "OptScelte Command1", "", "Nessuna parola da esportare", QByteArray());
        row("name taken by a folder", "OptKvtml Command1", "parole",
            "Non \u00e8 stato possibile scrivere il file %1/parole.kvtml", QByteArray());
        row("cancelled", "Command2", "", "", QByteArray());
    }
    void exportWords()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, name);
        QFETCH(QString, told);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("parole.kvtml"));
        FakePlatform platform;
        WordTable words;
        words.append(u" 1  ", u"dog", u"cane");
        words.append(u" 3  ", u"cat", u"gatto");
        QTimer user; // plays the user in the dialogue, and answers the file dialogue
        connect(&user, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                for (const QString &button : clicks.split(u' '))
                    QMetaObject::invokeMethod(control(modal, button), "click");
            }
        });
        user.start(10);
        const auto askedBefore = std::exchange(Form7::askExportFile,
            [&](QWidget *, const QString &, const QString &) { return dir.filePath(name); });
        const auto restore = qScopeGuard([&] { Form7::askExportFile = askedBefore; });
        Form7::exportWords(nullptr, dir.path() + u'/', words, CriticalList(), platform);
        QCOMPARE(platform.shown.size(), int(!told.isEmpty()));
        const QString said = platform.shown.value(0).text;
        QVERIFY2(
            told.isEmpty() || said.startsWith(QString(told).replace("%1", dir.path())), qPrintable(said));
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        QTEST(files.isEmpty() ? QByteArray() : readBytes(dir.filePath(files.first())), "written");
    }
};

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
