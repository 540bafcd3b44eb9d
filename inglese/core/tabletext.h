#pragma once

#include "exchangeword.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Spreadsheet tables (CSV or TSV, parsed and quoted by libcsv) and another
// vocabulary file of this program in its fixed columns, read as the columns
// lesson, mark, English, Italian.
namespace Exchange {

// The table keeps the file's text and reads its rows from it when asked, so
// that a big file is held once; only the first rows are kept as cells, for
// the guesses and the preview. A leading block of "Title:", "Author:" ...
// lines, as some vocabulary programs write before their table, is left out.
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
void forEachWord(const Table &table, const Columns &columns, const WordVisit &visit);
QList<Word> tableWords(const Table &table, const Columns &columns, int limit = -1);
// The rows of the table that hold a word (not blank, not the header): only
// parsed, no text made.
qsizetype wordRows(const Table &table);

// CSV: UTF-8 with BOM, header "lezione,critica,inglese,italiano", CR LF.
QByteArray writeCsv(const QList<Word> &words);
// TSV: English, Italian and the tags (the lesson as "lezioneN", "critica"),
// each cell on one line.
QByteArray writeTsv(const QList<Word> &words);

} // namespace Exchange
