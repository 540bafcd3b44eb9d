#pragma once

#include <array>

// The memory model of the review: the Free Spaced Repetition Scheduler,
// version 5, as its authors publish it. A word's memory has a stability S (the
// days after which the chance of recalling it has fallen to 90%) and a
// difficulty D (1 to 10). Each answer, graded Again, Hard, Good or Easy, moves
// both; the next review is due when the chance of recall falls to the
// requested retention.
namespace Fsrs {

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

struct Memory
{
    double stability = 0; // days; 0 for a word never reviewed
    double difficulty = 0; // 1 .. 10
};

using Weights = std::array<double, 19>;
// The published default weights of version 5.
inline constexpr Weights DefaultWeights { 0.40255, 1.18385, 3.173, 15.69105, 7.1949, 0.5345, 1.4604, 0.0046,
    1.54575, 0.1192, 1.01925, 1.9395, 0.11, 0.29605, 2.2698, 0.2315, 2.9898, 0.51655, 0.6621 };
inline constexpr double RequestedRetention = 0.9;
inline constexpr int MaximumInterval = 36500; // days

// The chance of recalling a word `elapsedDays` after its last review:
// (1 + F t / S)^-0.5, with F chosen so that the chance is 90% at t = S.
double recall(double elapsedDays, double stability);

class Model
{
public:
    explicit Model(const Weights &weights = DefaultWeights)
        : w(weights)
    {
    }

    // The memory after the first answer of a word never reviewed.
    Memory first(Grade grade) const;
    // The memory after an answer `elapsedDays` after the last review: the long
    // rule from the second day on, the short one for a second answer on one day.
    Memory next(const Memory &memory, double elapsedDays, Grade grade) const;
    // Whole days until the chance of recall falls to the requested retention:
    // at least 1, at most MaximumInterval.
    static int interval(double stability, double retention = RequestedRetention);

    double initialDifficulty(Grade grade) const;
    double nextDifficulty(double difficulty, Grade grade) const;
    // After a recalled word (Hard, Good or Easy) at chance `r`; the factor of
    // Hard and Easy applies to those grades only.
    double stabilityAfterSuccess(const Memory &memory, double r, Grade grade) const;
    // After a forgotten word (Again) at chance `r`; never above the stability before.
    double stabilityAfterLapse(const Memory &memory, double r) const;
    double stabilityShortTerm(double stability, Grade grade) const;

private:
    Weights w;
};

} // namespace Fsrs
