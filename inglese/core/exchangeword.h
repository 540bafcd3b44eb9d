#pragma once

#include <QList>
#include <QString>

#include <functional>

// Words brought in from other programs and taken out to them: one word as
// another program's file holds it, on its way into the word list or out of it.
namespace Exchange {

// lesson -1 when the file gives none.
struct Word
{
    QString english;
    QString italian;
    int lesson = -1;
    bool critical = false;
    int source = 0; // 1-based row of the file (or entry), for the messages
    // The lesson field of a line of this program's own vocabulary that holds
    // no lesson ("25", "xx"): the word is left out and named.
    QString badLesson {};
    bool operator==(const Word &other) const
    {
        return english == other.english && italian == other.italian && lesson == other.lesson
            && critical == other.critical;
    }
};

// Sees the words of a file one at a time; returns false to stop the walk.
using WordVisit = std::function<bool(const Word &)>;

// The first `limit` words that a walk over a file gives; all of them when `limit` is negative.
template<class Walk> QList<Word> firstWords(int limit, Walk walk)
{
    QList<Word> words;
    if (limit != 0)
        walk([&](const Word &word) {
            words.append(word);
            return limit < 0 || words.size() < limit;
        });
    return words;
}

// A cell's text on one line: line breaks and tabs become blanks, and the
// blanks around it go.
QString oneLine(const QString &text);

// A name offered for a choice (a table's column by its first cell, a
// language by its name), on one line and at most ShownName characters, "..."
// after a cut: a file may name a column or a language with megabytes.
inline constexpr qsizetype ShownName = 24;
QString shortName(const QString &text);

} // namespace Exchange
