#pragma once

#include "exchangeword.h"
#include "lessons.h"
#include "platform.h"
#include "wordtable.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class CriticalList;

// The rules between the word list and the words of other programs' files:
// which imported words become word lines and what the user is told, and
// which lines of the list go out in an export.
namespace Exchange {

// "1 parola", "7 parole": a count that is never 0.
QString wordCount(qsizetype count);

// The words of the word-list text by their English and Italian texts: an
// imported word with the same two texts is already in the list, whatever its
// lesson, as the review knows a word by its two texts.
class KnownWords
{
public:
    KnownWords() = default;
    explicit KnownWords(const QString &wordText);
    bool contains(const QString &english, const QString &italian) const;

private:
    QSet<QString> m_keys;
};

// Imported words as word lines of the vocabulary, each ending in CR LF, one
// word at a time. Words without a valid lesson go to
// `defaultLesson`. A word that a save would not take as it is (a text longer
// than its 50 columns, a character that Windows-1252 cannot hold, brackets
// that break the bracket rule, an empty side, a line of this program's
// vocabulary without a lesson number, more rows than the table takes
// together with `existingRows`) is left out and named. Words that `known`
// holds are counted, and left out when `leaveKnownOut` says so.
struct Lines
{
    static constexpr qsizetype ShownProblems = 20;
    QString text;
    int added = 0;
    QStringList problems; // the first ShownProblems of those left out
    qsizetype refused = 0; // all of those left out by name
    int over = 0; // left out for want of room
    int known = 0; // already in the list
    bool knownLeftOut = false;
};
class LineMaker
{
public:
    LineMaker(
        int defaultLesson, int existingRows, const KnownWords *known = nullptr, bool leaveKnownOut = false);
    void add(const Word &word);
    // The list takes no more words: those still to come are only counted.
    bool full() const { return m_existingRows + m_lines.added >= WordTable::MaxRows; }
    void addOver(qsizetype count) { m_lines.over += int(count); }
    const Lines &lines() const { return m_lines; }

private:
    int m_defaultLesson;
    int m_existingRows;
    const KnownWords *m_known;
    Lines m_lines;
};
Lines wordLines(const QList<Word> &words, int defaultLesson, int existingRows);
inline const QString ImportTitle = QStringLiteral("Importa vocaboli");
inline const QString ExportTitle = QStringLiteral("Esporta vocaboli");
QString importMessage(const Lines &lines);
// Information when words went in, or when nothing was refused; Stop when
// nothing went in for the problems named.
Platform::Icon importIcon(const Lines &lines);
// Asks whether the words already in the list go in again: No leaves them
// out, and the answer that changes nothing (Escape) imports nothing.
QString knownQuestion(int known);
// Names what was left out, after a first paragraph.
QString listed(const QString &heading, const QStringList &shown, qsizetype all);

// The words of the word-list text as a save reads it: the lines a save would
// refuse (bracket rule, lesson number, a character the file cannot hold, a
// tab) are left out and named; "##" and empty lines are no words. A word is
// critical when column 4 holds a mark, or `memoc` holds its row: give
// `memoc` only when the text is the one the word table was read from.
struct ListWords
{
    QList<Word> words;
    QStringList problems; // the first Lines::ShownProblems
    qsizetype refused = 0;
    LessonFlags present {}; // lessons that have words
};
ListWords listWords(const QString &wordText, const CriticalList *memoc);
// The words of the lessons chosen (all when `lessons` is all true).
QList<Word> ofLessons(const QList<Word> &words, const LessonFlags &lessons);

} // namespace Exchange
