#include "answers.h"
#include "wordtable.h"

#include <QSet>
#include <QTest>

namespace {
// A word table from (lesson, English, Italian) rows, padded as the file's columns are.
WordTable table(const QList<QStringList> &rows)
{
    WordTable words;
    for (const QStringList &r : rows)
        words.append(r.at(0).leftJustified(4), r.at(0).left(2), r.at(1).leftJustified(50), r.at(2).leftJustified(50));
    return words;
}

std::function<bool(int)> among(const QList<int> &selected)
{
    const QSet<int> set(selected.begin(), selected.end());
    return [set](int w) { return set.contains(w); };
}
} // namespace

class TestAnswers : public QObject
{
    Q_OBJECT

private slots:
    void splitAlternatives_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("three") << "casa (abitazione, dimora)" << QStringList { "casa", "abitazione", "dimora" };
        QTest::newRow("none") << "casa" << QStringList { "casa" };
        QTest::newRow("outer blanks") << "  casa  " << QStringList { "casa" };
        QTest::newRow("one in brackets") << "run (verb)" << QStringList { "run", "verb" };
        QTest::newRow("no closing") << "casa (abitazione, dimora" << QStringList { "casa", "abitazione", "dimora" };
        QTest::newRow("blanks inside") << "to go ( andare ,  partire )" << QStringList { "to go", "andare", "partire" };
        QTest::newRow("comma outside") << "a (b) c, d" << QStringList { "a", "b" };
        QTest::newRow("text after close") << "casa (dimora) bella" << QStringList { "casa", "dimora" };
        QTest::newRow("empty brackets") << "casa ()" << QStringList { "casa", "" };
        QTest::newRow("begins with open") << "(to) go" << QStringList { "(to) go" };
        QTest::newRow("close before open") << "a) b (c, d)" << QStringList { "a) b (c, d)" };
        QTest::newRow("close only") << "b) c" << QStringList { "b) c" };
    }
    void splitAlternatives()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, parts);
        QCOMPARE(Answers::splitAlternatives(text), parts);
    }

    void splitKeepsTwentyEntries()
    {
        QStringList many;
        for (int i = 1; i <= 30; ++i)
            many << QStringLiteral("w%1").arg(i);
        const QStringList parts = Answers::splitAlternatives("x (" + many.join(", ") + ")");
        QCOMPARE(parts.size(), Answers::MaxEntries);
        QCOMPARE(parts.first(), "x");
        QCOMPARE(parts.last(), "w19");
    }

    void promptKeyAndAnswer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("answer");
        QTest::newRow("plain") << "light   " << "light" << "light";
        QTest::newRow("remark") << "run (verb)  " << "run" << "run";
        QTest::newRow("bracket") << "casa [f.]   " << "casa [f.]" << "casa";
        QTest::newRow("parenthesis wins") << "casa [f.] (dimora)" << "casa [f.]" << "casa [f.]";
        QTest::newRow("no blank before") << "run(verb)" << "run" << "run";
        QTest::newRow("begins with open") << "(to) go" << "(to) go" << "";
        QTest::newRow("empty") << "" << "" << "";
    }
    void promptKeyAndAnswer()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, answer);
        QCOMPARE(Answers::promptKey(text), key);
        QCOMPARE(Answers::answerOf(text), answer);
    }

    // Accepted answers and synonyms text in both directions.
    void collect_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("synonyms");

        const int toItalian = int(Direction::EnglishToItalian);
        const int toEnglish = int(Direction::ItalianToEnglish);
        QTest::newRow("own alternatives, then itself")
            << toItalian << 0 << QList<int> { 0, 1, 2, 3, 4, 5 } << QStringList { "casa", "abitazione", "dimora", "casa" }
            << "house" << "(Lez.12)   house = casa (abitazione, dimora)";
        QTest::newRow("two light words")
            << toItalian << 1 << QList<int> { 0, 1, 2, 3, 4, 5 } << QStringList { "luce", "leggero" } << "light"
            << "\r(Lez.1)   light = luce\r(Lez.2)   light = leggero";
        QTest::newRow("other light not selected")
            << toItalian << 1 << QList<int> { 1 } << QStringList { "luce" } << "light" << "\r(Lez.1)   light = luce";
        QTest::newRow("current not selected")
            << toItalian << 1 << QList<int> { 2 } << QStringList { "leggero" } << "light" << "\r(Lez.2)   light = leggero";
        QTest::newRow("remark in prompt matches first part")
            << toItalian << 3 << QList<int> { 3, 4 } << QStringList { "correre", "correre" } << "run"
            << "\r(Lez.5)   run (verb) = correre [v.]\r(Lez.5)   run (jog) = correre";
        QTest::newRow("from Italian: English alternatives")
            << toEnglish << 5 << QList<int> { 5 } << QStringList { "flat", "apartment", "flat" } << "appartamento"
            << "(Lez.7)   flat (apartment) = appartamento";
        QTest::newRow("from Italian: same Italian word")
            << toEnglish << 6 << QList<int> { 0, 6, 7 } << QStringList { "bright", "clear" } << "chiaro"
            << "\r(Lez.8)   bright = chiaro\r(Lez.9)   clear = chiaro";
        QTest::newRow("from Italian: bracket remark is part of the key")
            << toEnglish << 3 << QList<int> { 3, 4 } << QStringList { "run", "verb", "run" } << "correre [v.]"
            << "(Lez.5)   run (verb) = correre [v.]";
    }
    void collect()
    {
        QFETCH(int, direction);
        QFETCH(int, current);
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, accepted);
        QFETCH(QString, key);
        QFETCH(QString, synonyms);

        const WordTable words = table({
            { "12", "house", "casa (abitazione, dimora)" },
            { " 1", "light", "luce" },
            { "2", "light", "leggero" },
            { "5", "run (verb)", "correre [v.]" },
            { "5", "run (jog)", "correre" },
            { "7", "flat (apartment)", "appartamento" },
            { "8", "bright", "chiaro" },
            { "9", "clear", "chiaro" },
        });
        const Direction dir = Direction(direction);
        const QString prompt = Answers::trimTrailingBlanks(dir == Direction::EnglishToItalian ? words.Listin.at(current)
                                                                                             : words.Listit.at(current));
        AcceptedAnswers answers;
        answers.clear();
        answers.collectOwnAlternatives(words, current, dir);
        answers.collectSynonyms(words, among(selected), prompt, dir);
        QCOMPARE(answers.acceptedAnswers, accepted);
        QCOMPARE(answers.answerCount(), accepted.size());
        QCOMPARE(answers.promptKey, key);
        QCOMPARE(answers.synonymText, synonyms);
    }

    void acceptedAnswersStopAtTwenty()
    {
        QList<QStringList> rows { { "1", "go", "andare (a, b, c, d, e, f, g, h, i, j)" } };
        for (int i = 0; i < 15; ++i)
            rows.append({ "1", "go", QStringLiteral("v%1").arg(i) });
        const WordTable words = table(rows);
        QList<int> all;
        for (int i = 0; i < words.count(); ++i)
            all << i;
        AcceptedAnswers answers;
        answers.collectOwnAlternatives(words, 0, Direction::EnglishToItalian);
        answers.collectSynonyms(words, among(all), "go", Direction::EnglishToItalian);
        QCOMPARE(answers.answerCount(), Answers::MaxEntries);
        QCOMPARE(answers.acceptedAnswers.at(10), "j");
        QCOMPARE(answers.acceptedAnswers.at(11), "andare");
        QCOMPARE(answers.acceptedAnswers.last(), "v7");
        // Every other matching word still has its line in the message.
        QCOMPARE(answers.synonymText.count('\r'), 15);
    }

    void malformedPromptsFindThemselves_data()
    {
        QTest::addColumn<QString>("english");
        QTest::newRow("begins with open") << "(to) go";
        QTest::newRow("close before open") << "go) on (x";
    }
    void malformedPromptsFindThemselves()
    {
        QFETCH(QString, english);
        const WordTable words = table({ { "1", english, "andare" } });
        AcceptedAnswers answers;
        answers.collectOwnAlternatives(words, 0, Direction::EnglishToItalian);
        answers.collectSynonyms(words, among({ 0 }), english, Direction::EnglishToItalian);
        QCOMPARE(answers.promptKey, english);
        QCOMPARE(answers.acceptedAnswers, QStringList { "andare" });
    }
};

QTEST_GUILESS_MAIN(TestAnswers)
#include "tst_answers.moc"
