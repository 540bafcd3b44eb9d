// The review against the critical list, on a simulated learner.
//
// A learner meets the 495 sample words and studies for 90 days. Its memory of
// each word follows the review's own forgetting curve and stability rules, with
// a difficulty of its own per word drawn at random (fixed seed): a word asked
// t days after its last meeting is recalled with chance (1 + 19/81 t / S)^-0.5.
// A word recalled is answered within its free time (graded Good); a word
// forgotten is answered with help (graded Again) and learned again. The first
// meeting of a word is always with help. Ten new words a day, in file order,
// in every way of studying.
//
// The ways of studying, every day:
//   critici       the "Critici" order: every word of the critical list once
//                 (a word answered in time leaves the list), then the new words
//                 (met with help, so they enter the list);
//   tutte+critici a forward pass over every word met so far, then "Critici";
//                 also with that pass every third or seventh day only;
//   ripasso       F6 with its default limits (50 words a day, 10 of them new).
// Reported: the questions asked in 90 days and, on day 90, the share of the
// 495 words recalled (expected and drawn).
#include "benchplatform.h"
#include "fsrs.h"
#include "review.h"
#include "selection.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QCoreApplication>
#include <QTextStream>

#include <random>

namespace {
constexpr int Days = 90;
constexpr int NewPerDay = 10;
constexpr unsigned Seed = 20261207;

struct Word
{
    double difficulty = 5; // the learner's own, drawn at random
    double stability = 0; // the learner's memory; 0 until met
    int lastDay = 0;
};

struct Outcome
{
    long long questions = 0;
    int met = 0;
    double expected = 0; // share recalled on day 90, expected
    double drawn = 0; // share recalled on day 90, one draw
};

class Learner
{
public:
    Learner(int words, unsigned seed)
        : m_random(seed)
        , m_words(std::size_t(words))
    {
        std::uniform_real_distribution<double> difficulty(1, 10);
        for (Word &w : m_words)
            w.difficulty = difficulty(m_random);
    }

    // Asks word `i` on `day`: true when recalled. Either way the memory moves on.
    bool ask(int i, int day)
    {
        ++m_questions;
        Word &w = m_words[std::size_t(i)];
        if (w.stability <= 0) {
            w.stability = Fsrs::DefaultWeights[0];
            w.lastDay = day;
            return false;
        }
        const double r = m_model.recall(day - w.lastDay, w.stability);
        const bool recalled = std::uniform_real_distribution<double>(0, 1)(m_random) < r;
        const Fsrs::Memory memory { w.stability, w.difficulty };
        if (day > w.lastDay)
            w.stability = recalled ? m_model.stabilityAfterSuccess(memory, r, Fsrs::Grade::Good)
                                   : m_model.stabilityAfterLapse(memory, r);
        w.lastDay = day;
        return recalled;
    }

    Outcome testOn(int day)
    {
        Outcome o;
        o.questions = m_questions;
        for (const Word &w : m_words) {
            if (w.stability <= 0)
                continue;
            ++o.met;
            const double r = m_model.recall(day - w.lastDay, w.stability);
            o.expected += r;
            o.drawn += std::uniform_real_distribution<double>(0, 1)(m_random) < r;
        }
        o.expected /= double(m_words.size());
        o.drawn /= double(m_words.size());
        return o;
    }

private:
    std::mt19937_64 m_random;
    std::vector<Word> m_words;
    Fsrs::Model m_model;
    long long m_questions = 0;
};

// `passEvery`: a forward pass over every word met so far every that many days (0: never).
Outcome critical(int count, int passEvery)
{
    Learner learner(count, Seed);
    QList<bool> isCritical(count, false);
    int next = 0;
    for (int day = 0; day < Days; ++day) {
        if (passEvery > 0 && day % passEvery == 0) {
            for (int i = 0; i < next; ++i)
                isCritical[i] = !learner.ask(i, day) || isCritical[i];
        }
        for (int i = 0; i < next; ++i)
            if (isCritical[i])
                isCritical[i] = !learner.ask(i, day);
        for (int n = 0; n < NewPerDay && next < count; ++n, ++next)
            isCritical[next] = !learner.ask(next, day);
    }
    return learner.testOn(Days);
}

Outcome review(const WordTable &words)
{
    const int count = words.count();
    Learner learner(count, Seed);
    Review::Store store;
    store.setLimits({ 50, NewPerDay });
    const SelectionOptions all;
    const QDate start(2026, 1, 5);
    for (int day = 0; day < Days; ++day) {
        const QDate today = start.addDays(day);
        for (int row : Review::plan(words, all, store, today, Direction::EnglishToItalian).rows) {
            const bool recalled = learner.ask(row, day);
            store.answer(words.english(row), words.italian(row), Direction::EnglishToItalian,
                recalled ? Fsrs::Grade::Good : Fsrs::Grade::Again, today);
        }
    }
    return learner.testOn(Days);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString path
        = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(INGLESE_SAMPLES_DIR "/inglese.txt");
    const UserFile::Text read = Vocabulary::readFile(path);
    if (!read) {
        QTextStream(stderr) << "cannot read " << path << "\n";
        return 1;
    }
    BenchPlatform platform;
    WordTable words;
    CriticalList memoc;
    Vocabulary::parseWordList(Vocabulary::splitFileText(read.text).wordText, words, memoc, false, platform);
    // One learner's word each: the same texts twice would be one word of the review.
    QTextStream out(stdout);
    out << words.count() << " words, " << Days << " days, " << NewPerDay << " new words a day, seed " << Seed
        << "\n\n";
    out << qSetFieldWidth(16) << Qt::left << "way"
        << "questions"
        << "met"
        << "recalled(exp)"
        << "recalled(draw)" << qSetFieldWidth(0) << "\n";
    const auto show = [&](const char *name, const Outcome &o) {
        out << qSetFieldWidth(16) << name << QString::number(o.questions) << QString::number(o.met)
            << QString::number(100 * o.expected, 'f', 1) + u'%'
            << QString::number(100 * o.drawn, 'f', 1) + u'%' << qSetFieldWidth(0) << "\n";
    };
    show("critici", critical(words.count(), 0));
    show("tutte/7+critici", critical(words.count(), 7));
    show("tutte/3+critici", critical(words.count(), 3));
    show("tutte+critici", critical(words.count(), 1));
    show("ripasso", review(words));
    return 0;
}
