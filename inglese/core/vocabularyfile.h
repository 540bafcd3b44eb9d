#pragma once

#include "userfile.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>

class CriticalList;
class Platform;
struct WordTable;

// The vocabulary file inglese.txt: Windows-1252 text, lines ending in CR LF.
// "##" lines are comments; every other non-empty line is a word line in fixed
// columns: 1-2 lesson number, 4 critical mark, 6-55 English, 56-105 Italian.
namespace Vocabulary {

inline constexpr QLatin1StringView CrLf { "\r\n" };
inline constexpr int EnglishColumn = 6;
inline constexpr int ItalianColumn = 56;
inline constexpr int FieldWidth = 50;

// The next CR LF at or after `from`, or -1.
qsizetype findCrLf(QStringView text, qsizetype from);

// Walks the lines of a CR LF text as the program's own files are read: a line
// ends at the next CR LF or at the end of the text, and the walk stops when the
// line end lies within the last four characters of the text, or when `visit`
// returns false. So a text ending in CR LF is read whole, while a last line
// without CR LF is read only when it has three characters or more; an empty
// text is one empty line.
template<typename Visit> void forEachLine(QStringView text, Visit visit)
{
    const qsizetype length = text.size();
    qsizetype pos = 0;
    for (;;) {
        qsizetype end = findCrLf(text, pos);
        if (end < 0)
            end = length;
        if (!visit(text.mid(pos, end - pos)))
            return;
        if (end >= length - 4)
            return;
        pos = end + 2;
    }
}

// Windows-1252, one byte per character.
QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text, bool *ok = nullptr);
bool canEncode(QChar c);

// Dates and times as the exit log keeps them and the messages show them, the
// same whatever the system's language: "05/12/2026", "09:10:02".
QString dateText(const QDate &date);
QString timeText(const QTime &time);

// Reads the whole file through UserFile, refusing what is missing, unreadable,
// not a regular file or bigger than MaxFileBytes (a full table of words is
// about 3.5 MB). Files of other editors are taken too: UTF-8 and UTF-16 text
// and lines ending in LF or CR alone come back as the program's own CR LF text.
// `stamp` tells the file as read from another state of it: a save compares it
// with the file on disk, so as not to overwrite another copy's save.
inline constexpr qint64 MaxFileBytes = 64 * UserFile::MiB;
UserFile::Text readFile(const QString &path, UserFile::Stamp *stamp = nullptr);
// Writes the file atomically: on failure the old file stays whole.
UserFile::Written writeFile(const QString &path, const QString &text);

inline const QString ChangedOnDiskText = QStringLiteral(
    "Il file INGLESE.TXT \u00e8 stato cambiato da un altro programma dopo che l'hai aperto.\r\n\r\n"
    "Sovrascriverlo con questo elenco?\r\n(No: il file resta com'\u00e8 e l'elenco resta da salvare)");

// First stage: splits the file's text into the comment lines and the
// word-list text, each line followed by CR LF. Empty lines are dropped; a last
// line without CR LF is read only if it has three or more characters.
struct FileText
{
    QString comments;
    QString wordText;
};
FileText splitFileText(const QString &fileText);

// The bracket rule on the English and Italian texts of a line: 0 when the
// line is well formed, otherwise the sum of the bracket codes found.
int checkBrackets(QStringView linin, QStringView linit);
inline bool wellFormed(QStringView linin, QStringView linit)
{
    return checkBrackets(linin, linit) <= 0;
}

inline const QString BadLineTitle = QStringLiteral("Riga ignorata ...");
QString badLineMessage(int lineNumber, const QString &lezc, const QString &linin, const QString &linit);

// Second stage: parses the word-list text line by line into the word table
// (appending to it) and adds the keys of lines marked critical to the
// critical list, unless the list already holds them or the selection in use
// is the critical list itself (`criticalBuilt`). Malformed lines are reported
// through `platform` and left out. Returns false, with the table holding the
// rows up to the limit, when the text has more word lines than the table takes.
// The table keeps the text and reads its columns from it.
bool parseWordList(
    const QString &text, WordTable &words, CriticalList &memoc, bool criticalBuilt, Platform &platform);

// What a save writes: the comments, one empty line, the word-list text, one
// more line end.
QString saveText(const QString &comments, const QString &wordText);

// Checks that a save would not write a file that the next start-up refuses.
struct SaveProblem
{
    enum Kind { None, BadLesson, BadCharacter, TooManyRows, Tab, NoWords, Brackets };
    Kind kind = None;
    int lineNumber = 0; // 1-based line of the word-list text
    QString detail; // the lesson field or the character concerned
    explicit operator bool() const { return kind != None; }
};
SaveProblem checkBeforeSave(const QString &wordText);
// The check of one word line (a tab, a character the file cannot hold, the
// lesson number, the bracket rule): what the start-up takes is what passes.
// Empty and "##" lines pass.
SaveProblem lineProblem(QStringView line, int lineNumber);
// What is wrong with a line, after "La Riga numero N ".
QString lineProblemText(const SaveProblem &problem);
inline const QString SaveTitle = QStringLiteral("Salva Aggiornamenti");
QString saveProblemMessage(const SaveProblem &problem);
QString saveFailedMessage(const QString &path, const QString &reason);

} // namespace Vocabulary
