#pragma once

#include <array>

// Every word belongs to a lesson from 0 to MaxLesson; lesson 0 holds the
// words outside the numbered lessons. Arrays indexed by lesson have one entry
// per lesson, entry 0 included.
inline constexpr int MaxLesson = 20;

template<typename T> using PerLesson = std::array<T, MaxLesson + 1>;
using LessonFlags = PerLesson<bool>;

inline constexpr bool isLesson(int n)
{
    return n >= 0 && n <= MaxLesson;
}

// What the run knows of a lesson: whether the word table has words of it and
// whether the options chose it.
enum class LessonState : unsigned char { NoWords, HasWords, Chosen };
using LessonStates = PerLesson<LessonState>;
