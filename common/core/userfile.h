#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// The one way the programs read and write a user's file. Only a regular file
// is read or written (a folder, FIFO, device or socket is refused at once,
// without waiting on it; a link counts as what it names). A read checks the
// size against a limit before a byte is read and takes the file whole (or in
// pieces) or refuses it (a file that grows or shrinks while it is read is
// refused). A write replaces the file as a whole or not at all, keeping its
// mode, owner and group where the program may; a failure leaves the old file
// whole and says why in words the user can act on. An empty result means an
// empty file, never a failure: failures come back with their reason.
namespace UserFile {

enum class Problem {
    None,
    Missing, // no such file
    NotRegular, // a folder, FIFO, device or socket
    TooBig, // over the limit given
    ReadFailed, // not allowed, a read error, a short read, or the file changed while read
    Undecodable, // the text says its encoding and breaks it
};

inline constexpr qint64 MiB = 1024 * 1024;
// Files are read, hashed and written in pieces of this size.
inline constexpr qint64 PieceBytes = 4 * MiB;
// The decoders of the toolkit give up on texts of 512 MiB and more.
inline constexpr qint64 MaxTextBytes = 256 * MiB;

// File names are text in UTF-8; a byte of a name that is not UTF-8 is kept in
// a QString as the lone surrogate U+DC80 + byte (which no real name holds), so
// that the file is still found by its real name. The name as the system takes it:
QByteArray nativeName(const QString &path);
// A name or a path as the system gives it, read as nativeName() writes it.
QString fromNativeName(QByteArrayView bytes);
// Whether `c` stands for such a byte, and the byte it stands for.
bool isEscapedByte(QChar c);
int escapedByte(QChar c);

// What tells one content of a file from another: its size, its time of last
// change and a hash of its bytes, taken as the program read or wrote them.
// Size and time alone miss an edit of the same size whose time was put back
// (as `cp -p`, `rsync -t` or `touch -r` do) or that fell within one tick of
// the clock.
struct Stamp
{
    qint64 size = -1; // -1: no file
    qint64 modified = 0; // nanoseconds since 1970
    size_t hash = 0;
    friend bool operator==(const Stamp &, const Stamp &) = default;
};
// Whether the file at `path` is no longer the one `stamp` was taken of. The
// content is read and hashed only when size and time are as they were. False
// when there is no stamp, or no regular file now (a write then creates the
// file anew, or says why it cannot).
bool changedSince(const QString &path, const Stamp &stamp);

// The readers. Given a `stamp`, each fills it in from the very bytes it read.
struct Bytes
{
    QByteArray bytes;
    Problem problem = Problem::None;
    QString reason; // the system's words for a failed read, when it gave any
    explicit operator bool() const { return problem == Problem::None; }
};
Bytes read(const QString &path, qint64 limit, Stamp *stamp = nullptr);

// Reads the file as read() does, handing it to `take` in pieces of a few
// megabytes in turn, so that a reader that goes through it once never holds
// it whole. A failure may come after some pieces were taken. When `take`
// returns false, the reading ends there (stopped: the file is not all read).
struct Pieces
{
    Problem problem = Problem::None;
    QString reason;
    bool stopped = false;
    explicit operator bool() const { return problem == Problem::None; }
};
Pieces readPieces(const QString &path, qint64 limit, const std::function<bool(const QByteArray &)> &take,
    Stamp *stamp = nullptr);

// Text of other editors: UTF-16 little or big endian with its byte order
// mark or without it (told by its zero bytes), UTF-8 with the mark or holding
// more than ASCII, else Windows-1252,
// which takes every byte. False when the text names its encoding and then
// breaks it, or when it is too long to decode.
bool decode(const QByteArray &bytes, QString &text);

struct Text
{
    QString text;
    Problem problem = Problem::None;
    QString reason;
    explicit operator bool() const { return problem == Problem::None; }
};
Text readText(const QString &path, qint64 limit, Stamp *stamp = nullptr);

// "Il file ... è troppo grande: il limite è 256 MB." and the like, speaking to the pupil with "tu".
QString problemText(const QString &path, Problem problem, qint64 limit, const QString &reason = QString());
QString limitText(qint64 limit);

// Why a write failed, from the system's error.
enum class WriteProblem {
    None,
    NotRegular, // the name is a folder, FIFO, device or socket, or a link to one
    ReadOnlyFile, // the file itself is protected against writing
    FolderRefuses, // the folder takes no new file: read-only, or not the user's
    DiskFull,
    TooBig, // over the largest file the disk or the system allows
    NoFolder, // the folder is not there
    NameTooLong,
    Failed, // anything else: the system's own words
};
struct Written
{
    WriteProblem problem = WriteProblem::None;
    int error = 0; // the system's error number
    Stamp stamp; // of the file as written
    explicit operator bool() const { return problem == WriteProblem::None; }
};
// A write the system refused with `error` (errno), on a file that was there or not.
Written failure(int error, bool fileThere = false);
// The one function that puts a failed write into words, for every writer's
// message: "il disco è pieno: libera un po' di spazio" and the like.
QString reasonText(const Written &written);

// Writes the whole file: the bytes go to a new file beside it, which takes its
// name only once it is complete and on the disk. A link is followed to the
// file it names, which is replaced (the link stays a link). Only a regular
// file or a new name is written; a file that other names share (hard links)
// becomes a file of its own (see otherNames()).
Written write(const QString &path, QByteArrayView bytes);
// Appends to a regular file, or creates it; a write the disk took only in part
// is cut away again, so the file stays as it was.
Written append(const QString &path, QByteArrayView bytes);

// How many other names (hard links) the file at `path` shares its content
// with: a save would leave them with the old content, so ask first.
int otherNames(const QString &path);
QString otherNamesQuestion(const QString &shownPath);

// A write over a size limit of the system (ulimit -f) would end the program
// with the signal SIGXFSZ: each program ignores it at start, so that such a
// write fails as on a full disk and the user is told.
void ignoreFileSizeSignal();

} // namespace UserFile
