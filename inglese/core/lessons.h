#pragma once

#include <QStringView>

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

// The one rule for a lesson number, wherever one is read (a word line, the
// exit log, an imported table): one or two decimal digits and nothing else,
// making a lesson; -1 otherwise.
inline int parseLesson(QStringView text)
{
    if (text.isEmpty() || text.size() > 2)
        return -1;
    int n = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return isLesson(n) ? n : -1;
}

// What the run knows of a lesson: whether the word table has words of it and
// whether the options chose it.
enum class LessonState : unsigned char { NoWords, HasWords, Chosen };
using LessonStates = PerLesson<LessonState>;
