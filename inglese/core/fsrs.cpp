#include "fsrs.h"

#include <algorithm>
#include <cmath>

namespace Fsrs {
namespace {
    double clampDifficulty(double d)
    {
        return std::clamp(d, 1.0, 10.0);
    }

    double clampStability(double s)
    {
        return std::clamp(s, MinStability, MaxStability);
    }

    int g(Grade grade)
    {
        return int(grade);
    }
} // namespace

Model::Model(const Weights &weights, double retention)
    : w(weights)
    , m_retention(retention)
    , m_decay(-weights[20])
    // 0.9^(1 / decay) - 1: the chance of recall is exactly 90% after S days.
    , m_factor(std::pow(0.9, 1 / m_decay) - 1)
{
}

double Model::recall(double elapsedDays, double stability) const
{
    if (stability <= 0)
        return 0;
    return std::pow(1 + m_factor * std::max(elapsedDays, 0.0) / stability, m_decay);
}

int Model::interval(double stability, double retention) const
{
    const double days = stability / m_factor * (std::pow(retention, 1 / m_decay) - 1);
    return int(std::clamp(std::round(days), 1.0, double(MaximumInterval)));
}

double Model::initialDifficulty(Grade grade) const
{
    return w[4] - std::exp(w[5] * (g(grade) - 1)) + 1;
}

Memory Model::first(Grade grade) const
{
    return { clampStability(w[std::size_t(g(grade) - 1)]), clampDifficulty(initialDifficulty(grade)) };
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
    return std::min(lapse, s / std::exp(w[17] * w[18]));
}

double Model::stabilityShortTerm(double stability, Grade grade) const
{
    double increase = std::exp(w[17] * (g(grade) - 3 + w[18])) * std::pow(stability, -w[19]);
    if (grade != Grade::Again)
        increase = std::max(increase, 1.0);
    return stability * increase;
}

Memory Model::next(const Memory &memory, double elapsedDays, Grade grade) const
{
    if (memory.stability <= 0)
        return first(grade);
    const Memory before { clampStability(memory.stability), clampDifficulty(memory.difficulty) };
    Memory after;
    if (elapsedDays < 1) {
        after.stability = stabilityShortTerm(before.stability, grade);
    } else {
        const double r = recall(elapsedDays, before.stability);
        after.stability = grade == Grade::Again ? stabilityAfterLapse(before, r)
                                                : stabilityAfterSuccess(before, r, grade);
    }
    after.stability = clampStability(after.stability);
    after.difficulty = nextDifficulty(before.difficulty, grade);
    return after;
}

Spread spreadOf(int interval)
{
    if (interval < 3) // 2.5 days and less are not spread
        return { interval, interval };
    struct Range
    {
        double start, end, factor;
    };
    static constexpr Range Ranges[] = { { 2.5, 7, 0.15 }, { 7, 20, 0.1 }, { 20, 1e9, 0.05 } };
    double delta = 1;
    for (const Range &r : Ranges)
        delta += r.factor * std::max(std::min(double(interval), r.end) - r.start, 0.0);
    const int longest = std::min(int(std::round(interval + delta)), MaximumInterval);
    return { std::min(std::max(2, int(std::round(interval - delta))), longest), longest };
}

int spread(int interval, double draw)
{
    const Spread s = spreadOf(interval);
    return std::min(s.shortest + int(std::floor(draw * (s.longest - s.shortest + 1))), s.longest);
}

double drawFrom(std::uint64_t seed)
{
    // splitmix64: every bit of the seed moves every bit of the draw.
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return double(z >> 11) * 0x1.0p-53;
}

} // namespace Fsrs
