#pragma once

#include "lessons.h"
#include "userfile.h"
#include "wordtable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class CriticalList;

// Words brought in from other programs and taken out to them: spreadsheet
// tables (CSV or TSV) and KVTML 2.0 vocabulary files. Imported words become
// fixed-column word lines; exports are made from the word-list text.
namespace Exchange {

// One word as a file holds it: lesson -1 when the file gives none.
struct Word
{
    QString english;
    QString italian;
    int lesson = -1;
    bool critical = false;
    int source = 0; // 1-based row of the file (or entry), for the messages
    bool operator==(const Word &other) const
    {
        return english == other.english && italian == other.italian && lesson == other.lesson
            && critical == other.critical;
    }
};

// A table of words: a spreadsheet file (CSV or TSV) or another vocabulary
// file of this program in its fixed columns, read as the columns lesson,
// mark, English, Italian. The table keeps the file's text and reads its rows
// from it when asked, so that a big file is held once; only the first rows
// are kept as cells, for the guesses and the preview. A leading block of
// "Title:", "Author:" ... lines, as some vocabulary programs write before
// their table, is left out.
struct Table
{
    enum class Kind { Separated, Vocabulary };
    // Columns offered for a choice: a vocabulary has a handful; a row of a
    // million cells must not become a million choices.
    static constexpr int MaxColumns = 16;
    static constexpr int FirstRows = 50;

    Kind kind = Kind::Separated;
    QString text; // the file's, shared
    qsizetype start = 0; // where the rows start in it
    QStringView rowsText() const { return QStringView(text).mid(start); }
    int skippedLines = 0; // the lines of the metadata block before `start`
    QList<QStringList> rows; // the first rows, at most MaxColumns cells each
    char separator = ',';
    bool header = false; // the first row names the columns
    int englishColumn = -1;
    int italianColumn = -1;
    int lessonColumn = -1;
    int criticalColumn = -1;
    int columnCount() const;
};
// Reads a table, finding the kind, the separator (comma, semicolon or tab),
// the header row and the columns.
Table readTableText(const QString &text);
Table readTable(const QByteArray &bytes); // decoded as a user's file is
// The words of the table's rows, read from the given columns (-1: none); at
// most `limit` of them (-1: all). `visit` sees them one at a time and may stop
// the walk by returning false.
struct Columns
{
    int english = -1;
    int italian = -1;
    int lesson = -1;
    int critical = -1;
};
void forEachWord(const Table &table, const Columns &columns, const std::function<bool(const Word &)> &visit);
QList<Word> tableWords(const Table &table, const Columns &columns, int limit = -1);
// The rows of the table that hold a word (not blank, not the header): only
// parsed, no text made.
qsizetype wordRows(const Table &table);

// A KVTML 2.0 file: its languages and its entries, each with one text per
// language. `error` is set when the file cannot be read as KVTML 2.0. A big
// file has hundreds of thousands of entries: their texts are held one after
// the other in one string, each entry as a few numbers.
struct Kvtml
{
    struct Entry
    {
        qsizetype firstText = 0; // in `texts`; its last is before the next entry's first
        int lesson = -1;
        bool critical = false;
    };
    struct Text
    {
        qsizetype start = 0; // in `pool`
        int size = 0;
        int slot = 0; // the language as the entries name it
    };
    QStringList languages; // name (or locale) of each language
    QList<Entry> entries;
    int englishLanguage = -1; // guessed from names and locales
    int italianLanguage = -1;
    QString error;

    QList<Text> texts;
    QString pool;
    QList<int> languageSlots; // of each language
    // The entry's text in the language, empty when it has none.
    QStringView text(qsizetype entry, int language) const;
};
Kvtml readKvtml(const QByteArray &bytes);
Kvtml readKvtmlText(const QString &text); // a text decoded as a user's file is
// Reads the file from the disk piece by piece: its bytes are never held whole.
// A failed read leaves `problem` and `reason` set and the file empty.
Kvtml readKvtmlFile(const QString &path, UserFile::Pieces &read);
// The entries' words in the given languages; `visit` sees them one at a time
// and may stop the walk by returning false.
void forEachWord(const Kvtml &file, int english, int italian, const std::function<bool(const Word &)> &visit);
QList<Word> kvtmlWords(const Kvtml &file, int english, int italian, int limit = -1);

// A cell's text on one line: line breaks and tabs become blanks, and the
// blanks around it go.
QString oneLine(const QString &text);

// "1 parola", "7 parole": a count that is never 0.
QString wordCount(qsizetype count);

// Imported words as word lines of the vocabulary, each ending in CR LF, one
// word at a time. Words without a valid lesson go to
// `defaultLesson`. A word that a save would not take as it is (a text longer
// than its 50 columns, a character that Windows-1252 cannot hold, brackets
// that break the bracket rule, an empty side, more rows than the table takes
// together with `existingRows`) is left out and named.
struct Lines
{
    static constexpr qsizetype ShownProblems = 20;
    QString text;
    int added = 0;
    QStringList problems; // the first ShownProblems of those left out
    qsizetype refused = 0; // all of those left out by name
    int over = 0; // left out for want of room
};
class LineMaker
{
public:
    LineMaker(int defaultLesson, int existingRows);
    void add(const Word &word);
    // The list takes no more words: those still to come are only counted.
    bool full() const { return m_existingRows + m_lines.added >= WordTable::MaxRows; }
    void addOver(qsizetype count) { m_lines.over += int(count); }
    const Lines &lines() const { return m_lines; }

private:
    int m_defaultLesson;
    int m_existingRows;
    Lines m_lines;
};
Lines wordLines(const QList<Word> &words, int defaultLesson, int existingRows);
inline const QString ImportTitle = QStringLiteral("Importa vocaboli");
inline const QString ExportTitle = QStringLiteral("Esporta vocaboli");
QString importMessage(const Lines &lines);
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

enum class Format { Csv, Tsv, Kvtml };
QString suffix(Format format);
// CSV: UTF-8 with BOM, header "lezione,critica,inglese,italiano", CR LF.
// TSV: English, Italian and the tags (the lesson as "lezioneN", "critica").
// KVTML 2.0: two languages, the lessons as containers "Lezione N", critical
// words with an error count.
QByteArray write(Format format, const QList<Word> &words);
// Writes the file atomically; on failure `error` holds the Italian message.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error);

} // namespace Exchange
