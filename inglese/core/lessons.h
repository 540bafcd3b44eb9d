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

// A number of 1 to `maxDigits` decimal digits and nothing else; -1 otherwise.
inline int decimalDigits(QStringView text, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// The one rule for a lesson number, wherever one is read (a word line, the
// exit log, an imported table): one or two decimal digits making a lesson;
// -1 otherwise.
inline int parseLesson(QStringView text)
{
    const int n = decimalDigits(text, 2);
    return isLesson(n) ? n : -1;
}

// What the run knows of a lesson: whether the word table has words of it and
// whether the options chose it.
enum class LessonState : unsigned char { NoWords, HasWords, Chosen };
using LessonStates = PerLesson<LessonState>;
