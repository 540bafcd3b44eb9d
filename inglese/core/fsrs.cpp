#include "fsrs.h"

#include <algorithm>
#include <cmath>

namespace Fsrs {
namespace {
    constexpr double Decay = -0.5;
    // 0.9^(1 / Decay) - 1: the chance of recall is exactly 90% after S days.
    constexpr double Factor = 19.0 / 81.0;

    double clampDifficulty(double d)
    {
        return std::clamp(d, 1.0, 10.0);
    }

    int g(Grade grade)
    {
        return int(grade);
    }
} // namespace

double recall(double elapsedDays, double stability)
{
    if (stability <= 0)
        return 0;
    return std::pow(1 + Factor * std::max(elapsedDays, 0.0) / stability, Decay);
}

int Model::interval(double stability, double retention)
{
    const double days = stability / Factor * (std::pow(retention, 1 / Decay) - 1);
    return int(std::clamp(std::round(days), 1.0, double(MaximumInterval)));
}

double Model::initialDifficulty(Grade grade) const
{
    return w[4] - std::exp(w[5] * (g(grade) - 1)) + 1;
}

Memory Model::first(Grade grade) const
{
    return { w[std::size_t(g(grade) - 1)], clampDifficulty(initialDifficulty(grade)) };
}

double Model::nextDifficulty(double difficulty, Grade grade) const
{
    // The step shrinks as the difficulty nears 10, then the value drifts a
    // little back towards the difficulty of a first Easy.
    const double delta = -w[6] * (g(grade) - 3);
    const double stepped = difficulty + delta * (10 - difficulty) / 9;
    return clampDifficulty(w[7] * initialDifficulty(Grade::Easy) + (1 - w[7]) * stepped);
}

double Model::stabilityAfterSuccess(const Memory &memory, double r, Grade grade) const
{
    const double hard = grade == Grade::Hard ? w[15] : 1;
    const double easy = grade == Grade::Easy ? w[16] : 1;
    const double s = memory.stability;
    return s
        * (1
            + std::exp(w[8]) * (11 - memory.difficulty) * std::pow(s, -w[9]) * (std::exp((1 - r) * w[10]) - 1)
                * hard * easy);
}

double Model::stabilityAfterLapse(const Memory &memory, double r) const
{
    const double s = memory.stability;
    const double lapse = w[11] * std::pow(memory.difficulty, -w[12]) * (std::pow(s + 1, w[13]) - 1)
        * std::exp((1 - r) * w[14]);
    return std::min(lapse, s);
}

double Model::stabilityShortTerm(double stability, Grade grade) const
{
    return stability * std::exp(w[17] * (g(grade) - 3 + w[18]));
}

Memory Model::next(const Memory &memory, double elapsedDays, Grade grade) const
{
    if (memory.stability <= 0)
        return first(grade);
    Memory after;
    if (elapsedDays < 1) {
        after.stability = stabilityShortTerm(memory.stability, grade);
    } else {
        const double r = recall(elapsedDays, memory.stability);
        after.stability = grade == Grade::Again ? stabilityAfterLapse(memory, r)
                                                : stabilityAfterSuccess(memory, r, grade);
    }
    after.stability = std::clamp(after.stability, 0.01, double(MaximumInterval));
    after.difficulty = nextDifficulty(memory.difficulty, grade);
    return after;
}

} // namespace Fsrs
