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
        words.append(r.at(0).leftJustified(4), r.at(1).leftJustified(50), r.at(2).leftJustified(50));
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
        QTest::newRow("none, outer blanks") << "  casa  " << QStringList { "casa" };
        QTest::newRow("no closing") << "casa (abitazione, dimora" << QStringList { "casa", "abitazione", "dimora" };
        QTest::newRow("blanks inside") << "to go ( andare ,  partire )" << QStringList { "to go", "andare", "partire" };
        QTest::newRow("comma outside") << "a (b) c, d" << QStringList { "a", "b" };
        QTest::newRow("empty brackets") << "casa ()" << QStringList { "casa", "" };
        QTest::newRow("begins with open") << "(to) go" << QStringList { "(to) go" };
        QTest::newRow("close before open") << "a) b (c, d)" << QStringList { "a) b (c, d)" };
        QStringList many { "x" };
        for (int i = 1; i <= 30; ++i)
            many << QStringLiteral("w%1").arg(i);
        QTest::newRow("twenty entries at most")
            << "x (" + many.mid(1).join(", ") + ")" << many.mid(0, Answers::MaxEntries);
    }
    void splitAlternatives()
    {
        QFETCH(QString, text);
        QTEST(Answers::splitAlternatives(text), "parts");
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
        QTest::newRow("begins with open") << "(to) go" << "(to) go" << "go";
    }
    void promptKeyAndAnswer()
    {
        QFETCH(QString, text);
        QTEST(Answers::promptKey(text), "key");
        QTEST(Answers::answerOf(text), "answer");
    }

    // Accepted answers and synonyms text in both directions.
    void collect_data()
    {
        QTest::addColumn<bool>("toEnglish");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("synonyms");

        using L = QList<int>;
        using S = QStringList;
        const L all { 0, 1, 2, 3, 4, 5 };
        QTest::newRow("own alternatives, then itself") << false << 0 << all << S { "casa", "abitazione", "dimora", "casa" }
                                                       << "house" << "(Lez.12)   house = casa (abitazione, dimora)";
        QTest::newRow("two light words") << false << 1 << all << S { "luce", "leggero" } << "light"
                                         << "\r(Lez.1)   light = luce\r(Lez.2)   light = leggero";
        QTest::newRow("current not selected")
            << false << 1 << L { 2 } << S { "luce", "leggero" } << "light" << "\r(Lez.2)   light = leggero";
        QTest::newRow("remark in prompt matches first part")
            << false << 3 << L { 3, 4 } << S { "correre", "correre" } << "run"
            << "\r(Lez.5)   run (verb) = correre [v.]\r(Lez.5)   run (jog) = correre";
        QTest::newRow("from Italian: English alternatives") << true << 5 << L { 5 } << S { "flat", "apartment", "flat" }
                                                            << "appartamento" << "(Lez.7)   flat (apartment) = appartamento";
        QTest::newRow("from Italian: same Italian word") << true << 6 << L { 0, 6, 7 } << S { "bright", "clear" }
                                                         << "chiaro" << "\r(Lez.8)   bright = chiaro\r(Lez.9)   clear = chiaro";
        QTest::newRow("from Italian: bracket remark is part of the key")
            << true << 3 << L { 3, 4 } << S { "run", "verb", "run" } << "correre [v.]" << "(Lez.5)   run (verb) = correre [v.]";
        QTest::newRow("prompt beginning with an open bracket")
            << false << 8 << L { 8 } << S { "andare" } << "(to) go" << "\r(Lez.1)   (to) go = andare";
        QTest::newRow("prompt closing before it opens")
            << false << 9 << L { 9 } << S { "avanti" } << "go) on (x" << "\r(Lez.1)   go) on (x = avanti";
    }
    void collect()
    {
        QFETCH(bool, toEnglish);
        QFETCH(int, current);
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, accepted);

        const WordTable words = table({
            { "12", "house", "casa (abitazione, dimora)" },
            { " 1", "light", "luce" },
            { "2", "light", "leggero" },
            { "5", "run (verb)", "correre [v.]" },
            { "5", "run (jog)", "correre" },
            { "7", "flat (apartment)", "appartamento" },
            { "8", "bright", "chiaro" },
            { "9", "clear", "chiaro" },
            { "1", "(to) go", "andare" },
            { "1", "go) on (x", "avanti" },
        });
        const Direction dir = toEnglish ? Direction::ItalianToEnglish : Direction::EnglishToItalian;
        const QString prompt = Answers::trimTrailingBlanks(toEnglish ? words.italian(current) : words.english(current));
        AcceptedAnswers answers;
        answers.clear();
        answers.collectOwnAlternatives(words, current, dir);
        answers.collectSynonyms(words, among(selected), prompt, dir);
        QCOMPARE(answers.acceptedAnswers, accepted);
        QCOMPARE(answers.answerCount(), accepted.size());
        QTEST(answers.promptKey, "key");
        QTEST(answers.synonymText, "synonyms");
    }

    void acceptedAnswersStopAtTwenty()
    {
        QList<QStringList> rows { { "1", "go", "andare (a, b, c, d, e, f, g, h, i, j)" } };
        for (int i = 0; i < 15; ++i)
            rows.append({ "1", "go", QStringLiteral("v%1").arg(i) });
        const WordTable words = table(rows);
        AcceptedAnswers answers;
        answers.collectOwnAlternatives(words, 0, Direction::EnglishToItalian);
        answers.collectSynonyms(words, [](int) { return true; }, "go", Direction::EnglishToItalian);
        QCOMPARE(answers.answerCount(), Answers::MaxEntries);
        QCOMPARE(answers.acceptedAnswers.at(10), "j");
        QCOMPARE(answers.acceptedAnswers.at(11), "andare");
        QCOMPARE(answers.acceptedAnswers.last(), "v7");
        // Every other matching word still has its line in the message.
        QCOMPARE(answers.synonymText.count('\r'), 15);
    }

    // The same answers object serves every question of a run, while a save
    // rebuilds the word table and edits change its texts: the synonyms always
    // come from the table as it is now.
    void synonymsFollowTheTableAsItChanges()
    {
        WordTable words = table({ { "1", "light", "luce" }, { "2", "dark", "buio" } });
        AcceptedAnswers answers;
        const auto collect = [&](const QString &prompt) {
            answers.clear();
            answers.collectSynonyms(words, [](int) { return true; }, prompt, Direction::EnglishToItalian);
            return answers.acceptedAnswers;
        };
        QCOMPARE(collect("light"), QStringList { "luce" });
        words.append(u"3   ", QStringLiteral("light (lamp)").leftJustified(50), u"leggero");
        QCOMPARE(collect("light"), QStringList({ "luce", "leggero" }));
        words = table(
            { { "1", "light", "luce" }, { "2", "light", "buio" }, { "3", "light (lamp)", "leggero" } });
        QCOMPARE(collect("light"), QStringList({ "luce", "buio", "leggero" }));
        words = table({ { "4", "dark (night)", "notte" } });
        QCOMPARE(collect("light"), QStringList());
        QCOMPARE(collect("dark"), QStringList { "notte" });
    }
};

QTEST_GUILESS_MAIN(TestAnswers)
#include "tst_answers.moc"
