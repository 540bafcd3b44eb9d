#include "answers.h"
#include "fakeplatform.h"
#include "helptext.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QFile>
#include <QSet>
#include <QTest>

// The vocabulary shipped with the program is what a new user drills first:
// it must load without a single complaint, fill every lesson, and every
// answer it accepts must be one the user can actually type to the end.
class TestSamples : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void vocabularyLoadsWithoutComplaint();
    void everyAcceptedAnswerCanBeCompleted_data();
    void everyAcceptedAnswerCanBeCompleted();
    void sharedPromptsAcceptEveryMeaning_data();
    void sharedPromptsAcceptEveryMeaning();
    void instructionsReadAsShortLines();
    void instructionsUseTheWindowsWords_data();
    void instructionsUseTheWindowsWords();

private:
    Vocabulary::FileText m_file;
    WordTable m_words;
    CriticalList m_memoc;
    FakePlatform m_platform;

    int rowOf(const QString &text, Direction direction) const;
    AcceptedAnswers answersFor(int row, Direction direction) const;
};

static const QString SamplesDir = QStringLiteral(INGLESE_SAMPLES_DIR);

void TestSamples::initTestCase()
{
    QString text;
    QVERIFY(Vocabulary::readFile(SamplesDir + QStringLiteral("/inglese.txt"), text));
    m_file = Vocabulary::splitFileText(text);
    QVERIFY(Vocabulary::parseWordList(m_file.wordText, m_words, m_memoc, 9, m_platform));
}

void TestSamples::vocabularyLoadsWithoutComplaint()
{
    // No "Riga ignorata ..." or any other message at start-up.
    for (const FakePlatform::Shown &shown : std::as_const(m_platform.shown))
        QFAIL(qPrintable(shown.title + QLatin1Char(' ') + shown.text));

    QVERIFY(m_words.count() >= 400);
    QVERIFY(!m_file.comments.isEmpty());

    // Every line keeps the fixed columns, so the list lines up under its headers.
    const QStringList lines = m_file.wordText.split(Vocabulary::CrLf, Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), m_words.count());
    for (const QString &line : lines)
        QVERIFY2(line.size() == 105, qPrintable(line));

    // Every lesson box of the options has words; lesson 0 is there for "Tutte".
    int perLesson[21] = {};
    for (int row = 0; row < m_words.count(); ++row) {
        const int lesson = m_words.lessonOf(row);
        QVERIFY2(lesson >= 0, qPrintable(m_words.Listc.at(row)));
        ++perLesson[lesson];
        QVERIFY(!Answers::answerOf(m_words.Listin.at(row)).isEmpty());
        QVERIFY(!Answers::answerOf(m_words.Listit.at(row)).isEmpty());
    }
    for (int lesson = 0; lesson <= 20; ++lesson)
        QVERIFY2(perLesson[lesson] >= (lesson == 0 ? 1 : 15), qPrintable(QString::number(lesson)));

    // A few words start critical, so the "Critici" order has something to ask.
    QVERIFY(m_memoc.count() > 0);

    // Saving the list unchanged is accepted and gives back the same file.
    QVERIFY(!Vocabulary::checkBeforeSave(m_file.wordText));
    const Vocabulary::FileText again =
        Vocabulary::splitFileText(Vocabulary::saveText(m_file.comments, m_file.wordText));
    QCOMPARE(again.comments, m_file.comments);
    QCOMPARE(again.wordText, m_file.wordText);
}

int TestSamples::rowOf(const QString &text, Direction direction) const
{
    const QStringList &prompts = direction == Direction::EnglishToItalian ? m_words.Listin : m_words.Listit;
    for (int row = 0; row < m_words.count(); ++row)
        if (Answers::trimBlanks(prompts.at(row)) == text)
            return row;
    return -1;
}

// The answers a drill accepts for a word when every lesson is chosen.
AcceptedAnswers TestSamples::answersFor(int row, Direction direction) const
{
    const QStringList &prompts = direction == Direction::EnglishToItalian ? m_words.Listin : m_words.Listit;
    AcceptedAnswers accepted;
    accepted.clear();
    accepted.collectOwnAlternatives(m_words, row, direction);
    accepted.collectSynonyms(m_words, [](int) { return true; }, Answers::trimTrailingBlanks(prompts.at(row)),
                             direction);
    return accepted;
}

void TestSamples::everyAcceptedAnswerCanBeCompleted_data()
{
    QTest::addColumn<Direction>("direction");
    QTest::newRow("English shown, Italian typed") << Direction::EnglishToItalian;
    QTest::newRow("Italian shown, English typed") << Direction::ItalianToEnglish;
}

// The typing follows the first accepted answer that begins with what was
// typed: an answer that is the beginning of an earlier one (say «bici» after
// «bicicletta») could never be completed.
void TestSamples::everyAcceptedAnswerCanBeCompleted()
{
    QFETCH(Direction, direction);
    for (int row = 0; row < m_words.count(); ++row) {
        const AcceptedAnswers accepted = answersFor(row, direction);
        QVERIFY(accepted.answerCount() >= 1);
        for (const QString &answer : accepted.acceptedAnswers) {
            QString followed;
            for (const QString &candidate : accepted.acceptedAnswers) {
                if (candidate.startsWith(answer)) {
                    followed = candidate;
                    break;
                }
            }
            QVERIFY2(followed == answer,
                     qPrintable(QStringLiteral("%1: «%2» is swallowed by «%3»")
                                    .arg(Answers::messageLine(m_words, row), answer, followed)));
        }
    }
}

void TestSamples::sharedPromptsAcceptEveryMeaning_data()
{
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QStringList>("expected");

    // The examples the instructions and the file's own header give.
    QTest::newRow("light") << Direction::EnglishToItalian << "light" << QStringList { "luce", "leggero" };
    // Asked as «destra»: the other word adds its answer «giusto» (its own
    // alternative «corretto» counts only when that word itself is asked).
    QTest::newRow("right") << Direction::EnglishToItalian << "right" << QStringList { "destra", "giusto" };
    QTest::newRow("to play") << Direction::EnglishToItalian << "to play" << QStringList { "giocare", "suonare" };
    QTest::newRow("casa") << Direction::ItalianToEnglish << "casa (abitazione, dimora)"
                          << QStringList { "house", "home" };
    QTest::newRow("nipote") << Direction::ItalianToEnglish << "nipote"
                            << QStringList { "nephew", "niece", "grandson", "granddaughter" };
    QTest::newRow("tempo") << Direction::ItalianToEnglish << "tempo" << QStringList { "time", "weather" };
}

void TestSamples::sharedPromptsAcceptEveryMeaning()
{
    QFETCH(Direction, direction);
    QFETCH(QString, prompt);
    QFETCH(QStringList, expected);

    const int row = rowOf(prompt, direction);
    QVERIFY(row >= 0);
    const AcceptedAnswers accepted = answersFor(row, direction);
    const QSet<QString> got(accepted.acceptedAnswers.cbegin(), accepted.acceptedAnswers.cend());
    QCOMPARE(got, QSet<QString>(expected.cbegin(), expected.cend()));
    QVERIFY(accepted.answerCount() > 1); // so the synonyms message is shown
}

static QStringList instructions()
{
    QFile file(SamplesDir + QStringLiteral("/aiutoV5.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return helpLines(file.readAll());
}

// The instructions window lists the file one line per entry: every line must
// fit the list's width, and the text must end with its last real line.
void TestSamples::instructionsReadAsShortLines()
{
    const QStringList lines = instructions();
    QVERIFY(lines.size() >= 100);
    for (const QString &line : lines) {
        QVERIFY2(line.size() <= 70, qPrintable(line));
        QVERIFY(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        QVERIFY(!line.contains(QChar::ReplacementCharacter));
    }
    QVERIFY(!lines.last().trimmed().isEmpty());
}

void TestSamples::instructionsUseTheWindowsWords_data()
{
    QTest::addColumn<QString>("words");
    // Menu entries, buttons and options exactly as the windows show them.
    for (const char *words : { "Aggiorna Vocaboli", "Salva Aggiornamenti", "Modifica Scelte...",
                               "Istruzioni Generali", "Regole della Prova", "Ingl -> Ital", "Ital -> Ingl",
                               "FINE", "A caso", "Avanti", "Indietro", "Critici", "Tutte", "Daccapo",
                               "Via!", "Aiuto", "Ritorno", "Un altro?", "Sei lento!", "Allora?",
                               "Già fatti", "1000 punti" })
        QTest::newRow(words) << QString::fromUtf8(words);
}

void TestSamples::instructionsUseTheWindowsWords()
{
    QFETCH(QString, words);
    QVERIFY(instructions().join(QLatin1Char(' ')).contains(words));
}

QTEST_MAIN(TestSamples)
#include "tst_samples.moc"
