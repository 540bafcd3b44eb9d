#include "fakeplatform.h"
#include "mainrules.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Vocabulary;

namespace {
// A word line in the file's columns: lesson, critical mark, English, Italian.
QString wordLine(const QString &lesson, const QString &mark, const QString &english, const QString &italian)
{
    return lesson.leftJustified(2) + u' ' + mark.leftJustified(1) + u' ' + english.leftJustified(50) + italian;
}
} // namespace

// The vocabulary file: where it is read from, its two parse stages, the check
// before a save, and the lesson column shown with the critical marks.
class TestVocabularyFile : public QObject
{
    Q_OBJECT

private slots:
    void dataFolder_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("folder");
        QTest::newRow("separator appended") << "/home/anna/.local/share/inglese" << "/home/anna/.local/share/inglese/";
        QTest::newRow("root folder") << "/" << "/";
        QTest::newRow("old drive folder") << "d:\\vb" << "d:\\vb50\\ingle\\";
        QTest::newRow("case matters") << "D:\\vb" << "D:\\vb/";
    }
    void dataFolder()
    {
        QFETCH(QString, current);
        QTEST(MainRules::dataFolderFor(current), "folder");
    }

    void firstStage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("comments");
        QTest::addColumn<QString>("words");
        QTest::newRow("ends with CR LF") << "12 a\r\n13 b\r\n" << "" << "12 a\r\n13 b\r\n";
        QTest::newRow("last line «ab» without CR LF is lost") << "12 xyz\r\nab" << "" << "12 xyz\r\n";
        QTest::newRow("last line «abc» without CR LF is kept") << "12 xyz\r\nabc" << "" << "12 xyz\r\nabc\r\n";
        QTest::newRow("short last line with CR LF is kept") << "12 xyz\r\nab\r\n" << "" << "12 xyz\r\nab\r\n";
        QTest::newRow("comments anywhere are set aside")
            << "## top\r\n1 a\r\n## middle\r\n2 b\r\n## end\r\n" << "## top\r\n## middle\r\n## end\r\n"
            << "1 a\r\n2 b\r\n";
        QTest::newRow("one hash is a word line") << "# x\r\n" << "" << "# x\r\n";
        QTest::newRow("empty lines are dropped") << "\r\n1 a\r\n\r\n\r\n2 b\r\n\r\n" << "" << "1 a\r\n2 b\r\n";
        QTest::newRow("lone line feeds stay inside a line") << "1 a\nb\r\n" << "" << "1 a\nb\r\n";
        QTest::newRow("empty last line of word lines only is dropped") << "1 a\r\n\r\n" << "" << "1 a\r\n";
    }
    void firstStage()
    {
        QFETCH(QString, file);
        const FileText split = splitFileText(file);
        QTEST(split.comments, "comments");
        QTEST(split.wordText, "words");
    }

    void bracketRule_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("italian");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("alternatives on the Italian side") << "house" << "casa (abitazione, dimora)" << true;
        QTest::newRow("parentheses English, square brackets Italian") << "to run (away)" << "fuggire [verbo]" << true;
        QTest::newRow("order does not count") << "x )(" << "y" << true;
        QTest::newRow("open parenthesis only") << "to run (away" << "scappare" << false;
        QTest::newRow("open square bracket only, Italian") << "to run" << "correre [verbo" << false;
        QTest::newRow("both kinds on the English side") << "set (put) [verb]" << "mettere" << false;
        QTest::newRow("both kinds on the Italian side") << "set" << "mettere (porre) [verbo]" << false;
    }
    void bracketRule()
    {
        QFETCH(QString, english);
        QFETCH(QString, italian);
        QTEST(wellFormed(english, italian), "accepted");
    }

    void secondStageFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields"); // lesson column, lesson number, English, Italian
        QTest::addColumn<bool>("critical");
        const QString house = QString("house").leftJustified(50);
        QTest::newRow("critical word line") << wordLine("12", "c", "house", "casa (abitazione, dimora)")
                                            << QStringList { "12 c", "12", house, "casa (abitazione, dimora)" } << true;
        QTest::newRow("«x» marks critical like «c»")
            << wordLine(" 7", "x", "house", "casa") << QStringList { " 7 x", " 7", house, "casa" } << true;
        QTest::newRow("columns after 105 are ignored")
            << wordLine("01", "", "house", QString("b").leftJustified(50) + "tail")
            << QStringList { "01  ", "01", house, QString("b").leftJustified(50) } << false;
        QTest::newRow("short line gives short fields") << "5   tree" << QStringList { "5   ", "5 ", "ree", "" } << false;
    }
    void secondStageFields()
    {
        QFETCH(QString, line);
        FakePlatform platform;
        WordTable words;
        CriticalList memoc;
        QVERIFY(parseWordList("1   first\r\n" + line + "\r\n", words, memoc, 9, platform));
        QCOMPARE(words.count(), 2);
        QTEST(QStringList({ words.lessonField(1), words.lessonText(1).toString(), words.english(1).toString(),
                            words.italian(1).toString() }),
              "fields");
        QTEST(memoc.contains(1), "critical");
        QVERIFY(platform.shown.isEmpty());
    }

    void malformedLineIsReportedAndLeftOut()
    {
        FakePlatform platform;
        WordTable words;
        CriticalList memoc;
        const QString text = wordLine("1", "", "one", "uno") + CrLf + wordLine("1", "", "two", "due") + CrLf
            + wordLine("3", "c", "to run (away", "scappare") + CrLf + wordLine("2", "c", "four", "quattro") + CrLf;
        QVERIFY(parseWordList(text, words, memoc, 9, platform));
        QCOMPARE(QStringList({ words.italian(0).toString(), words.italian(1).toString(),
                     words.italian(2).toString() }),
            QStringList({ "uno", "due", "quattro" }));
        QCOMPARE(memoc.words(), QList<int>({ 2 })); // the row index, not the line number
        QCOMPARE(platform.shown.size(), 1);
        const FakePlatform::Shown &shown = platform.shown.first();
        QCOMPARE(shown.title, "Riga ignorata ...");
        QCOMPARE(shown.icon, Platform::Icon::Stop);
        QCOMPARE(shown.text, "La Riga numero 3 usa male le parentesi\r\n\r\n  Lezione = 3  c\r\n  Inglese = "
                                 + QString("to run (away").leftJustified(50) + "\r\n  Italiano= scappare");
    }

    void criticalMarks_data()
    {
        QTest::addColumn<int>("builtMode");
        QTest::addColumn<int>("parses");
        QTest::addColumn<QList<int>>("marked");
        QTest::newRow("start-up") << 9 << 1 << QList<int> { 0, 2 };
        QTest::newRow("a save does not add a key twice") << 2 << 3 << QList<int> { 0, 2 };
        QTest::newRow("nothing while drilling critical words") << 4 << 1 << QList<int> {};
    }
    void criticalMarks()
    {
        QFETCH(int, builtMode);
        QFETCH(int, parses);
        FakePlatform platform;
        WordTable words;
        CriticalList memoc;
        const QString text = wordLine("1", "c", "a", "b") + CrLf + wordLine("1", "", "c", "d") + CrLf
            + wordLine("2", "x", "e", "f") + CrLf;
        for (int i = 0; i < parses; ++i) {
            words.clear();
            parseWordList(text, words, memoc, builtMode, platform);
        }
        QTEST(memoc.words(), "marked");
    }

    void tableTakesAtMost32767Rows()
    {
        FakePlatform platform;
        WordTable words;
        CriticalList memoc;
        QString text;
        for (int i = 0; i <= WordTable::MaxRows; ++i)
            text += i == 10000 ? "1  c x\r\n" : "1    x\r\n";
        QVERIFY(!parseWordList(text, words, memoc, 9, platform));
        QCOMPARE(words.count(), WordTable::MaxRows);
        QCOMPARE(memoc.words(), QList<int>({ 10000 })); // rows beyond 9999 can be critical
        QCOMPARE(CriticalList::key(10000), "10000");
        QCOMPARE(CriticalList::key(37), "0037");

        text.chop(8);
        words.clear();
        QVERIFY(parseWordList(text, words, memoc, 9, platform));
        QCOMPARE(words.count(), WordTable::MaxRows);
    }

    // A save never writes what the next start-up would refuse; the first
    // faulty line is named.
    void checkBeforeSave_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("lineNumber");
        const QString good = wordLine("1", "", "house", "casa") + CrLf;
        QTest::newRow("empty and comment lines pass") << good + CrLf + "## note" + CrLf + good << int(SaveProblem::None) << 0;
        QTest::newRow("Windows-1252 letters and the euro pass")
            << wordLine("20", "", "price", "prezzo \u00e8 \u20ac") + CrLf << int(SaveProblem::None) << 0;
        QTest::newRow("lesson 21") << good + wordLine("21", "", "a", "b") + CrLf << int(SaveProblem::BadLesson) << 2;
        QTest::newRow("lesson letters") << good + good + "ab  x" + CrLf << int(SaveProblem::BadLesson) << 3;
        QTest::newRow("lesson 7x") << good + "7x  house" + CrLf << int(SaveProblem::BadLesson) << 2;
        QTest::newRow("no lesson") << "    house" + CrLf << int(SaveProblem::BadLesson) << 1;
        QTest::newRow("last line without line end") << good + "x" << int(SaveProblem::BadLesson) << 2;
        QTest::newRow("character outside the code page")
            << good + wordLine("2", "", "Kraków", "Cracovia \u0101") + CrLf << int(SaveProblem::BadCharacter) << 2;
        QTest::newRow("first fault counts") << "ab" + CrLf + "## \u4e00" + CrLf << int(SaveProblem::BadLesson) << 1;
    }
    void checkBeforeSave()
    {
        QFETCH(QString, text);
        const SaveProblem problem = Vocabulary::checkBeforeSave(text);
        QTEST(int(problem.kind), "kind");
        QTEST(problem.lineNumber, "lineNumber");
        if (problem)
            QVERIFY(saveProblemMessage(problem).startsWith("La Riga numero " + QString::number(problem.lineNumber)));
    }

    void checkBeforeSaveCountsRows()
    {
        QString text;
        for (int i = 0; i < WordTable::MaxRows; ++i)
            text += "1   x\r\n";
        text += "1   bad (\r\n"; // left out by the bracket rule, so no row
        QVERIFY(!Vocabulary::checkBeforeSave(text));
        text += "2   y\r\n";
        const SaveProblem problem = Vocabulary::checkBeforeSave(text);
        QCOMPARE(problem.kind, SaveProblem::TooManyRows);
        QCOMPARE(problem.lineNumber, WordTable::MaxRows + 2);
    }

    void fileIsWindows1252()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("inglese.txt");
        const QString text = "## caff\u00e8 \u20ac\r\n1   citt\u00e0\r\n";
        QVERIFY(writeFile(path, text));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("## caff\xe8 \x80\r\n1   citt\xe0\r\n"));
        QString back;
        QVERIFY(readFile(path, back));
        QCOMPARE(back, text);
        QVERIFY(!readFile(dir.filePath("missing.txt"), back));
    }

    // The lesson column after a drill: a "c" for every critical word.
    void refreshLessonList_data()
    {
        QTest::addColumn<QList<int>>("critical");
        QTest::addColumn<QStringList>("listc");
        QTest::newRow("no critical word") << QList<int>() << QStringList({ "12", " 3", "12", "20", " 0" });
        QTest::newRow("first, last and a duplicate")
            << QList<int>({ 0, 4, 4 }) << QStringList({ "12 c", " 3", "12", "20", " 0 c" });
        QTest::newRow("key of a row no longer there") << QList<int>({ 1, 9 })
                                                      << QStringList({ "12", " 3 c", "12", "20", " 0" });
    }
    void refreshLessonList()
    {
        QFETCH(QList<int>, critical);
        WordTable words;
        for (const char *lesson : { "12", " 3", "12", "20", " 0" })
            words.append(QString(lesson) + "  ", u"en", u"it");
        CriticalList memoc;
        for (int w : critical)
            memoc.add(w);
        MainRules::refreshLessonList(words, memoc);
        QTEST(words.lessonColumn(), "listc");
    }
};

QTEST_GUILESS_MAIN(TestVocabularyFile)
#include "tst_vocabularyfile.moc"
