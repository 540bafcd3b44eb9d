// Words in from spreadsheets and KVTML files, and out again: what a teacher's
// file turns into in the fixed columns, what is refused, that an export reads
// back the same, and that an import into the main window waits for the save.
#include "ExchangeWindow.h"
#include "MainWindow.h"
#include "ResultsWindow.h"
#include "filechoice.h"
#include "fixture.h"
#include "session.h"
#include "vocabularyfile.h"
#include "wordexchange.h"
#include "wordtable.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

using Exchange::Format;

namespace {
// The file's words as the dialogue first proposes them; `lesson` for words without one. Why a
// KVTML file cannot be imported comes first among the problems.
Exchange::Lines imported(const QByteArray &bytes, int lesson)
{
    const Exchange::Kvtml k = Exchange::readKvtml(bytes);
    const Exchange::Table t = Exchange::readTable(bytes);
    Exchange::Lines lines = Exchange::wordLines(bytes.contains("<kvtml")
            ? Exchange::kvtmlWords(k, k.englishLanguage, k.italianLanguage)
            : Exchange::tableWords(t, { t.englishColumn, t.italianColumn, t.lessonColumn, t.criticalColumn }),
        lesson, 0);
    if (bytes.contains("<kvtml") && !k.error.isEmpty())
        lines.problems.prepend(k.error);
    return lines;
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
    + wordLine("20", "c", "\"why\" (or how)", "perché\r\n")
    + wordLine("12", "", "a tree as tall as a house, full of leaves and bird", "albero\r\n");

const QByteArray Kvtml
    = "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><locale>it</locale>"
      "</identifier><identifier id=\"1\"><locale>en_GB</locale></identifier>"
      "<identifier id=\"2\"><locale>it</locale></identifier></identifiers>"
      "<entries><entry id=\"0\"><translation id=\"0\"><text>mela</text></translation>"
      "<translation id=\"1\"><grade><errorcount>2</errorcount></grade><text>apple</text>"
      "</translation></entry><entry id=\"1\"><translation id=\"0\"><text>pera</text>"
      "</translation><translation id=\"1\"><text>pear</text></translation></entry>"
      "<entry id=\"7\"><translation id=\"0\"><text>pru<i>x</i>gna</text></translation>"
      "<translation id=\"1\"><text>plum</text></translation></entry><entry id=\"8\"/><entry id=\"9\">"
      "<translation id=\"1\"><text>kiwi</text></translation></entry><translation id=\"0\"><text>x</text>"
      "</translation></entries><lessons>"
      "<container><name>Frutta</name><container><name>Lezione 9</name><entry id=\"7\"/>"
      "</container><entry id=\"0\"/></container><container><name>Lezione 30</name>"
      "<entry id=\"1\"/></container></lessons></kvtml>";
} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void import_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("left"); // the lines named as left out
        const QByteArray utf16
            = QByteArray::fromRawData(reinterpret_cast<const char *>(u"dog,cane\ncity,città\n"), 38);
        QByteArray utf16be;
        for (qsizetype i = 0; i < utf16.size(); i += 2)
            utf16be.append(utf16.at(i + 1)).append(utf16.at(i));
        row("semicolons, quotes, line break, Windows-1252, header",
            QByteArray("Lezione;Inglese;Italiano\r\n3;house;\"casa; dimora\"\r\n"
                       "4;\"to go, to leave\";\"andare\r\npartire\"\r\n;why;perch\xe9\r\n"),
            " 3  |house|casa; dimora/ 4  |to go, to leave|andare partire/ 5  |why|perché", "");
        row("UTF-8 BOM, LF, English header, other order, no lesson past the last or signed",
            QByteArray("\xEF\xBB\xBFitalian,lesson,english\ncitt\xC3\xA0,25,town\ngallina,+7,hen\n"),
            " 5  |town|città/ 5  |hen|gallina", "");
        row("no header, CR, blanks, blank row", QByteArray("dog, cane\r ,\r \"good, fine\" ,buono\r"),
            " 5  |dog|cane/ 5  |good, fine|buono", "");
        row("flash-card tabs, lesson tags",
            QByteArray("cat\tgatto\tlezione_7 critica\nhen\tgallina\tlesson2\n"),
            " 7 c|cat|gatto/ 2  |hen|gallina", "");
        row("column names and tags as words",
            QByteArray("english\tinglese\tlezione3\ncriticism\tcritica\tlezione3 critica\n4\tquattro\t\n"),
            " 3  |english|inglese/ 3 c|criticism|critica/ 5  |4|quattro", "");
        row("Italian first, and named again", QByteArray("italiano,lezione,x,italian\ncasa,2,house,z\n"),
            " 2  |house|casa", "");
        row("one column name is a word", QByteArray("english,casa\nhen,gallina\n"),
            " 5  |english|casa/ 5  |hen|gallina", "");
        row("a number and a word make no lesson column", QByteArray("dog,cane,3\ncat,gatto,x\n"),
            " 5  |dog|cane/ 5  |cat|gatto", "");
        row("lessons all 0, then numbers", QByteArray("0,1,uno\n0,2,due\n"), " 0  |1|uno/ 0  |2|due", "");
        row("a comment of this program alone is a table", QByteArray("## a,b\n"), " 5  |## a|b", "");
        row("a tag with letters after its number is a word",
            QByteArray("cat\tgatto\tlezione7x\nhen\tgallina\tlezione2\n"), " 5  |cat|gatto/ 5  |hen|gallina",
            "");
        row("numbers, then tags", QByteArray("4\tquattro\tlezione3\n"), " 3  |4|quattro", "");
        row("numbers, tags, a blank", QByteArray("4\tquattro\tlezione3\t\n"), " 3  |4|quattro", "");
        const QString kiwi = "Riga 5: manca l'italiano di «kiwi»", // an empty entry is no word
            cannot = " che il file dei vocaboli non può scrivere";
        row("KVTML: Italian first and third, lessons by name and place, nested, errors", Kvtml,
            " 1 c|apple|mela/ 5  |pear|pera/ 1  |plum|prugna", kiwi);
        const qsizetype entries = Kvtml.indexOf("<entries>"), lessons = Kvtml.indexOf("<lessons>");
        row("KVTML: the lessons before the entries, a language before English",
            Kvtml.first(entries).replace("</identifier><identifier id=\"1\">",
                "</identifier><identifier id=\"5\"><locale>de</locale></identifier><identifier id=\"1\">")
                + Kvtml.sliced(lessons).replace("</kvtml>", Kvtml.sliced(entries, lessons - entries))
                + "</kvtml>",
            " 1 c|apple|mela/ 5  |pear|pera/ 1  |plum|prugna", kiwi);
        const QByteArray lines = QByteArray(Kvtml).replace("<entries>", "\n\n<entries>");
        const QString broken = "Il file KVTML è rovinato alla riga 3: non si importa nulla.",
                      notKvtml = "Il file non è un file di vocaboli KVTML.";
        row("KVTML: a tag never closed", QByteArray(lines).replace("</entries>", "</entrie>"), "", broken);
        row("KVTML: cut short", lines.first(lines.indexOf("</entries>")), "", broken);
        row("KVTML: another kind of XML", QByteArray("<html><kvtml version=\"2.0\"/></html>"), "", notKvtml);
        row("KVTML: not XML", QByteArray("cat <kvtml/>"), "", notKvtml);
        row("KVTML: the old format", QByteArray("<kvtml version=\"1.0\"><e><o>cat</o></e></kvtml>"), "",
            "Il file è nel vecchio formato KVTML: si leggono solo i file KVTML 2.0.");
        row("KVTML: no language", QByteArray("<kvtml version=\"2.0\"></kvtml>"), "",
            "Il file non dichiara nessuna lingua: non ci sono parole da importare.");
        row("KVTML: no language named",
            QByteArray(Kvtml).replace("<locale>it</locale>", "").replace("en_GB", "de"),
            " 1 c|mela|apple/ 5  |pera|pear/ 1  |prugna|plum", "Riga 5: manca l'inglese di «kiwi»");
        row("UTF-16 LE without BOM", utf16, " 5  |dog|cane/ 5  |city|città", "");
        row("UTF-16 BE without BOM", utf16be, " 5  |dog|cane/ 5  |city|città", "");
        row("UTF-16 without BOM, a byte short", utf16.chopped(1), "", "");
        row("UTF-16 with BOM, a byte short", "\xFF\xFE" + utf16.chopped(1), "", "");
        row("a pair across two pieces of the parser",
            QByteArray((1 << 20) - 1, '\n') + "\xF0\x9F\x98\x81,sorriso\n", "",
            "Riga 1: «\U0001F601» ha il carattere «\U0001F601»" + cannot);
        row("the separator that fits most of 40 rows", QByteArray("a;b,c\n").repeated(39) + "d,e\nf;g\n",
            QStringList(39, " 5  |a;b|c").join(u'/') + "/ 5  |d|e", "Riga 41: manca l'italiano di «f;g»");
        row("a tie goes to the semicolon", QByteArray("a;b,c\n"), " 5  |a|b,c", "");
        row("16 columns", "cat,gatto" + QByteArray(13, ',') + ",lezione3,lezione4\n", " 3  |cat|gatto", "");
        row("five characters: no word line", QByteArray(" 7 c \n"), "", "Riga 1: manca l'italiano di «7 c»");
        row("ten rows of two cells", QByteArray("cat,gatto\n").repeated(10),
            QStringList(10, " 5  |cat|gatto").join(u'/'), "");
        row("a half of a UTF-16 pair first, then a whole pair",
            QByteArray("\0\xD8=\xD8\x01\xDE,\0d\0\n\0a\0,\0b\0", 18), " 5  |a|b",
            "Riga 1: «\ufffd\U0001F601» ha un carattere illeggibile (U+FFFD)" + cannot);
        row("title and author before the table",
            QByteArray("Title:,Animali\r\nAuthor:,Maestra\r\n ,;\t\r\nsmile :),sorriso\r\ncat,gatto\r\n"),
            " 5  |cat|gatto", "Riga 4: «smile :)» / «sorriso» usa male le parentesi");
        row("a quoted title", QByteArray("\"Title:\",\"Animali\"\rcat,gatto\r\n"), " 5  |cat|gatto", "");
        row("a date above the words without a title is a word", QByteArray("Date:,oggi\r\ncat,gatto\r\n"),
            " 5  |Date:|oggi/ 5  |cat|gatto", "");
        row("a word that reads like a title", QByteArray("Author: Maestra\nTitle: Mr\tsignore\tlezione2\n"),
            " 2  |Title: Mr|signore", "");
        row("another vocabulary of this program, LF, comments",
            Vocabulary::encode("## classe 2\n 7   a\n" + wordLine("12", "x", "house", "casa (dimora)\n")
                + wordLine(" 3", "", "to run (away", "correre\n") + wordLine(" 0", "", "why", "perché")),
            "12 c|house|casa (dimora)/ 0  |why|perché",
            "Riga 2: manca l'italiano di «a»|Riga 4: «to run (away» / "
            "«correre» usa male le parentesi");
    }
    void import()
    {
        const Exchange::Lines lines = imported(fetched<QByteArray>("bytes"), 5);
        QTEST(summary(lines.text), "lines");
        QTEST(lines.problems.join(u'|'), "left");
    }

    void refused_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("italian");
        QTest::addColumn<int>("existingRows");
        QTest::addColumn<QString>("problem");
        const QString a50(50, u'a'), tooLong = "Riga 1: «" + a50 + "x» è più lunga di 50 caratteri";
        const QString cannot = "Riga 1: «%1» ha il carattere «%2» che il file dei vocaboli non può scrivere";
        row("50 columns fit", a50, "b", 0, "");
        row("English of 51", a50 + u'x', "b", 0, tooLong);
        row("Italian of 51", a50, a50 + u'x', 0, tooLong);
        row("Cyrillic", "\u043a\u043e\u0442", "gatto", 0, cannot.arg("\u043a\u043e\u0442", "\u043a"));
        row("emoji", "sun", "sole \U0001F600", 0, cannot.arg("sole \U0001F600", "\U0001F600"));
        row("lone half of a pair", "ab", QChar(0xDC00) + QString("x"), 0,
            QString("Riga 1: «") + QChar(0xDC00) + "x» ha un carattere illeggibile (U+DC00)");
        row("euro sign fits", "€", "euro", 0, "");
        row("no English", "  ", "casa", 0, "Riga 1: manca l'inglese di «casa»");
        row("no Italian", "house", "", 0, "Riga 1: manca l'italiano di «house»");
        row("one bracket only", "a) first", "primo", 0, "Riga 1: «a) first» / «primo» usa male le parentesi");
        row("pairs on both sides fit", "(to) go", "andare [verbo]", 0, "");
        row("last row that fits", "a", "b", 32766, "");
        row("a row too many", "a", "b", 32767, "1 parola oltre le 32767 righe che l'elenco può tenere");
    }
    void refused()
    {
        QFETCH(QString, problem);
        const Exchange::Lines lines = Exchange::wordLines(
            { { fetched<QString>("english"), fetched<QString>("italian"), 3, false, 1 } }, 0,
            fetched<int>("existingRows"));
        QCOMPARE(lines.added, problem.isEmpty() ? 1 : 0);
        const QString told = Exchange::importMessage(lines);
        QVERIFY2(
            problem.isEmpty() ? told.endsWith("\"Salva Aggiornamenti\".") : told.startsWith("Nessuna parola"),
            qPrintable(told));
        QVERIFY2(told.contains(problem), qPrintable(told));
    }

    // The message names the first 20 lines left out and counts the rest.
    void limits()
    {
        for (const auto &[count, end] :
            { std::pair { 20, "" }, { 21, "\r\n  ... e un'altra" }, { 22, "\r\n  ... e altre 2" } }) {
            const QList<Exchange::Word> words(count, { "", "b", 3, false, 20 });
            const QString told = Exchange::importMessage(Exchange::wordLines(words, 0, 0));
            QVERIFY2(told.endsWith("Riga 20: manca l'inglese di «b»" + QString(end)), qPrintable(told));
        }
        // A file longer than the list can take: what fits goes in, the rest is counted.
        for (const QByteArray &bytes :
            { QByteArray("lezione,inglese,italiano\n1,dog,cane\n\n2,cat,gatto\n3,hen,gallina\n"),
                Vocabulary::encode(wordLine(" 1", "", "dog", "cane\n## 2\n\n")
                    + wordLine(" 2", "", "cat", "gatto\n") + wordLine(" 3", "", "hen", "gallina")) }) {
            const Exchange::Lines lines
                = ExchangeWindow(Exchange::readTable(bytes)).lines(WordTable::MaxRows - 1);
            QCOMPARE(summary(lines.text), " 1  |dog|cane");
            QCOMPARE(lines.over, 2);
        }
    }

    // The preview shows the first rows of words, comments left out, and follows every change of the columns.
    void preview()
    {
        const QByteArray csv = "lezione,inglese,italiano\n" + QByteArray("1,dog,cane\n").repeated(60),
                         mine
            = Vocabulary::encode("## classe 2\n" + wordLine("12", "c", "hen", "gallina\n").repeated(60));
        for (const QByteArray &bytes : { csv, mine }) {
            QCOMPARE(Exchange::readTable(bytes).rows.size(), Exchange::Table::FirstRows);
            QCOMPARE(Exchange::readTable(bytes).rows.constFirst().at(bytes == csv ? 2 : 3),
                bytes == csv ? "italiano" : "gallina");
        }
        for (const int limit : { 0, 3 }) // the words that the preview asks for, no more
            QCOMPARE(Exchange::tableWords(Exchange::readTable(csv), { 1, 2, 0, -1 }, limit).size(), limit);
        ExchangeWindow dialog(Exchange::readTable(QByteArray(csv).replace("1,", "2,")));
        const auto first = [shown = control<QTableWidget>(&dialog, "Anteprima")] {
            QStringList cells;
            for (int c = 0; c < shown->columnCount(); ++c)
                cells << (shown->item(0, c) ? shown->item(0, c)->text() : "-");
            return cells.join('|');
        };
        // Every choice shows at once in the preview's first row: lesson, mark, English, Italian.
        control<QComboBox>(&dialog, "Inglese")->setCurrentIndex(2);
        QCOMPARE(first(), "2||cane|cane");
        control<QComboBox>(&dialog, "Italiano")->setCurrentIndex(0);
        QCOMPARE(first(), "2||cane|2");
        control<QComboBox>(&dialog, "ColonnaLezione")->setCurrentIndex(0);
        QCOMPARE(first(), "1||cane|2");
        control<QSpinBox>(&dialog, "Lezione")->setValue(7);
        QCOMPARE(first(), "7||cane|2");
        control<QCheckBox>(&dialog, "Intestazione")->click();
        QCOMPARE(first(), "7||italiano|lezione");
        // A column is named by its first cell, cut after 24 characters.
        ExchangeWindow columns(Exchange::readTable(QByteArray(24, 'a') + ',' + QByteArray(25, 'b')));
        control<QCheckBox>(&columns, "Intestazione")->click(); // no word left: the preview empty
        QVERIFY(!control<QTableWidget>(&columns, "Anteprima")->item(0, 2));
        const auto *named = control<QComboBox>(&columns, "Inglese");
        QCOMPARE(named->itemText(0) + '|' + named->itemText(1),
            "Colonna 1: " + QString(24, 'a') + "|Colonna 2: " + QString(24, 'b') + "...");
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("lessons"); // empty: the whole list
        QTest::addColumn<QString>("rows"); // of List that come back
        for (const auto &[name, format] : { std::pair { "CSV", Format::Csv },
                 std::pair { "TSV", Format::Tsv }, std::pair { "KVTML", Format::Kvtml } }) {
            QTest::addRow("%s, whole list", name) << int(format) << QString() << "0 1 2 3";
            QTest::addRow("%s, lessons 12 and 20", name) << int(format) << QString("12 20") << "0 2 3";
        }
    }
    void roundTrip()
    {
        QFETCH(int, format);
        QCOMPARE(Exchange::suffix(Format(format)), QString(QTest::currentDataTag()).split(',')[0].toLower());
        FakePlatform platform;
        WordTable table;
        CriticalList memoc;
        QVERIFY(Vocabulary::parseWordList(List, table, memoc, false, platform));
        LessonFlags chosen {};
        chosen.fill(numbers("lessons").isEmpty());
        for (int lesson : numbers("lessons"))
            chosen[std::size_t(lesson)] = true;
        const QByteArray bytes = Exchange::write(
            Format(format), Exchange::ofLessons(Exchange::listWords(List, &memoc).words, chosen));
        QStringList expected;
        for (int row : numbers("rows"))
            expected.append(summary(List.split(Vocabulary::CrLf).at(row)));
        QCOMPARE(summary(imported(bytes, 9).text), expected.join(u'/'));
        const QByteArray xml = bytes.simplified();
        QVERIFY(format != int(Format::Kvtml) // languages named as others do, grade on the English, 2 texts
            || (xml.startsWith("<?xml version=") && bytes.endsWith("</kvtml>\n")
                && xml.contains("<identifier id=\"1\"> <name>Italiano</name> <locale>it</locale> "
                                "</identifier> </identifiers>")
                && xml.contains("<text>house</text> <grade> <count>1</count> <errorcount>1</errorcount>")
                && xml.contains("<translation id=\"1\"> <text>albero</text> </translation> </entry>")));
    }

    // Into the main window: the words land at the end of the list, which opens for editing with the
    // caret after them, and reach the file only through "Salva Aggiornamenti".
    void intoList_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("button"); // of the dialogue
        QTest::addColumn<bool>("saved"); // in edit mode, before the import
        QTest::addColumn<QString>("added"); // lines at the end of the list
        row("spreadsheet", QByteArray("inglese;italiano\r\ndog;cane\r\nbird;\r\n"), "Command1", false,
            wordLine(" 1", "", "dog", "cane\r\n"));
        row("KVTML, after a save in edit mode, not named .kvtml", Kvtml, "Command1", true,
            wordLine(" 1", "c", "apple", "mela\r\n") + wordLine(" 1", "", "pear", "pera\r\n")
                + wordLine(" 1", "", "plum", "prugna\r\n"));
        row(".kvtml in Windows-1252, read as UTF-8 first; the first of two English",
            QByteArray(
                "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><name>Inglese</name></identifier>"
                "<identifier id=\"1\"><locale>en</locale></identifier></identifiers><entries><entry>"
                "<translation id=\"0\"><text>why</text></translation><translation id=\"1\"><text>perch\xe9"
                "</text></translation></entry></entries></kvtml>"),
            "Command1", false, wordLine(" 1", "", "why", "perché\r\n"));
        row("cancelled", QByteArray("dog,cane\r\n"), "Command2", false, "");
        row("broken KVTML", QByteArray("<kvtml version=\"2.0\"><"), "", false, "");
    }
    void intoList()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, button);
        QFETCH(QString, added);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        Session session;
        MainWindow form(session, platform);
        const QByteArray mine = Vocabulary::encode("## mine\r\n" + wordLine(" 1", "", "cat", "gatto\r\n"));
        // A .kvtml file is read from its bytes, any other from its text, KVTML too.
        const QString words = dir.filePath(file.startsWith("<kvtml") && !saved ? "words.kvtml" : "words");
        QVERIFY(writeBytes(dir.filePath("inglese.txt"), mine) && writeBytes(words, file));
        QVERIFY(form.Form_Load());
        const bool typed = file.startsWith("inglese;"); // after a last line typed without a line end
        if (auto *list = control<QPlainTextEdit>(&form, "ListaVoci"); typed) {
            form.menuModifica_Click();
            list->moveCursor(QTextCursor::End);
            list->insertPlainText(wordLine(" 2", "", "hen", "gallina"));
        }
        const QString before = form.wordListText() + (typed ? "\r\n" : "");
        if (saved) {
            form.menuModifica_Click();
            QVERIFY(form.menuSalva_Click());
        }
        const QByteArray onDisk = readBytes(dir.filePath("inglese.txt"));
        if (!button.isEmpty()) // a broken file opens no dialogue
            QTimer::singleShot(0, &form, [button] { clickIn(QApplication::activeModalWidget(), button); });
        platform.fileNames << words;
        control<QAction>(&form, "menuImporta")->trigger();
        QCOMPARE(form.wordListText(), before + added);
        QVERIFY(added.isEmpty() || control<QPlainTextEdit>(&form, "ListaVoci")->textCursor().atEnd());
        QCOMPARE(form.editMode(), !added.isEmpty() || saved);
        QCOMPARE(control<QAction>(&form, "menuSalva")->isEnabled(), !added.isEmpty());
        QCOMPARE(platform.shown.size(), int(!added.isEmpty() || button.isEmpty())); // a broken file is told
        QCOMPARE(readBytes(dir.filePath("inglese.txt")), onDisk); // nothing written before the save
        // An export now takes the words as the list shows them, imported ones too.
        QTimer::singleShot(0, &form, [] { clickIn(QApplication::activeModalWidget(), "Command1"); });
        platform.fileNames << dir.filePath("out.csv");
        control<QAction>(&form, "menuEsporta")->trigger();
        QCOMPARE(
            readBytes(dir.filePath("out.csv")).count('\n'), 2 + typed + added.count("\r\n")); // header, cat
        QVERIFY(added.isEmpty()
            || (form.menuSalva_Click()
                && Vocabulary::decode(readBytes(dir.filePath("inglese.txt"))).endsWith(added + "\r\n")));
    }

    // The export of what the list shows: the dialogue's choices, the file's name, what is told; a file is
    // replaced only when the user says so, and never one of the program's own.
    void exportWords_data()
    {
        QTest::addColumn<QString>("clicks"); // in the dialogue, ending with Esporta or Annulla
        QTest::addColumn<QString>("names"); // typed in the file dialogues, in turn
        QTest::addColumn<QString>("told"); // how the messages begin; %1 is the folder
        QTest::addColumn<QByteArray>("written"); // to the file named last
        const QByteArray csv
            = "\xEF\xBB\xBFlezione,critica,inglese,italiano\r\n1,c,dog,cane\r\n3,c,cat,gatto\r\n";
        const QString left
            = "\r\n\r\nNon sono uscite, perché il salvataggio non le accetterebbe:\r\n"
              "  Riga 3: usa male le parentesi\r\n  Riga 4: ha un numero di lezione non valido: "
              "«33»";
        row("CSV, whole list", "Command1", "parole",
            "Sono state esportate 2 parole nel file %1/parole.csv." + left, csv);
        row("TSV, lesson 3", "OptTsv OptScelte Ckles3 Command1", "gatti.tsv",
            "È stata esportata 1 parola nel file %1/gatti.tsv." + left,
            QByteArray("cat\tgatto\tlezione3 critica\n"));
        row("no lesson ticked", "OptScelte Command1", "",
            "Nessuna parola da esportare: scegli almeno una lezione che ne abbia." + left, QByteArray());
        row("bare name of a file there, kept", "Command1", "vecchio",
            "Il file %1/vecchio.csv esiste già.\r\n\r\nVuoi sostituirlo?", QByteArray("old"));
        row("cancelled", "Command2", "", "", QByteArray());
    }
    void exportWords()
    {
        QFETCH(QString, names);
        QFETCH(QString, told);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("vecchio.csv"), "old"));
        FakePlatform platform;
        platform.answers << Platform::Answer::Cancel; // Escape keeps a file
        for (const QString &name : names.split(u' ', Qt::SkipEmptyParts))
            platform.fileNames << dir.filePath(name);
        Session session;
        session.dataFolder = DataFolder(dir.path());
        QTimer user; // plays the user in the dialogue
        connect(&user, &QTimer::timeout, this, [&, clicks = fetched<QString>("clicks").split(u' ')] {
            if (QWidget *modal = QApplication::activeModalWidget())
                for (const QString &button : clicks)
                    clickIn(modal, button);
        });
        user.start(10);
        const QString list = wordLine(" 1", "c", "dog", "cane\r\n") + "## note\r\n"
            + wordLine(" 3", "", "a) first", "primo\r\n") + wordLine("33", "", "x", "y\r\n")
            + wordLine(" 3", "", "cat", "gatto\r\n");
        CriticalList memoc; // cat was answered late: row 3 of the table, where the comment is a row
        memoc.add(3);
        QCOMPARE(Exchange::listWords(list, &memoc).refused, 2); // the lines that do not go out, counted
        ExchangeWindow::exportWords(nullptr, session, list, &memoc, platform);
        QStringList said;
        for (const FakePlatform::Shown &shown : platform.shown)
            said << shown.text;
        const QStringList expected
            = told.isEmpty() ? QStringList() : QString(told).replace("%1", dir.path()).split(u'|');
        QCOMPARE(said.size(), expected.size());
        for (qsizetype i = 0; i < said.size(); ++i)
            QVERIFY2(said.at(i).startsWith(expected.at(i)), qPrintable(said.at(i)));
        const QString last = names.section(u' ', -1);
        QTEST(readBytes(dir.filePath(QFileInfo(last).suffix().isEmpty() ? last + ".csv" : last)), "written");
        // The first dialogue starts where a first one does, the next where the last file went.
        QVERIFY(platform.fileQuestions.isEmpty()
            || platform.fileQuestions.constFirst().folder == FileChoice::startFolder({}));
        QCOMPARE(FileChoice::startFolder(session.fileFolder), // where the next dialogue starts
            names.isEmpty() ? FileChoice::startFolder({}) : dir.path());
    }

    // The export and the picture save refuse every file of the program, behind a link too (also when it is
    // missing yet), say which, and ask again; the file stays as it was.
    void ownFiles_data()
    {
        QTest::addColumn<int>("file");
        for (int file = 0; file < DataFolder::FileCount; ++file)
            QTest::addRow("%s", DataFolder::name(DataFolder::File(file)).data()) << file;
    }
    void ownFiles()
    {
        QFETCH(int, file);
        QTemporaryDir dir;
        Session session;
        session.dataFolder = DataFolder(dir.path());
        const QString own = session.dataFolder.path(DataFolder::File(file)), link = dir.filePath("link.png");
        QVERIFY(QFile::link(own, link) && (file % 2 || writeBytes(own, "mine")));
        const QByteArray before = readBytes(own);
        FakePlatform platform;
        platform.fileNames << link << QString() << link << QString();
        QTimer::singleShot(
            0, this, [] { clickIn(QApplication::activeModalWidget(), "Command1"); }); // Esporta
        ExchangeWindow::exportWords(nullptr, session, wordLine(" 1", "", "cat", "gatto"), nullptr, platform);
        ResultsWindow results(session, platform);
        results.Command1_Click();
        QCOMPARE(platform.shown.size(), 2);
        for (const FakePlatform::Shown &shown : platform.shown)
            QCOMPARE(shown.text.section(':', 0, 0),
                "Il file " + link + " è uno dei file del programma ("
                    + DataFolder::role(DataFolder::File(file)) + ")");
        QCOMPARE(platform.fileNames.size(), 0); // asked again after each refusal
        QCOMPARE(readBytes(own), before);
    }

    // Without a last folder (or with one gone) a dialogue starts among the documents, else at home.
    void firstFolder()
    {
        QTemporaryDir home;
        const auto restore = qScopeGuard([user = qgetenv("HOME")] { qputenv("HOME", user); });
        qputenv("HOME", QFile::encodeName(home.path()));
        QCOMPARE(FileChoice::startFolder(home.filePath("gone")), home.path());
        QVERIFY(QDir(home.path()).mkdir("Documents"));
        QCOMPARE(FileChoice::startFolder({}), home.filePath("Documents"));
    }
};

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
