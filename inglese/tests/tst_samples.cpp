#include "answers.h"
#include "fakeplatform.h"
#include "helptext.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QFile>
#include <QTest>

namespace {
const QString SamplesDir = QStringLiteral(INGLESE_SAMPLES_DIR);
}

// The vocabulary shipped with the program is what a new user drills first:
// it must load without a single complaint, fill every lesson, and every
// answer it accepts must be one the user can actually type to the end.
class TestSamples : public QObject
{
    Q_OBJECT

    Vocabulary::FileText m_file;
    WordTable m_words;
    CriticalList m_memoc;
    FakePlatform m_platform;

    // The answers a drill accepts for a word when every lesson is chosen.
    AcceptedAnswers answersFor(int row, Direction direction) const
    {
        const QStringView prompt = direction == Direction::EnglishToItalian ? m_words.english(row) : m_words.italian(row);
        AcceptedAnswers accepted;
        accepted.clear();
        accepted.collectOwnAlternatives(m_words, row, direction);
        accepted.collectSynonyms(m_words, [](int) { return true; }, Answers::trimTrailingBlanks(prompt),
                                 direction);
        return accepted;
    }

private slots:
    void initTestCase()
    {
        QString text;
        QVERIFY(Vocabulary::readFile(SamplesDir + QStringLiteral("/inglese.txt"), text));
        m_file = Vocabulary::splitFileText(text);
        QVERIFY(Vocabulary::parseWordList(m_file.wordText, m_words, m_memoc, 9, m_platform));
    }

    void vocabularyLoadsWithoutComplaint()
    {
        // No "Riga ignorata ..." or any other message at start-up.
        for (const FakePlatform::Shown &shown : std::as_const(m_platform.shown))
            QFAIL(qPrintable(shown.title + QLatin1Char(' ') + shown.text));
        QVERIFY(m_words.count() >= 400);
        QVERIFY(!m_file.comments.isEmpty());
        QVERIFY(m_memoc.count() > 0); // so the "Critici" order has something to ask

        // Every line keeps the fixed columns, so the list lines up under its headers.
        const QStringList lines = m_file.wordText.split(Vocabulary::CrLf, Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), m_words.count());
        for (const QString &line : lines)
            QVERIFY2(line.size() == 105, qPrintable(line));

        // Every lesson box of the options has words; lesson 0 is there for "Tutte".
        int perLesson[21] = {};
        for (int row = 0; row < m_words.count(); ++row) {
            const int lesson = m_words.lessonOf(row);
            QVERIFY2(lesson >= 0, qPrintable(m_words.lessonField(row)));
            ++perLesson[lesson];
        }
        for (int lesson = 0; lesson <= 20; ++lesson)
            QVERIFY2(perLesson[lesson] >= (lesson == 0 ? 1 : 15), qPrintable(QString::number(lesson)));

        // Saving the list unchanged is accepted and gives back the same file.
        QVERIFY(!Vocabulary::checkBeforeSave(m_file.wordText));
        const auto again = Vocabulary::splitFileText(Vocabulary::saveText(m_file.comments, m_file.wordText));
        QCOMPARE(again.comments, m_file.comments);
        QCOMPARE(again.wordText, m_file.wordText);
    }

    void everyAcceptedAnswerCanBeCompleted_data()
    {
        QTest::addColumn<Direction>("direction");
        QTest::newRow("English shown, Italian typed") << Direction::EnglishToItalian;
        QTest::newRow("Italian shown, English typed") << Direction::ItalianToEnglish;
    }
    // The typing follows the first accepted answer that begins with what was
    // typed: an answer that is the beginning of an earlier one (say «bici»
    // after «bicicletta») could never be completed. Prompts shared by several
    // words must give synonyms.
    void everyAcceptedAnswerCanBeCompleted()
    {
        QFETCH(Direction, direction);
        int shared = 0;
        for (int row = 0; row < m_words.count(); ++row) {
            const AcceptedAnswers answers = answersFor(row, direction);
            const QStringList &accepted = answers.acceptedAnswers;
            QVERIFY2(!accepted.isEmpty() && !accepted.first().isEmpty(),
                qPrintable(m_words.english(row).toString()));
            shared += answers.synonymText.count(QLatin1Char('\r')) > 1; // several words share the prompt
            for (const QString &answer : accepted) {
                const auto followed = std::find_if(accepted.cbegin(), accepted.cend(),
                                                   [&](const QString &c) { return c.startsWith(answer); });
                QVERIFY2(*followed == answer, qPrintable(QStringLiteral("%1: «%2» is swallowed by «%3»")
                                                             .arg(Answers::messageLine(m_words, row), answer, *followed)));
            }
        }
        QVERIFY(shared >= 10);
    }

    // The instructions window lists the file one line per entry: every line
    // must fit the list's width, the text must end with its last real line,
    // and it names the controls exactly as the windows show them.
    void instructionsReadAsShortLines()
    {
        QFile file(SamplesDir + QStringLiteral("/aiutoV5.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = helpLines(file.readAll());
        QVERIFY(lines.size() >= 100);
        for (const QString &line : lines) {
            QVERIFY2(line.size() <= 70, qPrintable(line));
            QVERIFY(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
            QVERIFY(!line.contains(QChar::ReplacementCharacter));
        }
        QVERIFY(!lines.last().trimmed().isEmpty());
        const QString all = lines.join(QLatin1Char(' '));
        for (const char *words : { "Aggiorna Vocaboli", "Salva Aggiornamenti", "Modifica Scelte...",
                                   "Istruzioni Generali", "Regole della Prova", "Ingl -> Ital", "Ital -> Ingl",
                                   "FINE", "A caso", "Avanti", "Indietro", "Critici", "Tutte", "Daccapo", "Via!",
                                   "Aiuto", "Ritorno", "Un altro?", "Sei lento!", "Allora?", "Già fatti", "1000 punti" })
            QVERIFY2(all.contains(QString::fromUtf8(words)), words);
    }
};

QTEST_MAIN(TestSamples)
#include "tst_samples.moc"
