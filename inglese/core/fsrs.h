#pragma once

#include <array>
#include <cstdint>

// The memory model of the review: the Free Spaced Repetition Scheduler,
// version 6 (FSRS-6), as its authors publish it in their Python and Rust
// implementations: py-fsrs 6.3.2 and fsrs-rs's src/model.rs of the same time
// (a same-day Hard, Good or Easy never lowers the stability; the stability is
// kept between 0.001 and 36,500 days). A word's memory has a
// stability S (the days after which the chance of recalling it has fallen to
// 90%) and a difficulty D (1 to 10). Each answer, graded Again, Hard, Good or
// Easy, moves both; the next review is due when the chance of recall falls to
// the requested retention.
namespace Fsrs {

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

struct Memory
{
    double stability = 0; // days; 0 for a word never reviewed
    double difficulty = 0; // 1 .. 10
};

using Weights = std::array<double, 21>;
// The published default weights of version 6; w20 is the decay of the forgetting curve.
inline constexpr Weights DefaultWeights { 0.212, 1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,
    1.8722, 0.1666, 0.796, 1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542 };
inline constexpr double RequestedRetention = 0.9;
inline constexpr int MaximumInterval = 36500; // days
inline constexpr double MinStability = 0.001; // days
inline constexpr double MaxStability = 36500;

class Model
{
public:
    explicit Model(const Weights &weights = DefaultWeights, double retention = RequestedRetention);

    // The chance of recalling a word `elapsedDays` after its last review:
    // (1 + F t / S)^-w20, with F chosen so that the chance is 90% at t = S.
    double recall(double elapsedDays, double stability) const;

    // The memory after the first answer of a word never reviewed.
    Memory first(Grade grade) const;
    // The memory after an answer `elapsedDays` after the last review: the long
    // rule from the next day on, the same-day rule for another answer on one day.
    Memory next(const Memory &memory, double elapsedDays, Grade grade) const;
    // Whole days until the chance of recall falls to `retention` (the model's own when not given): at
    // least 1, at most MaximumInterval.
    int interval(double stability) const { return interval(stability, m_retention); }
    int interval(double stability, double retention) const;

    double initialDifficulty(Grade grade) const;
    double nextDifficulty(double difficulty, Grade grade) const;
    // After a recalled word (Hard, Good or Easy) at chance `r`; the factor of
    // Hard and Easy applies to those grades only.
    double stabilityAfterSuccess(const Memory &memory, double r, Grade grade) const;
    // After a forgotten word (Again) at chance `r`; never above what a same-day Again would leave.
    double stabilityAfterLapse(const Memory &memory, double r) const;
    // Another answer on the same day; a recalled word never loses stability by it.
    double stabilityShortTerm(double stability, Grade grade) const;

private:
    Weights w;
    double m_retention;
    double m_decay;
    double m_factor;
};

// The published "fuzz" of an interval: from 3 days on, the due date is drawn
// evenly within a few percent of it (15% of the days from 2.5 to 7, 10% from
// 7 to 20, 5% beyond, plus a day either way), so that words learned together
// do not all come back together.
struct Spread
{
    int shortest;
    int longest;
};
Spread spreadOf(int interval);
// The interval drawn with `draw` in [0, 1).
int spread(int interval, double draw);
// A draw in [0, 1) fixed by `seed`: the same word on the same day gets the same date.
double drawFrom(std::uint64_t seed);

} // namespace Fsrs
