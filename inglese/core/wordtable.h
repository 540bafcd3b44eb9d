#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The word table: four parallel lists, one row per accepted word line, in
// file order. The 0-based row index identifies a word everywhere (current
// word, selection, critical list).
struct WordTable
{
    static constexpr int MaxRows = 32767;

    QStringList Listc;  // lesson field, columns 1-4 (later: lesson number + " c" when critical)
    QStringList Listll; // lesson number text, columns 1-2
    QStringList Listin; // English text, columns 6-55
    QStringList Listit; // Italian text, columns 56-105

    int count() const { return int(Listc.size()); }
    void clear();
    void reserve(int rows);
    void append(const QString &lessonField, const QString &lessonNumber, const QString &english,
                const QString &italian);
    // The lesson of a row: the first two characters of its Listc entry as an
    // integer; -1 when they are not a number from 0 to 20.
    int lessonOf(int row) const;
    static int lessonNumber(const QString &text); // same rule on any text, -1 if invalid
};

// The critical list (memoc): word indices kept sorted, duplicates allowed.
// Keys are written as at least four digits with leading zeros.
class CriticalList
{
public:
    static QString key(int word); // 0 -> "0000", 37 -> "0037", 12345 -> "12345"

    void add(int word);           // sorted insertion, no check for an equal entry
    bool removeOne(int word);     // removes the first equal entry; false when absent
    bool contains(int word) const;
    void removeFrom(int word); // drops every entry equal to or above `word`
    int count() const { return int(m_words.size()); }
    bool isEmpty() const { return m_words.isEmpty(); }
    void clear() { m_words.clear(); }
    const QList<int> &words() const { return m_words; }

private:
    QList<int> m_words;
};
