#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class CriticalList;
struct WordTable;

// Words brought in from other programs and taken out to them: spreadsheet
// tables (CSV or TSV) and KVTML 2.0 vocabulary files. Imported words become
// fixed-column word lines; exports are made from the word table.
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

// A spreadsheet table: every row of the file as text, in the encoding the
// file uses (UTF-8 with or without BOM, UTF-16 with BOM, else Windows-1252),
// with the guessed meaning of its columns (-1: none).
struct Table
{
    QList<QStringList> rows;
    char separator = ',';
    bool header = false; // the first row names the columns
    int englishColumn = -1;
    int italianColumn = -1;
    int lessonColumn = -1;
    int criticalColumn = -1;
    int columnCount() const;
};
// Reads a table, finding the separator (comma, semicolon or tab), the header
// row and the columns.
Table readTable(const QByteArray &bytes);
// The words of the table's rows, read from the given columns (-1: none).
QList<Word> tableWords(const Table &table, int english, int italian, int lesson, int critical);

// A KVTML 2.0 file: its languages and its entries, each with one text per
// language. `error` is set when the file cannot be read as KVTML 2.0.
struct Kvtml
{
    struct Entry
    {
        QStringList texts; // by language
        int lesson = -1;
        bool critical = false;
    };
    QStringList languages; // name (or locale) of each language
    QList<Entry> entries;
    int englishLanguage = -1; // guessed from names and locales
    int italianLanguage = -1;
    QString error;
};
Kvtml readKvtml(const QByteArray &bytes);
QList<Word> kvtmlWords(const Kvtml &file, int english, int italian);

// Imported words as word lines of the vocabulary, each ending in CR LF.
// Words without a lesson (or one outside 0..20) go to `defaultLesson`. A word
// that cannot go in as it is (a text longer than its 50 columns, a character
// that Windows-1252 cannot hold, an empty side, more rows than the table
// takes together with `existingRows`) is left out and named in `problems`.
// A cell's text on one line: line breaks and tabs become blanks, and the
// blanks around it go.
QString oneLine(const QString &text);

struct Lines
{
    QString text;
    int added = 0;
    QStringList problems;
};
Lines wordLines(const QList<Word> &words, int defaultLesson, int existingRows);
inline const QString ImportTitle = QStringLiteral("Importa vocaboli");
inline const QString ExportTitle = QStringLiteral("Esporta vocaboli");
QString importMessage(const Lines &lines);

// The words of the word table with their critical marks, for the lessons
// chosen (all when `lessons` is all true), in table order, without the blanks
// that pad the fixed columns.
QList<Word> tableToExport(
    const WordTable &words, const CriticalList &memoc, const std::array<bool, 21> &lessons);

enum class Format { Csv, Tsv, Kvtml };
// CSV: UTF-8 with BOM, header "lezione,critica,inglese,italiano", CR LF.
// TSV: English, Italian and the tags (the lesson as "lezioneN", "critica").
// KVTML 2.0: two languages, the lessons as containers "Lezione N", critical
// words with an error count.
QByteArray write(Format format, const QList<Word> &words);
// Writes the file atomically; on failure `error` holds the Italian message.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error);

} // namespace Exchange
