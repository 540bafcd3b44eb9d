// Words in from spreadsheets and KVTML files, and out again: what a teacher's
// file turns into in the fixed columns, what is refused, that each format reads
// back the same words, and that an import into the main window waits for the save.
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
#include <QSemaphore>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

using Exchange::Format;

namespace {
// The words of a file as the import's dialogue first proposes them, the file read from the disk as an import
// reads it; why nothing can be imported from it in `refusal`.
QList<Exchange::Word> proposed(const QByteArray &bytes, const QString &name, QString *refusal = nullptr)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath(name), bytes); // a file not written is refused as missing
    const Exchange::ImportSource source = Exchange::readImport(dir.filePath(name));
    if (refusal)
        *refusal = QString(source.refusal).replace(dir.path(), "~");
    if (!source.refusal.isEmpty())
        return {};
    if (const auto &k = source.kvtml)
        return Exchange::kvtmlWords(*k, k->englishLanguage, k->italianLanguage);
    const Exchange::Table &t = *source.table;
    return Exchange::tableWords(t, { t.englishColumn, t.italianColumn, t.lessonColumn, t.criticalColumn });
}

// A row of the import's table: the file (read from a .kvtml file when the tag starts with "KVTML"), its word
// lines and what is named as left out.
void importRow(const char *tag, const QByteArray &bytes, const QString &lines, const QString &left = {})
{
    QTest::newRow(tag) << bytes << lines << left;
}

// Plays the user: once a modal dialogue shows, clicks the buttons named in `clicks` in it, in turn.
void clickWhenShown(QObject *owner, const QString &clicks)
{
    auto *user = new QTimer(owner);
    QObject::connect(user, &QTimer::timeout, [user, clicks] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            user->stop();
            for (const QString &button : clicks.split(u' '))
                clickIn(modal, button);
        }
    });
    user->start(0);
}

// The messages shown, one a line: "!" before a red icon, "?" before a question; the folder `dir` as "~".
QString messages(const FakePlatform &platform, const QTemporaryDir &dir)
{
    QStringList said;
    for (const auto &shown : platform.shown)
        said << QString(shown.icon == Platform::Icon::Stop ? "!" : "")
                + (shown.buttons == Platform::Buttons::YesNo ? "?" : "")
                + QString(shown.text).replace(dir.path(), "~");
    return said.join(u'\n');
}

// Word lines as "lesson field|English|Italian", the English without its padding.
QString summary(const QString &lines)
{
    QStringList rows;
    for (const QString &line : lines.split(Vocabulary::CrLf, Qt::SkipEmptyParts))
        rows.append(line.left(4) + u'|' + line.mid(5, 50).trimmed() + u'|' + line.mid(55));
    return rows.join(u'/');
}

const QByteArray Kvtml
    = "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><locale>it</locale>"
      "</identifier><identifier id=\"1\"><locale>en_GB</locale></identifier>"
      "<identifier id=\"2\"><locale>it</locale></identifier></identifiers>"
      "<entries><entry id=\"0\"><translation id=\"0\"><text>mela</text></translation>"
      "<translation id=\"1\"><grade><errorcount>2</errorcount></grade><text>apple</text>"
      "</translation></entry><entry id=\"1\"><translation id=\"0\"><text>pera</text>"
      "</translation><translation id=\"1\"><text>pe<!-- a note -->ar</text></translation></entry>"
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
        // left: the lines named as left out
        columns<QByteArray, QString, QString>("bytes", "lines", "left");
        const QByteArray utf16
            = QByteArray::fromRawData(reinterpret_cast<const char *>(u"dog,cane\ncity,città\n"), 38);
        QByteArray utf16be;
        for (qsizetype i = 0; i < utf16.size(); i += 2)
            utf16be.append(utf16.at(i + 1)).append(utf16.at(i));
        importRow("semicolons, quotes, line break, Windows-1252, header",
            "Lezione;Inglese;Italiano\r\n3;house;\"casa; dimora\"\r\n"
            "4;\"to go, to leave\";\"andare\r\npartire\"\r\n;why;perch\xe9\r\n",
            " 3  |house|casa; dimora/ 4  |to go, to leave|andare partire/ 5  |why|perché");
        importRow("UTF-8 BOM, LF, English header, other order, no lesson past the last or signed",
            "\xEF\xBB\xBFitalian,lesson,english\ncitt\xC3\xA0,25,town\ngallina,+7,hen\n",
            " 5  |town|città/ 5  |hen|gallina");
        importRow("no header, CR, blanks, blank row", "dog, cane\r ,\r \"good, fine\" ,buono\r",
            " 5  |dog|cane/ 5  |good, fine|buono");
        importRow("flash-card tabs, lesson tags", "cat\tgatto\tlezione_7 critica\nhen\tgallina\tlesson2\n",
            " 7 c|cat|gatto/ 2  |hen|gallina");
        importRow("column names and tags as words",
            "english\tinglese\tlezione3\ncriticism\tcritica\tlezione3 critica\n4\tquattro\t\n",
            " 3  |english|inglese/ 3 c|criticism|critica/ 5  |4|quattro");
        importRow("Italian first, and named again", "italiano,lezione,x,italian\ncasa,2,house,z\n",
            " 2  |house|casa");
        importRow(
            "one column name is a word", "english,casa\nhen,gallina\n", " 5  |english|casa/ 5  |hen|gallina");
        importRow("a number and a word make no lesson column", "dog,cane,3\ncat,gatto,x\n",
            " 5  |dog|cane/ 5  |cat|gatto");
        importRow("lessons all 0, then numbers", "0,1,uno\n0,2,due\n", " 0  |1|uno/ 0  |2|due");
        importRow("a comment of this program alone is a table", "## a,b\n", " 5  |## a|b");
        importRow("a tag with letters after its number is a word",
            "cat\tgatto\tlezione7x\nhen\tgallina\tlezione2\n", " 5  |cat|gatto/ 5  |hen|gallina");
        importRow("numbers, tags, a blank", "4\tquattro\tlezione3\t\n", " 3  |4|quattro");
        const QString kiwi = "Riga 5: manca l'italiano di «kiwi»", // an empty entry is no word
            cannot = " che il file dei vocaboli non può scrivere";
        // tail: 4 MiB of blank lines after the document, past the first piece of the reading
        importRow(
            "KVTML: Italian first and third, lessons by name and place, nested, a comment, errors, tail",
            Kvtml + QByteArray(UserFile::PieceBytes, '\n'), " 1 c|apple|mela/ 5  |pear|pera/ 1  |plum|prugna",
            kiwi);
        const qsizetype entries = Kvtml.indexOf("<entries>"), lessons = Kvtml.indexOf("<lessons>");
        importRow("a KVTML file not named .kvtml, the lessons before the entries, a language before English",
            "<?xml version=\"1.0\"?>"
                + Kvtml.first(entries).replace("</identifier><identifier id=\"1\">",
                    "</identifier><identifier id=\"5\"><locale>de</locale></identifier><identifier id=\"1\">")
                + Kvtml.sliced(lessons).replace("</kvtml>", Kvtml.sliced(entries, lessons - entries))
                + "</kvtml>",
            " 1 c|apple|mela/ 5  |pear|pera/ 1  |plum|prugna", kiwi);
        const QByteArray lines = QByteArray(Kvtml).replace("<entries>", "\n\n<entries>");
        const QString broken = "Il file KVTML è rovinato alla riga 3: non si importa nulla.",
                      notKvtml = "Il file non è un file di vocaboli KVTML.";
        importRow(
            "KVTML: a tag never closed", QByteArray(lines).replace("</entries>", "</entrie>"), "", broken);
        importRow("KVTML: cut short", lines.first(lines.indexOf("</entries>")), "", broken);
        importRow("KVTML: another kind of XML", "<html><kvtml version=\"2.0\"/></html>", "", notKvtml);
        importRow("KVTML: not XML", "cat <kvtml/>", "", notKvtml);
        importRow("KVTML: the old format", "<kvtml version=\"1.0\"><e><o>cat</o></e></kvtml>", "",
            "Il file è nel vecchio formato KVTML: si leggono solo i file KVTML 2.0.");
        importRow("KVTML: no language", "<kvtml version=\"2.0\"></kvtml>", "",
            "Il file non dichiara nessuna lingua: non ci sono parole da importare.");
        const QByteArray german = "<identifier id=\"9\"><locale>de</locale></identifier>";
        importRow("KVTML: 16 languages offered, the first declared",
            "<kvtml version=\"2.0\"><identifiers>" + german.repeated(15)
                + "<identifier id=\"0\"><locale>en</locale></identifier><identifier "
                  "id=\"1\"><locale>it</locale>"
                  "</identifier></identifiers><entries><entry><translation "
                  "id=\"0\"><text>dog</text></translation>"
                  "<translation id=\"1\"><text>cane</text></translation><translation "
                  "id=\"9\"><text>Hund</text>"
                  "</translation></entry></entries></kvtml>",
            " 5  |dog|Hund");
        importRow("KVTML: one language, its long name cut, a locale of 24 characters whole",
            "<kvtml version=\"2.0\"><identifiers><identifier><name>" + QByteArray(99, 'a')
                + "</name><locale>\n  en" + QByteArray(22, 'x')
                + "\n</locale></identifier></identifiers></kvtml>",
            "",
            "Il file contiene le parole di una sola lingua (" + QString(24, 'a') + "... (en"
                + QString(22, 'x') + ")): per importare ci vogliono l'inglese e l'italiano.");
        importRow("KVTML: one language, without a name",
            "<kvtml version=\"2.0\"><identifiers><identifier/></identifiers></kvtml>", "",
            "Il file contiene le parole di una sola lingua (Lingua 1): per importare ci vogliono l'inglese e "
            "l'italiano.");
        importRow("KVTML in Windows-1252 past 4 MiB, read as UTF-8 first; the first of two English",
            "<kvtml version=\"2.0\"><identifiers><identifier id=\"0\"><name>Inglese</name></identifier>"
            "<identifier id=\"1\"><locale>en</locale></identifier></identifiers><entries>"
                + QByteArray(UserFile::PieceBytes, ' ')
                + "<entry><translation id=\"0\"><text>why</text></translation><translation "
                  "id=\"1\"><text>perch\xe9"
                  "</text></translation></entry></entries></kvtml>",
            " 5  |why|perché");
        importRow("KVTML: no language named, the entries past 4 MiB",
            QByteArray(Kvtml)
                .replace("<locale>it</locale>", "")
                .replace("en_GB", "de")
                .replace("<entries>", "<entries>" + QByteArray(UserFile::PieceBytes, ' ')),
            " 1 c|mela|apple/ 5  |pera|pear/ 1  |prugna|plum", "Riga 5: manca l'inglese di «kiwi»");
        importRow("UTF-16 LE without BOM", utf16, " 5  |dog|cane/ 5  |city|città");
        importRow("UTF-16 BE without BOM", utf16be, " 5  |dog|cane/ 5  |city|città");
        const QString broken16
            = "Il file\r\n~/words\r\ndichiara di essere UTF-8 o UTF-16, ma contiene byte che non "
              "lo sono: salvalo di nuovo dal tuo editor.";
        importRow("UTF-16 without BOM, a byte short", utf16.chopped(1), "", broken16);
        importRow("UTF-16 with BOM, a byte short", "\xFF\xFE" + utf16.chopped(1), "", broken16);
        importRow("a pair across two pieces of the parser",
            QByteArray((1 << 20) - 1, '\n') + "\xF0\x9F\x98\x81,sorriso\n", "",
            "Riga 1: «\U0001F601» ha il carattere «\U0001F601»" + cannot);
        importRow("the separator that fits most of 40 rows",
            QByteArray("a;b,c\n").repeated(39) + "d,e\nf;g\n",
            QStringList(39, " 5  |a;b|c").join(u'/') + "/ 5  |d|e", "Riga 41: manca l'italiano di «f;g»");
        importRow("a tie goes to the semicolon", "a;b,c\n", " 5  |a|b,c");
        importRow("16 columns", "cat,gatto" + QByteArray(13, ',') + ",lezione3,lezione4\n", " 3  |cat|gatto");
        importRow("five characters: no word line, one column", " 7 c \n", "",
            "Nel file non ci sono due colonne (inglese e italiano) separate da virgola, punto e virgola o "
            "tabulazione.");
        importRow("ten rows of two cells", QByteArray("cat,gatto\n").repeated(10),
            QStringList(10, " 5  |cat|gatto").join(u'/'));
        importRow("a half of a UTF-16 pair first, then a whole pair",
            QByteArray("\0\xD8=\xD8\x01\xDE,\0d\0\n\0a\0,\0b\0", 18), " 5  |a|b",
            "Riga 1: «\ufffd\U0001F601» ha un carattere illeggibile (U+FFFD)" + cannot);
        importRow("title and author before the table",
            "Title:,Animali\r\nAuthor:,Maestra\r\n ,;\t\r\nsmile :),sorriso\r\ncat,gatto\r\n",
            " 5  |cat|gatto", "Riga 4: «smile :)» / «sorriso» usa male le parentesi");
        importRow("a quoted title", "\"Title:\",\"Animali\"\rcat,gatto\r\n", " 5  |cat|gatto");
        importRow("a date above the words without a title is a word", "Date:,oggi\r\ncat,gatto\r\n",
            " 5  |Date:|oggi/ 5  |cat|gatto");
        importRow("a word that reads like a title", "Author: Maestra\nTitle: Mr\tsignore\tlezione2\n",
            " 2  |Title: Mr|signore");
        // Whether a file is a vocabulary of this program: its first lines alone tell.
        const QByteArray cat = Vocabulary::encode(wordLine(" 1", "", "cat", "gatto\n"));
        importRow("a line not of words before words", "dog,cane\n" + cat, " 5  |dog|cane",
            "Riga 2: manca l'italiano di «" + QString(cat).trimmed() + "»");
        importRow("a line not of words past the first 50", cat.repeated(50) + "dog,cane\n",
            QStringList(50, " 1  |cat|gatto").join(u'/'),
            "Riga 51: «ane» / «» ha un numero di lezione non valido: «do»");
        importRow("another vocabulary of this program, LF, comments, lines without a lesson number",
            Vocabulary::encode("## classe 2\n 7   a\n" + wordLine("12", "x", "house", "casa (dimora)\n")
                + wordLine(" 3", "", "to run (away", "correre\n") + wordLine("25", "", "dog", "cane\n")
                + wordLine("xx", "", "cat", "gatto\n") + wordLine(" 0", "", "why", "perché")),
            "12 c|house|casa (dimora)/ 0  |why|perché",
            "Riga 2: manca l'italiano di «a»|Riga 4: «to run (away» / «correre» usa male le parentesi|"
            "Riga 5: «dog» / «cane» ha un numero di lezione non valido: «25»|"
            "Riga 6: «cat» / «gatto» ha un numero di lezione non valido: «xx»");
    }
    void import()
    {
        QString refusal;
        const bool kvtml = QString(QTest::currentDataTag()).startsWith("KVTML");
        Exchange::Lines lines = Exchange::wordLines(
            proposed(fetched<QByteArray>("bytes"), kvtml ? "words.kvtml" : "words", &refusal), 5, 0);
        QTEST(summary(lines.text), "lines");
        QTEST((refusal.isEmpty() ? lines.problems : QStringList { refusal }).join(u'|'), "left");
    }

    // The messages name the first 20 lines left out (of an import, of an export) and count the rest.
    void limits()
    {
        for (const auto &[count, end] :
            { std::pair { 20, "" }, { 21, "\r\n  ... e un'altra" }, { 22, "\r\n  ... e altre 2" } }) {
            const QList<Exchange::Word> words(count, { "", "b", 3, false, 20 });
            const QString told = Exchange::importMessage(Exchange::wordLines(words, 0, 0));
            QVERIFY2(told.endsWith("Riga 20: manca l'inglese di «b»" + QString(end)), qPrintable(told));
            const Exchange::ListWords list
                = Exchange::listWords(wordLine("xx", "", "a", "b\r\n").repeated(count), nullptr);
            QVERIFY(Exchange::listed("", list.problems, list.refused)
                        .endsWith("Riga 20: ha un numero di lezione non valido: «xx»" + QString(end)));
        }
        // A file longer than the list can take: what fits goes in, the rest is counted.
        for (const QByteArray &bytes :
            { QByteArray("lezione,inglese,italiano\n1,dog,cane\n\n2,cat,gatto\n3,hen,gallina\n"),
                Vocabulary::encode(wordLine(" 1", "", "dog", "cane\n## 2\n\n")
                    + wordLine(" 2", "", "cat", "gatto\n") + wordLine(" 3", "", "hen", "gallina")) }) {
            const Exchange::Lines lines
                = ExchangeWindow(Exchange::readTable(bytes)).lines(WordTable::MaxRows - 2);
            QCOMPARE(summary(lines.text), " 1  |dog|cane/ 2  |cat|gatto");
            QVERIFY(Exchange::importMessage(lines).endsWith(
                "  1 parola oltre le 32767 righe che l'elenco può tenere"));
        }
    }

    // The preview shows the first rows of words, comments left out, and follows every change of the columns.
    void preview()
    {
        const QByteArray csv = "lezione,inglese,italiano\n" + QByteArray("1,dog,cane\n").repeated(60),
                         mine = Vocabulary::encode("## classe 2\n" + wordLine("xx", "c", "hen", "gallina\n")
                             + wordLine("12", "c", "hen", "gallina\n").repeated(59));
        for (const int limit : { 0, 3 }) // the words that the preview asks for, no more
            QCOMPARE(Exchange::tableWords(Exchange::readTable(csv), { 1, 2, 0, -1 }, limit).size(), limit);
        const auto first = [](const ExchangeWindow &dialog) {
            const auto *shown = control<QTableWidget>(&dialog, "Anteprima");
            QStringList cells;
            for (int c = 0; c < shown->columnCount(); ++c)
                cells << (shown->item(0, c) ? shown->item(0, c)->text() : "-");
            return cells.join('|');
        };
        // A vocabulary of this program: comments left out, a lesson field that leaves its line out shown as
        // it is.
        QCOMPARE(first(ExchangeWindow(Exchange::readTable(mine))), "xx|c|hen|gallina");
        ExchangeWindow dialog(Exchange::readTable(QByteArray(csv).replace("1,", "2,")));
        // Every choice shows at once in the preview's first row: lesson, mark, English, Italian.
        for (const auto &[name, property, value, shown] :
            { std::tuple { "Inglese", "currentIndex", 2, "2||cane|cane" },
                { "Italiano", "currentIndex", 0, "2||cane|2" },
                { "ColonnaLezione", "currentIndex", 0, "1||cane|2" }, { "Lezione", "value", 7, "7||cane|2" },
                { "Intestazione", "checked", 0, "7||italiano|lezione" } }) {
            control(&dialog, name)->setProperty(property, value);
            QCOMPARE(first(dialog), shown);
        }
        ExchangeWindow header(Exchange::readTable("a,b"));
        control<QCheckBox>(&header, "Intestazione")->click(); // no word left: the preview empty
        QVERIFY(!control<QTableWidget>(&header, "Anteprima")->item(0, 2));
        // A KVTML file offers languages: no lesson column, no header row.
        QVERIFY(!ExchangeWindow(Exchange::readKvtml(Kvtml)).findChild<QComboBox *>("ColonnaLezione"));
    }

    // One word through each format and back, and through the import's line rules into a list that holds
    // "aaa...a / b" (50 letters a): each format gives the word back (a TSV cell on one line), and its word
    // line reads back as a save reads it, or the word is named as left out; the red icon only when nothing
    // went in for a word named.
    void oneWord_data()
    {
        // told: how the import's message ends when the word does not go in
        columns<QString, QString, QString>("english", "italian", "told");
        const QString a50(50, u'a'), tooLong = "Riga 1: «" + a50 + "x» è più lunga di 50 caratteri",
                                     cannot = " che il file dei vocaboli non può scrivere";
        row("quotes", "say \"hi\"", "\"ciao\", disse", "");
        row("separators", "a,b;c", "x\ty", "");
        row("line breaks in a cell", "to go\r\naway", "andare\nvia\r", "");
        row("Italian letters, the euro sign", "why", "perché è città, 3 €", "");
        row("blanks around", " house ", "casa  ", "");
        row("markup", "<b>&amp;</b>", "]]> &lt;",
            "Riga 1: «<b>&amp;</b>» / «]]> &lt;» usa male le parentesi");
        row("beyond Windows-1252", "cat \U0001F408", "\u043a\u043e\u0442",
            "Riga 1: «cat \U0001F408» ha il carattere «\U0001F408»" + cannot);
        row("Cyrillic", "cat", "\u043a\u043e\u0442",
            "Riga 1: «\u043a\u043e\u0442» ha il carattere «\u043a»" + cannot);
        row("lone half of a pair, in no file", "ab", QChar(0xDC00) + QString("x"),
            QString("Riga 1: «") + QChar(0xDC00) + "x» ha un carattere illeggibile (U+DC00)" + cannot);
        row("50 columns fit, the same English as a word in the list", a50, "c", "");
        row("English of 51", a50 + u'x', "b", tooLong);
        row("Italian of 51", a50, a50 + u'x', tooLong);
        row("no English", "  ", "casa", "Riga 1: manca l'inglese di «casa»");
        row("no Italian", "house", "", "Riga 1: manca l'italiano di «house»");
        row("already in the list, in another lesson, left out", " " + a50, "b ",
            "Nessuna parola è stata aggiunta all'elenco.\r\n\r\n1 parola era già nell'elenco ed è rimasta "
            "fuori.");
    }
    void oneWord()
    {
        QFETCH(QString, told);
        const Exchange::Word word { fetched<QString>("english"), fetched<QString>("italian"), MaxLesson, true,
            1 };
        const Exchange::Word flat { word.english.simplified(), word.italian.simplified(), MaxLesson, true,
            1 };
        for (const auto &[format, suffix] :
            { std::pair { Format::Csv, "csv" }, { Format::Tsv, "tsv" }, { Format::Kvtml, "kvtml" } }) {
            const QByteArray bytes = Exchange::write(format, { word });
            QCOMPARE(Exchange::suffix(format), suffix);
            QVERIFY(format != Format::Kvtml // a critical word: tested once, wrong once
                || (bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
                    && bytes.simplified().contains("<grade> <count>1</count> <errorcount>1</errorcount>")
                    && bytes.count("<identifier ") == 2));
            QVERIFY2(!word.italian.isValidUtf16() // a text that is not whole UTF-16 has no form in a file
                    || proposed(bytes, "words." + Exchange::suffix(format))
                        == QList { format == Format::Tsv ? flat : word },
                bytes.constData());
        }
        const QString a50(50, u'a'); // a comment that reads as a50 / c is no word of the list
        const Exchange::KnownWords known(wordLine(" 1", "", a50, "b\r\n") + wordLine("##", "", a50, "c\r\n"));
        Exchange::LineMaker maker(0, 0, &known, true);
        maker.add(word);
        const QString message = Exchange::importMessage(maker.lines());
        QVERIFY2(message.endsWith(told), qPrintable(message));
        QCOMPARE(Exchange::listWords(maker.lines().text, nullptr).words,
            told.isEmpty() ? QList { flat } : QList<Exchange::Word>());
        QCOMPARE(Exchange::importIcon(maker.lines()) == Platform::Icon::Stop,
            message.contains("Non sono entrate"));
    }

    // A file is read on a thread of its own under the hourglass, while the windows go on painting.
    void offThread()
    {
        QSemaphore painted;
        bool busy = false;
        QTimer::singleShot(0, this, [&] {
            busy = QApplication::overrideCursor();
            painted.release();
        });
        QVERIFY(ExchangeWindow::offThread([&painted] { return painted.tryAcquire(1, 10000); }));
        QVERIFY(busy && !QApplication::overrideCursor());
    }

    // Into the main window: the words land at the end of the list, which opens for editing with the caret
    // after them, and reach the file only through "Salva Aggiornamenti". Words already in the list (cat /
    // gatto) go in again only if the user says so.
    void intoList_data()
    {
        // button: of the dialogue
        // answer: to the question about words already in the list: Y, N, C (Escape)
        // said: the messages ("!" before a red icon, "?" before a question); the list (as lesson|English|
        // Italian), "edit" in edit mode, "save" with "Salva Aggiornamenti" on, "end" with the caret at the
        // end, the lines of an export then; the vocabulary file after "Salva Aggiornamenti", if on
        columns<QByteArray, QString, QString, QString>("file", "button", "answer", "said");
        const QString thanks = " in fondo all'elenco. Per tenerle, salvale con \"Salva Aggiornamenti\".",
                      cat = "?1 parola di questo file è già nell'elenco, con lo stesso inglese e lo stesso "
                            "italiano (in qualunque lezione).\r\n\r\nAggiungerla lo stesso?\r\n(No: resta "
                            "fuori e l'elenco non la ripete)\n";
        const QByteArray again = "lezione,inglese,italiano\r\n20,cat,gatto\r\n20,cat,gatta\r\n";
        row("spreadsheet, after a last line typed without a line end",
            QByteArray("inglese;italiano\r\ndog;cane\r\nbird;\r\n"), "Command1", "",
            "È stata aggiunta 1 parola" + thanks
                + "\r\n\r\nNon sono entrate:\r\n  Riga 3: manca l'italiano di «bird»\n"
                  "Sono state esportate 3 parole nel file ~/out.csv.\n"
                  " 1  |cat|gatto/ 2  |hen|gallina/ 1  |dog|cane edit save end 4\n"
                  "## m|ne|/ 1  |cat|gatto/ 2  |hen|gallina/ 1  |dog|cane");
        row("KVTML, after a save in edit mode", Kvtml, "Command1", "",
            "Sono state aggiunte 3 parole" + thanks
                + "\r\n\r\nNon sono entrate:\r\n  Riga 5: manca l'italiano di «kiwi»\n"
                  "Sono state esportate 4 parole nel file ~/out.csv.\n"
                  " 1  |cat|gatto/ 1 c|apple|mela/ 1  |pear|pera/ 1  |plum|prugna edit save end 5\n"
                  "## m|ne|/ 1  |cat|gatto/ 1 c|apple|mela/ 1  |pear|pera/ 1  |plum|prugna");
        row("cancelled", QByteArray("dog,cane\r\n"), "Command2", "",
            "È stata esportata 1 parola nel file ~/out.csv.\n 1  |cat|gatto 2");
        row("broken KVTML", QByteArray("<kvtml version=\"2.0\"><"), "", "",
            "!Il file KVTML è rovinato alla riga 1: non si importa nulla.\n"
            "È stata esportata 1 parola nel file ~/out.csv.\n 1  |cat|gatto 2");
        row("a word already in the list, in another lesson, left out", again, "Command1", "N",
            cat + "È stata aggiunta 1 parola" + thanks
                + "\r\n\r\n1 parola era già nell'elenco ed è rimasta fuori.\n"
                  "Sono state esportate 2 parole nel file ~/out.csv.\n"
                  " 1  |cat|gatto/20  |cat|gatta edit save end 3\n## m|ne|/ 1  |cat|gatto/20  |cat|gatta");
        row("a word already in the list, added again", again, "Command1", "Y",
            cat + "Sono state aggiunte 2 parole" + thanks
                + "\nSono state esportate 3 parole nel file ~/out.csv.\n"
                  " 1  |cat|gatto/20  |cat|gatto/20  |cat|gatta edit save end 4\n"
                  "## m|ne|/ 1  |cat|gatto/20  |cat|gatto/20  |cat|gatta");
        row("a word already in the list, Escape: nothing imported", again, "Command1", "C",
            cat + "È stata esportata 1 parola nel file ~/out.csv.\n 1  |cat|gatto 2");
    }
    void intoList()
    {
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        FakePlatform platform;
        platform.folder = dir.path();
        for (const QChar answer : fetched<QString>("answer")) // C, Y, N: Cancel, Yes, No
            platform.answers << Platform::Answer(QString("OCYN").indexOf(answer));
        Session session;
        MainWindow form(session, platform);
        auto *list = control<QPlainTextEdit>(&form, "ListaVoci");
        const QString words = dir.filePath("words"), vocabulary = dir.filePath("inglese.txt");
        QVERIFY(
            writeBytes(vocabulary, Vocabulary::encode("## mine\r\n" + wordLine(" 1", "", "cat", "gatto\r\n")))
            && writeBytes(words, file));
        QVERIFY(form.Form_Load());
        if (file.startsWith("inglese;")) {
            form.menuModifica_Click();
            list->moveCursor(QTextCursor::End);
            list->insertPlainText(wordLine(" 2", "", "hen", "gallina"));
        }
        if (file == Kvtml) { // saved in edit mode before the import
            form.menuModifica_Click();
            QVERIFY(form.menuSalva_Click());
        }
        const QByteArray onDisk = readBytes(vocabulary);
        if (const QString button = fetched<QString>("button"); !button.isEmpty())
            clickWhenShown(&form, button); // once the file is read
        platform.fileNames << words << dir.filePath("out.csv");
        press(&form, "menuImporta");
        QCOMPARE(readBytes(vocabulary), onDisk); // nothing written before the save
        // An export now takes the words as the list shows them, imported ones too.
        clickWhenShown(&form, "Command1");
        press(&form, "menuEsporta");
        QStringList said { messages(platform, dir) };
        const bool save = control<QAction>(&form, "menuSalva")->isEnabled();
        said << summary(form.wordListText()) + (form.editMode() ? " edit" : "") + (save ? " save" : "")
                + (list->textCursor().atEnd() ? " end " : " ")
                + QString::number(readBytes(dir.filePath("out.csv")).count('\n'));
        if (save && form.menuSalva_Click())
            said << summary(Vocabulary::decode(readBytes(vocabulary)));
        QTEST(said.join(u'\n'), "said");
    }

    // The export of what the list shows: the dialogue's choices, the file's name, what is told; a file is
    // replaced only when the user says so, and never one of the program's own.
    void exportWords_data()
    {
        // clicks: in the dialogue, ending with Esporta or Annulla
        // names: typed in the file dialogues, in turn
        // told: the messages, as messages() gives them
        // written: to the file named last
        columns<QString, QString, QString, QByteArray>("clicks", "names", "told", "written");
        const QByteArray csv
            = "\xEF\xBB\xBFlezione,critica,inglese,italiano\r\n1,c,dog,cane\r\n3,c,cat,gatto\r\n";
        const QString left
            = "\r\n\r\nNon sono uscite, perché il salvataggio non le accetterebbe:\r\n"
              "  Riga 3: usa male le parentesi\r\n  Riga 4: ha un numero di lezione non valido: "
              "«33»";
        row("CSV, whole list", "Command1", "parole",
            "!Sono state esportate 2 parole nel file ~/parole.csv." + left, csv);
        row("TSV, lesson 3", "OptTsv OptScelte Ckles3 Command1", "gatti.tsv",
            "!È stata esportata 1 parola nel file ~/gatti.tsv." + left,
            QByteArray("cat\tgatto\tlezione3 critica\n"));
        row("KVTML, bare name", "OptKvtml Command1", "parole",
            "!Sono state esportate 2 parole nel file ~/parole.kvtml." + left, QByteArray()); // no .csv
        row("no lesson ticked", "OptScelte Command1", "",
            "Nessuna parola da esportare: scegli almeno una lezione che ne abbia." + left, QByteArray());
        row("bare name of a file there, kept", "Command1", "vecchio",
            "?Il file ~/vecchio.csv esiste già.\r\n\r\nVuoi sostituirlo?", QByteArray("old"));
        row("cancelled", "Command2", "", "", QByteArray());
    }
    void exportWords()
    {
        QFETCH(QString, names);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath("vecchio.csv"), "old"));
        FakePlatform platform;
        platform.answers << Platform::Answer::Cancel; // Escape keeps a file
        for (const QString &name : names.split(u' ', Qt::SkipEmptyParts))
            platform.fileNames << dir.filePath(name);
        Session session;
        session.dataFolder = DataFolder(dir.path());
        clickWhenShown(this, fetched<QString>("clicks"));
        const QString list = wordLine(" 1", "c", "dog", "cane\r\n") + "## note\r\n"
            + wordLine(" 3", "", "a) first", "primo\r\n") + wordLine("33", "", "x", "y\r\n")
            + wordLine(" 3", "", "cat", "gatto\r\n");
        CriticalList memoc; // cat was answered late: row 3 of the table, where the comment is a row
        memoc.add(3);
        ExchangeWindow::exportWords(nullptr, session, list, &memoc, platform);
        QTEST(messages(platform, dir), "told");
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
        columns<int, QString>("file", "role"); // role: the file as the refusal names it
        const QStringList roles { "i vocaboli", "le istruzioni", "il registro delle prove",
            "la memoria del ripasso", "il registro del ripasso", "la copia della memoria del ripasso" };
        for (int file = 0; file < DataFolder::FileCount; ++file)
            QTest::addRow("%s", DataFolder::name(DataFolder::File(file)).data()) << file << roles.value(file);
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
        clickWhenShown(this, "Command1"); // Esporta
        ExchangeWindow::exportWords(nullptr, session, wordLine(" 1", "", "cat", "gatto"), nullptr, platform);
        ResultsWindow results(session, platform);
        results.Command1_Click();
        const QString refused = "!Il file ~/link.png è uno dei file del programma ("
            + fetched<QString>("role") + "): scrivendoci sopra lo perderesti.\r\n\r\nScegli un altro nome.";
        QCOMPARE(messages(platform, dir), refused + '\n' + refused);
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
