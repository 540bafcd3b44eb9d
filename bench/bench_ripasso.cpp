// The review against the critical list, on a simulated learner; then the reading of a large
// ripasso.tsv against reading the same file's bytes.
//
// A learner meets the 495 sample words and studies for 90 days. The learner forgets by the review's
// own model (FSRS-6 with its default weights): each word has a difficulty of its own, drawn at
// random (fixed seed), and its stability moves by the model's rules with the grade the drill gives
// the answer. So the figures test the scheduler against its own model of memory, not pupils.
//
// An answer follows the drill's rules (Review::gradeOf): a word asked t days after its last meeting
// is recalled with chance R = (1 + F t / S)^-w20. Recalled, it is typed in a time drawn from R (the
// stronger the memory, the quicker; a mean of 1 + 12 (1 - R) seconds after the first): Easy in under a
// third of the free time, Good within it, Hard after it; one answer in twenty has a slip (a wrong
// letter, taken back), which turns the text red: Again. Forgotten, it is typed wrong and then helped:
// Again. The first meeting of a word is always with help. Ten new words a day, in file order, in every
// way.
//
// The ways of studying, every day:
//   critici       the "Critici" order: every word of the critical list once (a word answered in
//                 time leaves the list; one answered late or with help enters it), then the new
//                 words (met with help, so they enter the list);
//   tutte/N+critici  a forward pass over every word met so far every N days, then "Critici";
//   ripasso       F6 with its default limits (50 words a day, 10 of them new), the words failed or
//                 new asked once more at the end of the day's round, at the requested retention of
//                 90%; and, with no daily limit but the ten new words, at the retention that brings
//                 it to the recall of a weekly pass.
// Reported: the questions asked in 90 days, the share of the 495 words recalled on day 90 (expected),
// and the share recalled 30 days after the last study day (expected).
//
// `bench_ripasso --file [lines]` writes a ripasso.tsv of a million lines (words that are not in the
// vocabulary, as after years of renamed words) and times its reading with the sample vocabulary and
// today's words, against reading the file's bytes, with the memory each takes.
#include "benchplatform.h"
#include "drill.h"
#include "fsrs.h"
#include "review.h"
#include "selection.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <random>

namespace {
constexpr int Days = 90;
constexpr int Later = 30; // days after the last study day
constexpr int NewPerDay = 10;
constexpr unsigned Seed = 20261207;
constexpr double SlipChance = 0.05;

struct Outcome
{
    long long questions = 0;
    double recalled = 0; // share recalled on day 90, expected
    double later = 0; // 30 days after
};

class Learner
{
public:
    Learner(const WordTable &words, unsigned seed)
        : m_random(seed)
        , m_words(std::size_t(words.count()))
    {
        std::uniform_real_distribution<double> difficulty(1, 10);
        for (std::size_t i = 0; i < m_words.size(); ++i) {
            m_words[i].memory.difficulty = difficulty(m_random);
            m_words[i].freeTime = Drill::freeTimeFor(words.italian(int(i)).trimmed().toString());
        }
    }

    // Word `i` asked on `day`: the grade the drill gives the answer; the memory moves on by it.
    Fsrs::Grade ask(int i, int day)
    {
        ++m_questions;
        Word &w = m_words[std::size_t(i)];
        Review::AnswerFacts facts { .freeTime = w.freeTime };
        if (w.memory.stability <= 0) {
            facts.helpShown = true;
        } else {
            const double r = m_model.recall(day - w.lastDay, w.memory.stability);
            if (chance() < r) {
                const double mean = 1 + 12 * (1 - r);
                facts.elapsedSeconds = 1 + int(std::exponential_distribution<double>(1 / mean)(m_random));
                facts.wentWrong = chance() < SlipChance;
            } else {
                facts.wentWrong = facts.helpShown = true;
            }
        }
        const Fsrs::Grade grade = Review::gradeOf(facts);
        const double difficulty = w.memory.difficulty;
        w.memory = w.memory.stability <= 0 ? Fsrs::Memory { m_model.first(grade).stability, difficulty }
                                           : m_model.next(w.memory, day - w.lastDay, grade);
        w.memory.difficulty = difficulty; // the learner's own
        w.lastDay = day;
        return grade;
    }

    Outcome outcome() const
    {
        Outcome o;
        o.questions = m_questions;
        for (const Word &w : m_words) {
            o.recalled += m_model.recall(Days - w.lastDay, w.memory.stability);
            o.later += m_model.recall(Days + Later - w.lastDay, w.memory.stability);
        }
        o.recalled /= double(m_words.size());
        o.later /= double(m_words.size());
        return o;
    }

private:
    struct Word
    {
        Fsrs::Memory memory; // stability 0 until met
        int lastDay = 0;
        int freeTime = 10;
    };

    double chance() { return std::uniform_real_distribution<double>(0, 1)(m_random); }

    std::mt19937_64 m_random;
    std::vector<Word> m_words;
    Fsrs::Model m_model;
    long long m_questions = 0;
};

// `passEvery`: a forward pass over every word met so far every that many days (0: never).
Outcome critical(const WordTable &words, int passEvery)
{
    Learner learner(words, Seed);
    const int count = words.count();
    QList<bool> isCritical(count, false);
    // Late (Hard) or helped (Again, unless a slip alone) words enter the list; the others leave it.
    const auto critical = [](Fsrs::Grade g) { return g == Fsrs::Grade::Hard || g == Fsrs::Grade::Again; };
    int next = 0;
    for (int day = 0; day < Days; ++day) {
        if (passEvery > 0 && day % passEvery == 0) {
            for (int i = 0; i < next; ++i)
                isCritical[i] = critical(learner.ask(i, day)) || isCritical[i];
        }
        for (int i = 0; i < next; ++i)
            if (isCritical[i])
                isCritical[i] = critical(learner.ask(i, day));
        for (int n = 0; n < NewPerDay && next < count; ++n, ++next)
            isCritical[next] = critical(learner.ask(next, day));
    }
    return learner.outcome();
}

Outcome review(const WordTable &words, double retention, int daily = 50)
{
    Learner learner(words, Seed);
    Review::Store store;
    store.setLimits({ daily, NewPerDay });
    const Fsrs::Model model(Fsrs::DefaultWeights, retention);
    const SelectionOptions all;
    const QDate start(2026, 1, 5);
    for (int day = 0; day < Days; ++day) {
        const QDate today = start.addDays(day);
        QList<int> again;
        const auto answer = [&](int row, bool repeat) {
            const bool fresh
                = !store.find(words.english(row), words.italian(row), Direction::EnglishToItalian);
            const Fsrs::Grade grade = learner.ask(row, day);
            store.answer(
                words.english(row), words.italian(row), Direction::EnglishToItalian, grade, today, model);
            if (!repeat && (fresh || grade == Fsrs::Grade::Again))
                again.append(row);
        };
        for (int row : Review::plan(words, all, store, today, Direction::EnglishToItalian).rows)
            answer(row, false);
        for (int row : QList<int>(again))
            answer(row, true);
    }
    return learner.outcome();
}

// Times reading a ripasso.tsv of `lines` lines of words not in the vocabulary.
int readFile(const WordTable &words, int lines, QTextStream &out)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ripasso.tsv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("inglese\titaliano\tdirezione\tstabilita\tdifficolta\tprimo_ripasso\tultimo_ripasso\t"
                   "scadenza\tripassi\tdimenticanze\n#limiti\t50\t10\n");
        for (int i = 0; i < lines; ++i)
            file.write('w' + QByteArray::number(i) + "\tp" + QByteArray::number(i)
                + (i % 2 ? "\tita->ing\t" : "\ting->ita\t") + QByteArray::number(3.17 + i % 97, 'f', 2)
                + "\t5.3\t\t2026-12-01\t2026-12-" + QByteArray::number(10 + i % 18) + '\t'
                + QByteArray::number(1 + i % 5) + "\t0\n");
    }
    const qint64 size = QFileInfo(path).size();
    const char *statusNames[] = { "missing", "read", "another version", "unreadable" };
    const long before = peakKilobytes();
    QElapsedTimer timer;
    timer.start();
    Review::Store store;
    store.read(path, &words);
    const int rows
        = int(Review::plan(words, {}, store, { 2026, 12, 5 }, Direction::EnglishToItalian).rows.size());
    const qint64 storeTime = timer.nsecsElapsed();
    const long storePeak = peakKilobytes();
    timer.restart();
    store.refresh(path, &words);
    const qint64 refreshTime = timer.nsecsElapsed();
    timer.restart();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.readAll().size() != size)
        return 1;
    const qint64 bytesTime = timer.nsecsElapsed();
    const long bytesPeak = peakKilobytes();
    out << lines << " lines, " << size / 1024 / 1024 << " MB, " << statusNames[int(store.status())] << "; "
        << rows << " words today, " << store.leftOut() << " lines left out\n";
    out << "read, kept lines and today's words: " << storeTime / 1000000 << " ms, "
        << QString::number(double(storeTime) / double(bytesTime), 'f', 1) << " times the bytes' "
        << bytesTime / 1000000 << " ms; again while unchanged: " << refreshTime / 1000 << " us\n";
    out << "peak memory: " << (storePeak - before) / 1024 << " MB more for the store, "
        << (bytesPeak - before) / 1024 << " MB more with the bytes read whole\n";
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool file = args.value(0) == QStringLiteral("--file");
    const QString path
        = !file && !args.isEmpty() ? args[0] : QStringLiteral(INGLESE_SAMPLES_DIR "/inglese.txt");
    const UserFile::Text read = Vocabulary::readFile(path);
    if (!read) {
        QTextStream(stderr) << "cannot read " << path << "\n";
        return 1;
    }
    BenchPlatform platform;
    WordTable words;
    CriticalList memoc;
    Vocabulary::parseWordList(Vocabulary::splitFileText(read.text).wordText, words, memoc, false, platform);
    QTextStream out(stdout);
    if (file)
        return readFile(words, args.value(1, QStringLiteral("1000000")).toInt(), out);

    out << words.count() << " words, " << Days << " days, " << NewPerDay << " new words a day, seed " << Seed
        << "\n\n";
    out << qSetFieldWidth(18) << Qt::left << "way"
        << "questions"
        << "recalled, day 90"
        << "30 days later" << qSetFieldWidth(0) << "\n";
    const auto show = [&](const QString &name, const Outcome &o) {
        out << qSetFieldWidth(18) << name << QString::number(o.questions)
            << QString::number(100 * o.recalled, 'f', 1) + u'%'
            << QString::number(100 * o.later, 'f', 1) + u'%' << qSetFieldWidth(0) << "\n";
    };
    show(QStringLiteral("critici"), critical(words, 0));
    const Outcome weekly = critical(words, 7);
    show(QStringLiteral("tutte/7+critici"), weekly);
    show(QStringLiteral("tutte/3+critici"), critical(words, 3));
    show(QStringLiteral("tutte+critici"), critical(words, 1));
    show(QStringLiteral("ripasso 0.90"), review(words, Fsrs::RequestedRetention));
    // The requested retention at which the review recalls as much as the weekly pass, by bisection;
    // without a daily limit, which would hold back the new words when many are due.
    double low = 0.7, high = 0.99;
    for (int i = 0; i < 12; ++i) {
        const double mid = (low + high) / 2;
        (review(words, mid, Review::Limits::Most).recalled < weekly.recalled ? low : high) = mid;
    }
    show(QStringLiteral("ripasso %1").arg(high, 0, 'f', 3), review(words, high, Review::Limits::Most));
    return 0;
}
