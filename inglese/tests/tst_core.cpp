// The vocabulary trainer's logic without a window: the vocabulary file, the word selection and its draw, the
// accepted answers, the drill's scoring and the exit log read back.
#include "answers.h"
#include "drill.h"
#include "fixture.h"
#include "mainrules.h"
#include "optionschoice.h"
#include "session.h"
#include "sessionlog.h"
#include "speechstatus.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QTemporaryDir>

using namespace Vocabulary;
using L = QList<int>;
using S = QStringList;

namespace {
// Rows "lesson|English|Italian" between slashes, padded as the file's columns are (a lesson alone: no words).
WordTable words(const QString &rows)
{
    WordTable t;
    for (const QString &r : rows.split(u'/', Qt::SkipEmptyParts))
        t.append(r.section(u'|', 0, 0), r.section(u'|', 1, 1), r.section(u'|', 2).leftJustified(50));
    return t;
}

CriticalList critical(const L &rows)
{
    CriticalList memoc;
    for (int w : rows)
        memoc.add(w);
    return memoc;
}

// Order 0 keeps the options as the window first shows them; else `ticked` boxes (0 is "Tutte").
SelectionOptions choose(int order, const L &ticked)
{
    SelectionOptions o;
    if (order == 0)
        return o;
    o.order = OrderMode(order);
    o.Ckles[0] = false;
    for (int k : ticked)
        o.Ckles[std::size_t(k)] = true;
    return o;
}

const QString Words
    = " 1|house|casa (abitazione, dimora)/ 1|light|luce/ 1|light|leggero/ 1|dress|vestito [m.]/"
      " 1|to walk|camminare/ 1|a|a/ 1|rainfall|precipitazione/ 1|mile|miglio/ 1|what|che cosa ?/"
      " 1|(to) run|correre/ 1|dog|(il) cane";

// A drill over the Words, every one selected, forward.
struct Drilling
{
    Session session;
    FakePlatform platform;
    Drill drill;
    explicit Drilling(Direction direction = Direction::EnglishToItalian)
        : drill(session, platform, direction)
    {
        session.words = words(Words);
        session.selection.options.order = Forward;
        session.selection.buildSelection(session.words, session.memoc);
        drill.load();
    }
    bool ask(int word) // "Via!" asking `word`
    {
        session.selection.pendingWord = 0;
        session.selection.selectionPos = word;
        return drill.start();
    }
};
} // namespace

class TestCore : public QObject
{
    Q_OBJECT

private slots:
    // Stage one sets comments aside and drops empty lines; a last line without
    // CR LF counts only from three characters on.
    void firstStage_data()
    {
        columns<QString, QString, QString>("file", "comments", "words");
        row("last line «ab» without CR LF is lost", "12 xyz\r\nab", "", "12 xyz\r\n");
        row("last line «abc» without CR LF is kept", "12 xyz\r\nabc", "", "12 xyz\r\nabc\r\n");
        row("short last line with CR LF is kept", "12 xyz\r\nab\r\n", "", "12 xyz\r\nab\r\n");
        row("comments anywhere, one hash is a word", "## top\r\n1 a\r\n## mid\r\n# x\r\n## end\r\n",
            "## top\r\n## mid\r\n## end\r\n", "1 a\r\n# x\r\n");
        row("a last empty line goes", "1 a\r\n\r\n", "", "1 a\r\n");
        row("empty lines go, lone LF kept", "\r\n1 a\nb\r\n\r\n\r\n2 b\r\n\r\n", "", "1 a\nb\r\n2 b\r\n");
    }
    void firstStage()
    {
        const FileText split = splitFileText(fetched<QString>("file"));
        QTEST(split.comments, "comments");
        QTEST(split.wordText, "words");
        const FileText again = splitFileText(saveText(split.comments, split.wordText));
        QCOMPARE(again.comments + again.wordText, split.comments + split.wordText);
    }

    // Stage two: the fixed columns, the bracket rule (one kind of bracket per
    // side, opened and closed) and the critical marks.
    void secondStage_data()
    {
        // line: lesson|mark|English|Italian, laid out in the file's columns, or a line as it is
        // fields: lesson and mark|lesson|English|Italian|rows, then the critical words (a left-out line moves
        // the next row's key up); empty: left out
        columns<QString, QString>("line", "fields");
        row("critical word line", "12|c|house|casa (abitazione)", "12 c|12|house|casa (abitazione)|3 1 2");
        row("«x» marks like «c»", " 7|x|house|casa", " 7 x| 7|house|casa|3 1 2");
        row("columns after 105 ignored", "01||ab|" + QString(50, 'b') + "tail",
            "01  |01|ab|" + QString(50, 'b') + "|3 2");
        row("short line, short fields", "5   tree", "5   |5 |ree||3 2");
        row("brackets of both sides", "1||run (away)|fuggire [verbo]",
            "1   |1 |run (away)|fuggire [verbo]|3 2");
        row("order of brackets does not count", "1||x )(|y", "1   |1 |x )(|y|3 2");
        row("a bracket alone at the line's end", "1    (", "");
        row("open parenthesis only", "1|c|to run (away|scappare", "");
        row("open square bracket only", "1|c|to run|correre [verbo", "");
        row("both kinds on one side", "1||set (put) [verb]|mettere", "");
        row("both kinds, Italian", "1||set|mettere (porre) [verbo]", "");
    }
    void secondStage()
    {
        const S given = fetched<QString>("line").split('|');
        const QString line = given.size() == 4 ? wordLine(given[0], given[1], given[2], given[3]) : given[0];
        QFETCH(QString, fields);
        FakePlatform platform;
        WordTable t;
        CriticalList memoc;
        QVERIFY(parseWordList("1   first\r\n" + line + "\r\n" + wordLine("2", "c", "b", "c") + "\r\n", t,
            memoc, false, platform));
        QString got = S { t.lessonField(1), t.lessonText(1).toString(), t.english(1).trimmed().toString(),
            t.italian(1).toString(), QString::number(t.count()) }
                          .join('|');
        for (int w : memoc.words())
            got += ' ' + QString::number(w);
        QCOMPARE(got, fields.isEmpty() ? "2  c|2 |b|c|2 1" : fields);
        QCOMPARE(platform.shown.value(0).title + platform.shown.value(0).text.section('\r', 0, 2),
            fields.isEmpty()
                ? BadLineTitle + "La Riga numero 2 usa male le parentesi\r\n\r\n  Lezione = " + line.left(4)
                : QString());
    }

    // A save never writes what the next start-up would refuse; the first faulty line is named.
    void checkBeforeSave_data()
    {
        // says: part of the message, none when the text can be saved
        columns<QString, QString>("text", "says");
        const QString bad = "ha un numero di lezione non valido: ";
        row("empty and comment lines pass", "1    x\r\n\r\n## note\r\n1    x\r\n", "");
        row("Windows-1252 letters and the euro", "20   price     prezzo è €\r\n", "");
        row("lesson past the last", "1    x\r\n21   a\r\n", "numero 2 " + bad + "«21»");
        row("last line without line end", "1    x\r\nx",
            "«x»\r\nNelle colonne 1-2 ci vuole un numero da 0 a 20.");
        row("emoji named whole", "1    x\r\n2    smile \U0001F600 sorriso\r\n",
            "numero 2 contiene un carattere che il file non può conservare: «\U0001F600» (U+1F600)");
        row("one character named alone", "1    x\r\n2    Kraków  Cr\u0101covia\r\n", "«\u0101» (U+0101)");
        row("after an empty first line", "\r\n1    x\r\nab\r\n", "numero 3 " + bad + "«ab»");
        row("first fault counts", "ab\r\n## \u4e00\r\n", "numero 1 " + bad);
        row("tab", "1    x\r\n 2\tdog\r\n", "numero 2 contiene un carattere di tab");
        row("empty list", "", "L'elenco non ha nessun vocabolo");
        row("comments only", "## note\r\n", "L'elenco non ha nessun vocabolo");
        row("one row too many", QString("1    x\r\n").repeated(WordTable::MaxRows) + "2   y\r\n",
            "numero 32768 supera il numero massimo di vocaboli (32767)");
    }
    void checkBeforeSave()
    {
        QFETCH(QString, says);
        const SaveProblem problem = Vocabulary::checkBeforeSave(fetched<QString>("text"));
        QCOMPARE(bool(problem), !says.isEmpty());
        QVERIFY2(saveProblemMessage(problem).contains(says), qPrintable(saveProblemMessage(problem)));
    }

    // Lessons are given as words() rows, numbers as blank-separated lists.
    void buildSelection_data()
    {
        // ticked: 0 is "Tutte"
        columns<QString, int, QString, QString, QString, int>(
            "lessons", "order", "ticked", "memoc", "expected", "position");
        const QString lessons = "01/ 2 c/05  / 0/02/12";
        row("first build: forward, all", lessons, 0, "", "", "0 1 2 3 4 5", 0);
        row("lessons 2 and 5 backward", lessons, 3, "2 5", "", "1 2 4", 4);
        row("lesson 0 only through Tutte", lessons, 2, "1 12", "", "0 5", 0);
        row("random keeps the position", lessons, 1, "12", "", "5", 7);
        row("critical: word order, duplicates kept", lessons, 4, "2", "5 4 1 0 4", "1 4 4", 0);
        row("critical: vanished rows skipped", lessons, 4, "0", "2 40 9999", "2", 0);
        const QString bounds = QString("01/##/ab/%1/  /-1/ 3/%2").arg(MaxLesson + 1).arg(MaxLesson);
        row("rows without a valid lesson", bounds, 2, "0", "", "0 6 7", 0);
    }
    void buildSelection()
    {
        QFETCH(int, order);
        const L expected = numbers("expected");
        const WordTable t = words(fetched<QString>("lessons"));
        const CriticalList memoc = critical(numbers("memoc"));
        WordSelection s;
        s.options = choose(order, numbers("ticked"));
        s.selectionPos = 7;
        s.buildSelection(t, memoc);
        QCOMPARE(int(s.builtMode), order ? order : 2);
        QCOMPARE(s.selection.mid(1, s.selectionCount), expected);
        QTEST(s.selectionPos, "position");
        for (int w = -1; w <= t.count(); ++w)
            QCOMPARE(s.isSelected(w), expected.contains(w));
        // A build runs again only when marked out of date.
        s.options = choose(2, { 7 });
        s.buildSelection(t, memoc);
        QCOMPARE(s.selection.mid(1, s.selectionCount), expected);
        s.rebuildNeeded = true;
        s.buildSelection(t, memoc);
        QCOMPARE(s.selectionCount, 0);
        QVERIFY(!s.isSelected(expected.value(0, 0)));
    }

    // given: order; boxes ticked; critical words; random draws; script. Each step draws once the word before
    // is answered ("u" in the script: it is not; "o"/"c": OK/Cancel to the Ricomincio box), giving the word,
    // "cancel", "done" (critical words over), "none" or "again"; after "|" the messages: W Ricomincio, E
    // critical words over, * nothing chosen.
    void draws_data()
    {
        columns<QString, QString, QString>("lessons", "given", "expected");
        const QString five = "01/02/01/03/01";
        row("forward, OK at the end", five, "2;1;;;o", "0 2 4 0 2|W");
        row("forward, Cancel at the end", five, "2;1;;;c", "0 2 4 cancel|W");
        row("backward from the last word", five, "3;1;;;o", "4 2 0 4|W");
        row("backward, Cancel at the start", five, "3;1;;;c", "4 2 0 cancel|W");
        row("random: drawn positions", "1/1/1/1/1", "1;0;;0.25 0.75 0.99 0 0.3;", "1 3 4 0 1|");
        row("random never repeats the last word", "01/02", "1;0;;0 0.9 0.9 0.2;", "1 0 1 0|");
        row("stuck generator", "1/1/1", "1;0;;" + QString("0 ").repeated(64) + "0.9;", "1 0 1|");
        row("random over one word", five, "1;3;;0.5 0.1;", "3 3|");
        row("unanswered word asked again", five, "2;0;;;uu", "0 1 again 2|");
        row("critical, empty list", five, "4;0;;;", "done|E");
        row("critical ends after the last", five, "4;0;3 1;;", "1 3 done|E");
        row("no chosen word", five, "2;;;;", "none none|* *");
        row("empty vocabulary", "", "1;0;;;", "none|*");
    }
    void draws()
    {
        const S given = fetched<QString>("given").split(';');
        const QString script = given[4];
        FakePlatform platform;
        for (const QString &r : given[3].split(' ', Qt::SkipEmptyParts))
            platform.randoms.enqueue(r.toDouble());
        for (QChar a : script)
            if (a != 'u')
                platform.answers << (a == 'o' ? Platform::Answer::Ok : Platform::Answer::Cancel);
        WordSelection s;
        const WordTable t = words(fetched<QString>("lessons"));
        for (const L &ticked :
            { L { 0 }, ints(given[1]) }) { // after a choice of every word: its entries stay
            s.options = choose(given[0].toInt(), ticked);
            s.rebuildNeeded = true;
            s.buildSelection(t, critical(ints(given[2])));
        }
        S got;
        for (int i = 0; got.size() <= fetched<QString>("expected").section('|', 0, 0).count(' '); ++i) {
            const int before = s.currentWord;
            if (script.mid(i - 1, 1) != "u") // before the first: none
                s.pendingWord = 0;
            using D = WordSelection::Draw;
            const D draw = s.drawWord(platform);
            got << (draw == D::Drawn          ? QString::number(s.currentWord)
                    : draw == D::Repeated     ? "again"
                    : draw == D::CriticalDone ? "done"
                    : s.selectionCount        ? "cancel"
                                              : "none");
            // A word drawn is a chosen one; after the critical words the next build runs again.
            QVERIFY(draw == D::Drawn          ? s.isSelected(s.currentWord)
                    : draw == D::CriticalDone ? s.rebuildNeeded
                                              : s.currentWord == before);
        }
        S shown;
        for (const auto &m : platform.shown)
            shown << (m.buttons == Platform::Buttons::OkCancel ? m.title + m.text
                    : m.text == "Critici terminati ..."        ? "E"
                                                               : "*");
        QCOMPARE(got.join(' ') + '|' + shown.join(' '),
            QString(fetched<QString>("expected"))
                .replace("W", "Ricomincio...Ho fatto tutti quelli scelti... ricomincio"));
    }

    void splitAlternatives_data()
    {
        // split: the parts, "|" between; the key of the text as a prompt; the answer to type for the text
        columns<QString, QString>("text", "split");
        row("three", "casa (abitazione, dimora)", "casa|abitazione|dimora;casa;casa");
        row("none, outer blanks", "  casa  ", "casa;casa;  casa");
        row("no closing", "casa (abitazione, dimora", "casa|abitazione|dimora;casa;casa");
        row("blanks", "to go ( andare ,  partire )", "to go|andare|partire;to go;to go");
        row("comma outside", "a (b) c, d", "a|b;a;a");
        row("empty brackets", "casa ()", "casa|;casa;casa");
        row("begins with open", "(to) go", "(to) go;(to) go;go");
        row("close before open", ") b (c, d)", ") b (c, d);) b (c, d);) b");
        row("no blank before", "run(verb)", "run|verb;run;run");
        row("bracket", "casa [f.]   ", "casa [f.];casa [f.];casa");
        row("parenthesis wins", "casa [f.] (dimora)", "casa [f.]|dimora;casa [f.];casa [f.]");
        S many { "x" };
        for (int i = 1; i <= 30; ++i)
            many << QStringLiteral("w%1").arg(i);
        row("20 at most", "x (" + many.mid(1).join(", ") + ")",
            many.mid(0, Answers::MaxEntries).join('|') + ";x;x");
    }
    void splitAlternatives()
    {
        QFETCH(QString, text);
        QTEST(Answers::splitAlternatives(text).join('|') + ';'
                + Answers::promptKey(Answers::trimTrailingBlanks(text)) + ';' + Answers::answerOf(text),
            "split");
    }

    // Accepted answers and the synonyms text in both directions.
    void collect_data()
    {
        // given: the word asked ("e" before it: the answer is English) | the words selected
        // answers: the prompt key = the answers accepted, then the synonyms' message, "-" when not shown
        columns<QString, QString>("given", "answers");
        row("own alternatives, then itself", "0|0 1 2 3 4 5",
            "house=casa|abitazione|dimora|casa;(Lez.12)   house = casa (abitazione, dimora)");
        row("two light words", "1|0 1 2 3 4 5",
            "light=luce|leggero;\r(Lez.1)   light = luce\r(Lez.2)   light = leggero");
        row("current not selected", "1|2", "light=luce|leggero;\r(Lez.2)   light = leggero");
        row("remark in prompt", "3|3 4",
            "run=correre|correre;\r(Lez.5)   run (verb) = correre [v.]\r(Lez.5)   run (jog) = correre");
        row("from Italian: alternatives", "e5|5",
            "appartamento=flat|apartment|flat;(Lez.7)   flat (apartment) = appartamento");
        row("from Italian: same word", "e6|0 6 7",
            "chiaro=bright|clear;\r(Lez.8)   bright = chiaro\r(Lez.9)   clear = chiaro");
        row("from Italian: bracket in key", "e3|3 4",
            "correre [v.]=run|verb|run;(Lez.5)   run (verb) = correre [v.]");
        row("(to) go", "8|8", "(to) go=andare;\r(Lez.1)   (to) go = andare-");
        row("from Italian: «to go» and a synonym", "e8|8 9",
            "andare=go|to go|to leave;\r(Lez.1)   (to) go = andare\r(Lez.1)   to leave = andare");
        // 25 words with one prompt, the first with alternatives: 20 answers are taken; the message names 20
        // (its own line first), counts the rest.
        row("20 synonyms at most",
            "10|10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 33 34",
            "go=va|vai" + QString("|va").repeated(18) + ";(Lez.2)   go = va (vai)"
                + QString("\r(Lez.2)   go = va").repeated(19) + "\r... e altri 5");
    }
    void collect()
    {
        const S given = fetched<QString>("given").split('|');
        const bool toEnglish = given[0].startsWith('e');
        const int current = given[0].mid(toEnglish).toInt();
        const QString rows
            = "12|house|casa (abitazione, dimora)/ 1|light|luce/2|light|leggero/5|run (verb)|correre [v.]/"
              "5|run (jog)|correre/7|flat (apartment)|appartamento/8|bright|chiaro/9|clear|chiaro/"
              "1|(to) go|andare/1|to leave|andare/2|go|va (vai)"
            + QString("/2|go|va").repeated(24);
        WordTable t = words(rows), before = words("3|x|x/" + rows);
        AcceptedAnswers answers;
        const auto ask = [&](const WordTable &table, int word, bool english) {
            answers.clear(); // the question before is forgotten
            answers.collectOwnAlternatives(table, word, Direction(english)); // true: from Italian
            answers.collectSynonyms(
                table, [&](int w) { return ints(given[1]).contains(w); },
                Answers::trimTrailingBlanks((english ? table.italian(word) : table.english(word)).toString()),
                Direction(english));
        };
        ask(before, current + 1, toEnglish); // then the table changed
        ask(t, current, !toEnglish); // and the direction, as in the other drill window
        ask(t, current, toEnglish);
        QTEST(answers.promptKey + '=' + answers.acceptedAnswers.join('|') + ';' + answers.synonymText
                + (answers.hasSynonyms() ? "" : "-"),
            "answers");
        const quint64 stamp = t.stamp();
        t.clear(); // the index is built again for the words that will come
        QVERIFY(t.stamp() != stamp);
    }

    // Typing checked on every change: red and 5 beeps on a wrong text, 40 on a completed answer; prize,
    // penalties and critical mark (a clean answer clears it) within 16 bits. steps: the word asked ("e"
    // before it: the answer is English), then "|" between: "c" it is critical, "Np" points and "Nn" words
    // done before, "Nt" N ticks, "h" Aiuto, "=" the answer typed, else a text typed. after: red (r) or not
    // (-), beeps, answered (a) or not (-), the answer followed, the points and the counts the drill shows;
    // after "|", what "Aiuto" shows, the letters typed right and a # for each to come.
    void drill_data()
    {
        columns<QString, QString>("steps", "after");
        row("alternative followed", "0|a|ab", "- 0 - abitazione 1000 Già fatti =0 Critici =0");
        row("alternative completes", "0|dimora", "- 40 a dimora 1006 Già fatti =1 Critici =0");
        row("two wrong changes", "0|cx|cxy", "r 10 - casa 1000 Già fatti =0 Critici =0");
        row("case counts", "1|L", "r 5 - luce 1000 Già fatti =0 Critici =0");
        row("bracket remark never typed", "3|vestito", "- 40 a vestito 1007 Già fatti =1 Critici =0");
        row("longer than the answer", "1|lucexx|h|h", "r 5 - luce 996 Già fatti =0 Critici =0|luce");
        row("wrong letter shown right", "4|cax|h|h", "r 5 - camminare 992 Già fatti =0 Critici =0|cam######");
        row("blank and ? kept", "8|ch|h|h", "- 0 - che cosa ? 990 Già fatti =0 Critici =0|ch# #### ?");
        row("a blank after: red, answered", "e4|to walk ", "r 45 a to walk 1007 Già fatti =1 Critici =0");
        row("without the blank", "e4|towalk", "r 5 - to walk 1000 Già fatti =0 Critici =0");
        row("answered once only", "1|luce|lucex|luce", "- 45 a luce 1004 Già fatti =1 Critici =0");
        row("Italian after the article", "10|cane", "- 40 a cane 1004 Già fatti =1 Critici =0");
        row("Italian with the article", "10|il cane", "- 40 a il cane 1007 Già fatti =1 Critici =0");
        row("the article not in the help", "10|h|h", "r 0 - cane 996 Già fatti =0 Critici =0|####");
        row("English verb", "e9|run", "- 40 a run 1003 Già fatti =1 Critici =0");
        row("English verb with to", "e9|to run", "- 40 a to run 1006 Già fatti =1 Critici =0");
        row("to not in the help", "e9|h|h", "r 0 - run 998 Già fatti =0 Critici =0|###");
        row("4 letters in the 9th second", "1|c|9t|=", "- 40 a luce 1004 Già fatti =1 Critici =0");
        row("at the 10th tick", "1|c|10t|=", "- 40 a luce 1003 Già fatti =1 Critici =2");
        row("25th tick, free time 10", "1|c|25t|=", "- 55 a luce 982 Già fatti =1 Critici =2");
        row("14 letters at the 13th tick", "6|c|13t|=", "- 40 a precipitazione 1014 Già fatti =1 Critici =0");
        row("14 letters at the 14th tick", "6|c|14t|=", "- 40 a precipitazione 1013 Già fatti =1 Critici =2");
        row("14 letters at the 15th tick", "6|c|15t|=", "- 41 a precipitazione 1012 Già fatti =1 Critici =2");
        row("help on 7 letters", "2|c|3t|h|=", "- 40 a leggero 1004 Già fatti =1 Critici =2|#######");
        row("help, then a tick in free time", "2|c|3t|h|1t|=", "- 40 a leggero 1004 Già fatti =1 Critici =0");
        row("help on 1 letter", "5|c|h|=", "- 40 a a 1001 Già fatti =1 Critici =0|#");
        row("prize at the top", "1|c|32765p|=", "- 40 a luce 32767 Già fatti =1 Critici =0");
        row("done count at the top", "1|c|32767n|=", "- 40 a luce 1004 Già fatti =32767 Critici =0");
        row("penalties at the bottom", "1|c|-32760p|40t|=", "- 70 a luce -32764 Già fatti =1 Critici =2");
    }
    void drill()
    {
        S steps = fetched<QString>("steps").split('|');
        const bool toEnglish = steps[0].startsWith('e');
        const int word = steps.takeFirst().mid(toEnglish).toInt();
        Drilling d { Direction(toEnglish) }; // true: from Italian
        QVERIFY(!d.drill.typingChanged("l") && d.drill.view().typingRed); // before the first question
        QVERIFY(d.ask(word));
        d.platform.beeps = 0;
        bool done = false;
        for (const QString &step : steps) {
            bool number;
            const int n = step.chopped(1).toInt(&number);
            if (step == "c")
                d.session.memoc.add(word);
            else if (step == "h")
                d.drill.help();
            else if (number && step.endsWith('p'))
                d.session.points = n;
            else if (number && step.endsWith('n'))
                d.session.doneCount = n;
            else if (number)
                for (int t = 0; t < n; ++t)
                    d.drill.timer1Tick();
            else
                done = d.drill.typingChanged(step == "=" ? d.drill.answer() : step) || done;
        }
        QCOMPARE(d.session.selection.pendingWord, done ? 0 : word);
        QTEST(QString("%1 %2 %3 %4 %5 %6")
                    .arg(d.drill.view().typingRed ? 'r' : '-')
                    .arg(d.platform.beeps)
                    .arg(done ? 'a' : '-')
                    .arg(d.drill.answer(), d.drill.pointsText(), d.drill.counterLine())
                + (d.drill.view().helpBoxVisible ? '|' + d.drill.view().helpBoxText : ""),
            "after");
        // A window closed in mid-question leaves none open in the next one.
        d.drill.load();
        QVERIFY(!d.drill.typingChanged(d.drill.answer()));
        d.platform.answers << Platform::Answer::Cancel;
        QVERIFY(
            !d.ask(int(Words.count(u'/') + 1))); // past the last word, "Ricomincio" cancelled: nothing asked
    }

    // Rules the windows only show: the drill's caption per direction after the first tick, with the free
    // time of the answer asked for (14 letters of Italian). (Before it: see the looks.)
    void windowRules()
    {
        for (auto [from, to] :
            { std::pair { "d:\\vb", "d:\\vb50\\ingle\\" }, { "c:\\", "c:\\" }, { "/a", "/a/" } })
            QCOMPARE(DataFolder::forCurrentFolder(from).folder(), to); // the data folder of a start-up folder
        // A current folder whose name is not UTF-8 is reached by the system's link to it.
        for (auto [native, name] : { std::pair { QByteArray("/tmp/caf\xC3\xA9"), QString("/tmp/café") },
                 { QByteArray("/tmp/caf\xE9"), MainRules::CurrentFolderLink } })
            QCOMPARE(MainRules::currentFolderName(native), name);
        // The chart's count axes, from 0 up: whole numbers in steps of 1, 2 or 5 times ten to a power,
        // grouped the Italian way.
        for (auto [lowest, highest, labels] :
            { std::tuple { 0, 0, "0 1" }, { 2, 3, "0 1 2 3" }, { 0, 7, "0 2 4 6 8" },
                { 0, 12345, "0 5.000 10.000 15.000" }, { -40, 1040, "-500 0 500 1.000 1.500" } })
            QCOMPARE(SessionText::countTicks(lowest, highest).labels.join(' '), labels);
        // The results' time of practice: from an hour on in hours and minutes.
        for (auto [seconds, time] :
            { std::pair { 3599, "1 sessione, 59 min" }, { 3600, "1 sessione, 1 h 00 min" } })
            QVERIFY(SessionText::totalsLine("", { 1, seconds }).contains(time));
        for (auto [direction, caption] :
            { std::pair { Direction::EnglishToItalian, "INGLESE ... (tempo libero= 14)" },
                { Direction::ItalianToEnglish, "ITALIANO ... (tempo libero= 10)" } }) {
            Drilling d(direction);
            QVERIFY(d.ask(6));
            d.drill.timer1Tick();
            QCOMPARE(d.drill.view().caption, "    Prova dall' " + QString(caption));
        }
        // FINE's line in the exit log: day and times in fixed formats whatever the system's language (a US
        // locale here), then words/points/critical and the lessons chosen, else TUTTE; a failed launch.
        LessonStates states {};
        states[2] = LessonState::HasWords;
        QCOMPARE(MainRules::exitLogLine({ 2027, 1, 1 }, { 23, 50 }, { 0, 10, 30 }, 12, -40, 3, states),
            "01/01/2027 23:50:00 00:10:30    12/-40/3        TUTTE");
        states[1] = states[4] = states[MaxLesson] = LessonState::Chosen;
        QCOMPARE(MainRules::exitLogLine({ 2026, 3, 5 }, { 9, 5, 7 }, { 21, 0 }, 12, -40, 3, states),
            "05/03/2026 09:05:07 21:00:00    12/-40/3        1 4 20");
        // Nothing left to ask in the order chosen: OK to going forward asks from the first word.
        Drilling d;
        QVERIFY(d.ask(3));
        d.session.selection.options.order = CriticalOnly;
        d.session.selection.rebuildNeeded = true;
        d.platform.answers << Platform::Answer::Ok;
        OptionsChoice(d.session).apply(d.platform);
        QCOMPARE(d.session.selection.pendingWord, 0);
        // Started by the launcher after it failed to prepare the data folder, the program says why.
        QCOMPARE(MainRules::launchFailure({ MainRules::LaunchFailedOption, "Cartella: /d\n(no)" }),
            "Non riesco a preparare la cartella dei dati del programma.\r\n\r\nCartella: /d\n(no)");
        QVERIFY(MainRules::launchFailure({ MainRules::LaunchFailedOption + 'x', "Cartella" }).isNull());
    }

    // When speech turns off and on, and when its engine starts. Steps: a window's first question (b), a tick
    // of the poll (t) or the service lost (l), each with the sound output then seen (A; B, its server
    // restarted on the same socket; - none); the engine started with or without an English voice (s, n); a
    // word said (w). "after": the status after each step (Available, no Voice, no Output), * where the engine
    // starts.
    void speechStatus_data()
    {
        columns<QString, QString>("steps", "after");
        row("a server from the start; a tick before and a second question", "tA bA s tA b-", "A A* A A A");
        row("no server at first, found by a tick", "b- t- tA s", "O O O* A");
        row("server gone, back on the same socket", "bA s t- tB s", "A* A O O* A");
        row("restart between ticks: the service ends on its next word", "bA s tB lB s w lB",
            "A* A A A* A A A*");
        row("lost twice before a word: off until the output changes", "bA s lA s lA tA tB s lB",
            "A* A A* A O O O* A A*");
        row("lost without sound", "bA s l-", "A* A O");
        row("lost on a server restarted since the last tick, then on that one", "bA s lA s lB s lB",
            "A* A A* A A* A O");
        row("no English voice: tried again on a change", "bA n tA tB n", "A* V V V* V");
        row("server gone while starting; one start for two changes", "bA t- s tA tB s", "A* O O O* O A");
    }
    void speechStatus()
    {
        SpeechStatus rules;
        QString after;
        for (const QString &step : fetched<QString>("steps").split(u' ')) {
            const SpeechStatus::Output now { step.back() != u'-', step.mid(1) };
            const char kind = step[0].toLatin1();
            const SpeechStatus::Action action = kind == 'b' ? rules.begin(now)
                : kind == 't'                               ? rules.tick(now)
                : kind == 'l'                               ? rules.lost(now)
                                                            : SpeechStatus::Action::None;
            if (kind == 's' || kind == 'n')
                rules.started(kind == 's' ? Platform::Speech::Available : Platform::Speech::NoVoice);
            if (kind == 'w')
                rules.said();
            after += QChar("AVO"[int(rules.status())])
                + QString(action == SpeechStatus::Action::StartEngine, u'*') + u' ';
        }
        QTEST(after.trimmed(), "after");
    }

    // The exit log read back for the results window: every line the program writes (or older runs wrote in
    // other date formats) becomes a run, and nothing else does.
    void parseLine_data()
    {
        // expected: date times seconds words/points/critical lessons
        columns<QString, QString>("line", "expected");
        const QString tail = "    12/987/3        1 4 7", read = " 1303 12/987/3 1 4 7";
        row("written", "05/12/2026 09:10:02 09:31:45" + tail, "2026-12-05 09:10:02 09:31:45" + read);
        row("all lessons", "05/12/2026 09:10:02 09:31:45    0/1000/0        TUTTE",
            "2026-12-05 09:10:02 09:31:45 1303 0/1000/0");
        row("0 min", "05/12/2026 09:10:02 09:10:02" + tail, "2026-12-05 09:10:02 09:10:02 0 12/987/3 1 4 7");
        row("past midnight", "06/12/2026 23:50:00 00:10:30    5/-40/1        20",
            "2026-12-06 23:50:00 00:10:30 1230 5/-40/1 20");
        // 7 s, whichever way the clock went meanwhile; the hour that comes twice, both times.
        row("clock put back", "25/10/2026 02:59:58 02:00:05    0/1000/0        TUTTE",
            "2026-10-25 02:59:58 02:00:05 7 0/1000/0");
        row("clock put forward", "29/03/2026 01:59:58 03:00:05    0/1000/0        TUTTE",
            "2026-03-29 01:59:58 03:00:05 7 0/1000/0");
        row("past midnight and the change", "25/10/2026 23:00:00 03:30:00    0/1000/0        TUTTE",
            "2026-10-25 23:00:00 03:30:00 19800 0/1000/0");
        row("leading blanks", "  05/12/2026 09:10:02 09:31:45" + tail, "2026-12-05 09:10:02 09:31:45" + read);
        row("short", "5/12/26 9:10 9:31" + tail, "2026-12-05 09:10:00 09:31:00 1260 12/987/3 1 4 7");
        row("dots", "05.12.2026 09.10.02 09.31.45" + tail, "2026-12-05 09:10:02 09:31:45" + read);
        QString all;
        for (int k = 1; k <= MaxLesson; ++k)
            all += u' ' + QString::number(k);
        const QString twelve = "2026-12-05 12:10:02 AM 1:31:45 pm 12/987/3";
        row("every lesson, 12 h", twelve + all, "2026-12-05 00:10:02 13:31:45 48103 12/987/3" + all);
        const QString head = "05/12/2026 09:10:02 09:31:45    ";
        S bad { twelve + all + " x" }; // a word more
        for (const QString &end :
            QString("12/987/3;12/987/3 1 4 x;12/98;1/2/3/4 TUTTE;12/987/x TUTTE;-1/987/3 TUTTE;"
                    "12/987/3 %1;12/987/3 0;12/987/3 4 4;12/987/3 7 4;12/987/3 TUTTE 3;"
                    "12/987/3 tutte;99999999999/0/0 TUTTE;1234567890/0/0 TUTTE;"
                    "1/-1234567890/0 TUTTE;1/0/1234567890 TUTTE")
                .arg(MaxLesson + 1)
                .split(';'))
            bad << head + end;
        for (const QString &start :
            QString("31/02/2026 09:10:02 09:31:45;12/05 09:10 09:31;05/12-2026 09:10 09:31;"
                    "dicembre 09:10 09:31;05/12/2026 25:00 09:31;05/12/2026 09:1:02 09:31;"
                    "05/12/2026 13:10 PM 09:31;05/12/2026 09:31;05/012/2026 09:10 09:31")
                .split(';'))
            bad << start + tail;
        for (const QString &line : bad)
            QTest::newRow(qPrintable(line)) << line << QString();
    }
    void parseLine()
    {
        QString got;
        static const ZoneClock rome(QTimeZone("Europe/Rome"));
        if (const std::optional<LoggedSession> s = SessionLog::parseLine(fetched<QString>("line"))) {
            got = QString::asprintf("%s %s %s %d %d/%d/%d", qPrintable(s->date.toString(Qt::ISODate)),
                qPrintable(s->start.toString()), qPrintable(s->end.toString()), int(s->seconds(rome)),
                s->words, s->points, s->critical);
            for (int k : s->lessons)
                got += u' ' + QString::number(k);
        }
        QTEST(got, "expected");
    }

    void file_data()
    {
        // bytes: null: no file; summary: runs/minutes/words/mean points for 7 days, 30 days, all time;
        // lessons; bars (the first one's days and runs, how many); unreadable lines, runs drawn (at most 2,
        // else none)/runs
        columns<QByteArray, QString>("bytes", "summary");
        const QByteArray line = " 09:00:00 09:30:00    10/1000/2        ";
        row("missing", QByteArray(), "0/0/0/0 0/0/0/0 0/0/0/0 | | 0 0/0");
        row("empty", QByteArray(""), "0/0/0/0 0/0/0/0 0/0/0/0 | | 0 0/0");
        row("mixed, after an empty line",
            "\n05/12/2026" + line
                + "1 4\r\n\r\n20/11/2026 23:30:00 00:45:00    1/970/0        TUTTE\r\n"
                  "05/12/2026 09:00\r\n01/01/2026"
                + line + "4\r\n",
            "1/30/10/1000 2/105/11/985 3/135/21/990 | 0:1 1:1 4:2 | "
            "1 2025-12-29..2026-01-05:1/1000 3 | 1 0/3");
        // Two runs of one lesson, the first on a date that sets the bars: their length, the first bar.
        for (auto [tag, first, bar] :
            { std::tuple { "120 days: a bar a day", "08/08/2026", "0 2026-08-08..2026-08-09" },
                { "120 weeks from a Sunday: a bar a week", "25/08/2024", "1 2024-08-19..2024-08-26" },
                { "121 weeks from a Monday: by month", "12/08/2024", "2 2024-08-01..2024-09-01" },
                { "120 months: a bar a month", "01/01/2017", "2 2017-01-01..2017-02-01" },
                { "121 months: a bar a year", "01/12/2016", "3 2016-01-01..2017-01-01" } })
            row(tag, first + line + "1\r\n05/12/2026" + line + "1\r\n",
                "1/30/10/1000 1/30/10/1000 2/60/20/1000 | 1:2 | " + QString(bar) + ":1/1000 2 | 0 2/2");
        QByteArray years;
        for (int day = 0; day < 7305; ++day)
            years += QDate(2026, 12, 7).addDays(-day).toString(u"dd/MM/yyyy").toLatin1() + line
                + QByteArray::number(day % 3 + 1) + "\r\n";
        const QByteArray one = "05/12/2026" + line + "1";
        const QString oneRun
            = "1/30/10/1000 1/30/10/1000 1/30/10/1000 | 1:1 | 0 2026-12-05..2026-12-06:1/1000 1 | ";
        // A line to the end of the first 4 MiB piece of the reading, its line end across into the next.
        row("a line across two pieces of the file",
            QByteArray(UserFile::PieceBytes - one.size() - 1, '\n') + one + "\r\n" + one,
            "2/60/20/1000 2/60/20/1000 2/60/20/1000 | 1:2 | 0 2026-12-05..2026-12-06:2/1000 1 | 0 2/2");
        // A line is read up to 1024 bytes long, blanks included; a blank one over it is no unreadable line.
        row("lines too long to be runs",
            QByteArray(1025 - one.size(), ' ') + one + "\n" + QByteArray(3000, ' ') + "\n"
                + QByteArray(1024 - one.size(), ' ') + one,
            oneRun + "1 1/1");
        row("closed while reading", one, "0/0/0/0 0/0/0/0 0/0/0/0 | | 0 0/0");
        row("20 years", years + "garbage\r\n\x93\x94\r\nx",
            "7/210/70/1000 30/900/300/1000 7305/219150/73050/1000 | 1:2435 2:2435 3:2435 | "
            "3 2006-01-01..2007-01-01:24/1000 21 | 3 0/7305");
    }
    void file()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        QVERIFY(bytes.isNull() || writeBytes(folder.filePath("inglelog"), bytes));
        LogSums sums({ 2026, 12, 7 }, 120, 2);
        const std::atomic<bool> stop = QTest::currentDataTag() == QByteArray("closed while reading");
        QCOMPARE(SessionLog::read(folder.filePath("inglelog"), sums, nullptr, &stop), !stop);
        const LogSummary s = sums.summary();
        QString got;
        for (const SessionTotals &t : { s.lastWeek, s.lastMonth, s.ever })
            got += QString::asprintf(
                "%d/%lld/%lld/%d ", t.sessions, t.seconds / 60, t.words, t.averagePoints());
        got += u'|';
        for (std::size_t k = 0; k <= MaxLesson; ++k)
            if (s.lessonCounts[k])
                got += QString::asprintf(" %d:%d", int(k), s.lessonCounts[k]);
        for (const auto &p : s.periods.mid(0, 1)) // the first bar
            got += QString::asprintf(" | %d %s..%s:%d/%d %lld", int(s.length),
                qPrintable(p.first.toString(Qt::ISODate)), qPrintable(p.next.toString(Qt::ISODate)),
                p.totals.sessions, p.totals.averagePoints(), s.periods.size());
        QTEST(got + QString::asprintf(" | %d %lld/%lld", s.unreadable, s.runs.size(), s.sessions), "summary");
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
