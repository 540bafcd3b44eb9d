#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>

// The one way the program reads a user's file (the vocabulary, the
// instructions, the exit log, an imported list): only a regular file, opened
// without blocking (a FIFO or a device is refused before anything waits on
// it), its size checked against a limit before a byte is read, read whole (or
// handed on in pieces) or refused (a file that grows or shrinks while it is
// read is refused), and its text decoded or refused. An empty result means
// an empty file, never a failure: failures come back with their reason.
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
// The decoders of the toolkit give up on texts of 512 MiB and more.
inline constexpr qint64 MaxTextBytes = 256 * MiB;

struct Bytes
{
    QByteArray bytes;
    Problem problem = Problem::None;
    QString reason; // the system's words for a failed read, when it gave any
    explicit operator bool() const { return problem == Problem::None; }
};
Bytes read(const QString &path, qint64 limit);

// Reads the file as read() does, handing it to `take` in pieces of a few
// megabytes in turn, so that a reader that goes through it once never holds
// it whole. A failure may come after some pieces were taken.
struct Pieces
{
    Problem problem = Problem::None;
    QString reason;
    explicit operator bool() const { return problem == Problem::None; }
};
Pieces readPieces(const QString &path, qint64 limit, const std::function<void(const QByteArray &)> &take);

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
Text readText(const QString &path, qint64 limit);

// Opens `path` for appending only when it is a regular file or missing (it
// is then created); never waits on a FIFO or device. Writes `bytes` in one
// go; a write the disk took only in part is cut away again. The reason of a
// failure goes to `reason`.
bool append(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

// The one way the program writes a whole user's file: atomically, so that on
// failure the old file stays whole and `reason` says why.
bool write(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

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

// "Il file ... è troppo grande: il limite è 256 MB." and the like, speaking to the pupil with "tu".
QString problemText(const QString &path, Problem problem, qint64 limit, const QString &reason = QString());
QString limitText(qint64 limit);

} // namespace UserFile
