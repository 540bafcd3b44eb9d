#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The word table: one row per accepted word line, in file order. The 0-based
// row index identifies a word everywhere (current word, selection, critical
// list). The table keeps the word-list text it was read from and, per row,
// where its line starts: the columns are read from the text when asked for,
// so reading the file makes no string per field.
struct WordTable
{
    static constexpr int MaxRows = 32767;

    int count() const { return int(m_rows.size()); }
    void clear();
    void reserve(int rows);
    // Keeps `text` for the rows that follow: shared, not copied, when the
    // table is empty or already holds it; otherwise added after the text held.
    // Returns where `text` starts in the text the table holds.
    qsizetype keep(const QString &text);
    // Adds the line of `length` characters at `start` of the text held.
    void append(qsizetype start, qsizetype length);
    // Adds a row made by hand from its column texts, laid out as a file line.
    void append(QStringView lessonField, QStringView english, QStringView italian);

    // The columns of a row, as in the file: lesson number (columns 1-2),
    // English text (6-55), Italian text (56-105); shorter when the line is.
    QStringView lessonText(int row) const { return column(row, 1, 2); }
    QStringView english(int row) const { return column(row, 6, 50); }
    QStringView italian(int row) const { return column(row, 56, 50); }
    // The lesson column: columns 1-4 as read, or after refreshLessons() the
    // lesson number followed by " c" for the critical words.
    QString lessonField(int row) const;
    QStringList lessonColumn() const; // lessonField() of every row
    // Shows `critical` in the lesson column of every row (sorted rows).
    void refreshLessons(const QList<int> &critical);

    // The lesson of a row: -1 when it is not a lesson number.
    int lessonOf(int row) const { return row >= 0 && row < count() ? m_rows.at(row).lesson : -1; }
    // The lesson of a word line: its first two characters, blanks around
    // them left out, read by parseLesson(); -1 when they are no lesson.
    static int lessonNumber(QStringView text);

    // Changes with every change of the rows: what is built from the table
    // (the index of the prompts) knows when to build itself again.
    quint64 stamp() const { return m_stamp; }

private:
    // Where a row's line starts in m_text, its length up to the last column
    // the table reads, its lesson and how its lesson column reads.
    enum Mark : quint8 { AsRead, Plain, Critical };
    struct Row
    {
        qsizetype start;
        quint8 length;
        qint8 lesson;
        Mark mark;
    };
    static constexpr int LastColumn = 105;

    QStringView column(int row, qsizetype first, qsizetype width) const;
    void touch();

    QString m_text;
    QList<Row> m_rows;
    quint64 m_stamp = 0;
};

// The critical list (memoc): word indices kept sorted, duplicates allowed.
class CriticalList
{
public:
    void add(int word); // sorted insertion, no check for an equal entry
    void removeOne(int word); // removes the first equal entry, if any
    bool contains(int word) const;
    void removeFrom(int word); // drops every entry equal to or above `word`
    int count() const { return int(m_words.size()); }
    bool isEmpty() const { return m_words.isEmpty(); }
    void clear() { m_words.clear(); }
    const QList<int> &words() const { return m_words; }

private:
    QList<int> m_words;
};
