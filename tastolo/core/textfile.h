#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The .txt files of the trainer: one byte per character in the Western
// European code page (Windows-1252), lines separated by CR LF.
namespace TextFile {

// Decodes bytes to text, one character per byte.
QString decode(const QByteArray &bytes);
// Encodes text to bytes; nothing when a character has no place in the code page.
std::optional<QByteArray> encode(const QString &text);
// The characters of `text` that the code page cannot hold, each listed once.
QString unencodable(const QString &text);

// Every line break (CR LF, a lone LF, a lone CR, and the line and paragraph
// separators U+2028 and U+2029 that an editor or a paste may bring) made
// into CR LF.
QString toCrLf(const QString &text);
// Every line break made into a lone LF, as the editing area takes it.
QString toLf(const QString &text);

// Longest run of characters with no blank or line break to wrap at, above
// which the editing area lets lines wrap anywhere: laying out a longer run
// at word boundaries costs time that grows with the square of its length.
constexpr qsizetype LongestWrappedRun = 1000;
// Whether `text` holds a run longer than LongestWrappedRun.
bool hasLongRun(QStringView text);

// Longest line laid out as a whole; a longer one is shown in pieces.
constexpr qsizetype LongestLine = 10000;
// Size above which the lines of a text are shown grouped, several to one
// paragraph of the editing area, for each paragraph costs time to put in.
constexpr qsizetype LargeText = 1 << 20;
constexpr qsizetype GroupedLines = 4000;

// A text, whatever its line breaks, as the editing area shows it: every
// line break is a paragraph break or, in a group, U+2028. Every run longer
// than `longest` characters, and every line longer than `longestLine` where
// a word begins, is cut by an extra paragraph break, so that no paragraph
// costs long to lay out; `joined` lists the paragraphs that begin at such a cut, whose
// break before them is not part of the text. Lines are gathered into one
// paragraph, separated by line separators (U+2028), until it holds `group`
// characters. A cut run makes `wrapAnywhere` true.
struct DisplayLines
{
    QString text;
    QList<int> joined;
    bool wrapAnywhere = false;
};
DisplayLines displayLines(QStringView text, qsizetype longest = LongestWrappedRun,
    qsizetype longestLine = LongestLine, qsizetype group = 0);

// Offsets into the CR LF form of a text whose line breaks are single
// characters (as in the editing area), and back.
int crLfOffset(const QString &lfText, int position);
int lfPosition(const QString &lfText, int crLfOffset);

// Result of reading a file: the text, or an Italian message on failure.
struct ReadResult
{
    QString text;
    QString error;
    bool ok() const { return error.isNull(); }
};

// Reads the whole file unchanged: a final CR LF stays part of the text.
ReadResult read(const QString &path);
// Writes the text followed by one CR LF, replacing an existing file as a
// whole or not at all. Returns an Italian message on failure, a null string
// on success; a text the code page cannot hold is not written.
QString write(const QString &path, const QString &text);

// The name under which a file is saved: ".txt" is added unless the name ends
// in ".txt" or ".TXT".
QString saveName(const QString &name);
// A folder path and a name joined by the platform's separator, with no
// doubled separator when the folder is a root.
QString joinPath(const QString &folder, const QString &name);
// What follows the last separator of a path (the whole path when it has none).
QString fileName(const QString &path);

} // namespace TextFile
