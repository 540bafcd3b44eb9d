#pragma once

#include <cstdint>
#include <random>

// The game's pseudo-random numbers: a Mersenne twister with a fixed seed, so
// that every run of the program goes through the same window positions and
// click kinds. Each number takes 53 bits from two draws, which makes it
// uniform over [0, 1), never 1, and the same on every standard library
// (std::uniform_real_distribution is not required to be).
class RandomSource
{
public:
    static constexpr std::uint32_t fixedSeed = 5489u;

    double next()
    {
        const std::uint32_t high = m_engine() >> 5; // 27 bits
        const std::uint32_t low = m_engine() >> 6; // 26 bits
        return (high * 67108864.0 + low) / 9007199254740992.0;
    }

private:
    std::mt19937 m_engine { fixedSeed };
};
