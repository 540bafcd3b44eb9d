#pragma once

#include "userfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <ctime>
#include <optional>
#include <vector>

// The .txt files of the trainer. A file keeps its own encoding and line ends:
// the editing area holds its text with one '\n' for every line break, and a
// Form remembers how the file wrote each of them, so that a save writes back
// exactly the bytes of everything the user did not touch. New texts are
// Windows-1252 with CR LF.
namespace TextFile {

enum class Encoding : quint8 { Windows1252, Utf8, Utf8Bom, Utf16Le, Utf16Be };
// How a file ends a line: the line ends proper, then the characters that a
// Unicode file may hold and the editing area takes as line breaks too.
enum class Break : quint8 { CrLf, Lf, Cr, ParagraphSeparator, FrameStart, FrameEnd };

// Largest file the editing area shows within a second and answers keys in
// within a frame (16 ms), its longest line and its longest run of characters
// without a blank, which the area wraps inside itself at a far higher cost;
// measured by bench_tastolo (see bench/README.md).
constexpr qint64 LargestFile = 6 << 20;
constexpr qsizetype LongestLine = 10'000;
constexpr qsizetype LongestRun = 5'000;

// How a file holds its text: the encoding, the line end of its lines (the
// most frequent one, given to every new break), each break that differs from
// it, and whether a save adds a closing line end (as for a text begun in the
// program, never for a text read from a file). Told of every edit of the
// text, it keeps each break where the text moved it; told where the area's
// undo history stands, it gives the breaks an undone edit had removed their
// own kinds back.
class Form
{
public:
    // A text begun in the program: Windows-1252, CR LF, a closing CR LF.
    Form() = default;
    // Reads a file's bytes: `text` becomes the text with '\n' line breaks.
    // Nothing when the bytes are no text the area can hold exactly.
    static std::optional<Form> read(const QByteArray &bytes, QString &text);

    Encoding encoding() const { return m_encoding; }
    Break lineEnd() const { return m_lineEnd; }

    // `removed` characters at `position` were replaced by `added`, as part of
    // the step `step` of the area's undo history (the number of steps it can
    // undo once the edit is made). A break that stands where a break was
    // before, in a range replaced by as many characters, keeps its kind: the
    // area reports a reformatted range as replaced by itself.
    void edit(qsizetype position, qsizetype removed, QStringView added, int step = 0);
    // The area's undo history went back or forward to `step`: the edits
    // after it are undone, or those up to it done again.
    void undoTo(int step);
    // What a save writes for `text`; nothing when a character of it has no
    // place in the encoding.
    std::optional<QByteArray> bytes(QStringView text) const;
    // Where the characters of `text` stand that the encoding cannot hold.
    QList<qsizetype> unencodable(QStringView text) const;

private:
    struct OtherBreak
    {
        qsizetype position;
        Break kind;
    };
    using Breaks = std::vector<OtherBreak>;
    // One edit as the history keeps it: the other breaks of its range before
    // and after it.
    struct Edit
    {
        int step;
        qsizetype position, removed, added;
        Breaks before, after;
    };
    // Puts `breaks` in place of those of the `length` characters at
    // `position`, which are now `newLength` long.
    void replace(qsizetype position, qsizetype length, qsizetype newLength, const Breaks &breaks);

    Encoding m_encoding = Encoding::Windows1252;
    Break m_lineEnd = Break::CrLf;
    bool m_closingLineEnd = true;
    Breaks m_otherBreaks; // by position
    std::vector<Edit> m_history;
    // How many edits of the history are done; the rest were undone.
    std::size_t m_done = 0;
};

// A text as a paste puts it into the area: each line break it brings (CR LF,
// CR, LF, U+2028, U+2029, U+0085) becomes a '\n', a line break of the file.
QString pasted(QString text);

// The character at `position` of `text` for a message: the letter itself, or
// for one that cannot be seen its code and an Italian name
// ("U+200B spazio invisibile").
QString describe(QStringView text, qsizetype position);

// Result of reading a file: the text and its form, or an Italian message;
// the stamp of the bytes read, which a save compares with the file on disk.
struct ReadResult
{
    QString text;
    Form form;
    QString error;
    UserFile::Stamp stamp;
    bool ok() const { return error.isNull(); }
};

// Reads the whole file. A file larger than LargestFile, with a line or a run
// longer than LongestLine or LongestRun, not a plain file, or that cannot be read whole and
// unchanged is refused with the reason.
ReadResult read(const QString &path);
// Writes bytes, replacing an existing file as a whole or not at all.
UserFile::Written write(const QString &path, const QByteArray &bytes);
// The message of a failed write: the file, and why in words the user can act on.
QString writeFailedText(const QString &path, const UserFile::Written &written);

// A name as the user sees it, on one line: each byte that is not UTF-8 (see
// UserFile::nativeName) as its code in brackets ("[E9]"), a line break as
// "↵", any other control character as its code ("[09]").
QString shownName(const QString &name);
// The names of the .txt files of `folder` (".txt" in any case), whatever
// bytes they hold, sorted without regard to case.
QStringList txtFiles(const QString &folder);
// The names of the folders in `folder` but the hidden ones, the same way.
QStringList subFolders(const QString &folder);

// The .txt files of the folder last asked for, listed again only when the
// folder has changed since.
class FolderListing
{
public:
    const QStringList &txtFiles(const QString &folder);

private:
    QString m_folder;
    QStringList m_files;
    // The folder's identity and time of change when it was listed, and
    // whether that time was far enough behind to be trusted.
    quint64 m_device = 0, m_inode = 0;
    timespec m_changed {};
    bool m_settled = false;
};

// Whether something of that name is in its folder.
bool exists(const QString &path);
// Whether two paths name the same file (through links too).
bool sameFile(const QString &a, const QString &b);

// The name under which a file is saved: ".txt" is added unless the name ends
// in ".txt" or ".TXT".
QString saveName(const QString &name);

} // namespace TextFile
