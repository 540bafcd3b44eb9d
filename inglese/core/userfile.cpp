#include "userfile.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserFile {

namespace {
    using Stat = struct stat;

    QString systemReason(int error)
    {
        return QString::fromLocal8Bit(std::strerror(error));
    }

    // Closes the descriptor on every way out.
    struct Descriptor
    {
        int fd = -1;
        ~Descriptor()
        {
            if (fd >= 0)
                ::close(fd);
        }
    };

    // Opens without waiting: O_NONBLOCK makes the open of a FIFO return at
    // once, and the type is checked before and after the open, so a file
    // swapped for a FIFO in between is refused too.
    Problem openRegular(const QByteArray &name, int flags, Descriptor &file, Stat &info, QString &reason)
    {
        if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return Problem::NotRegular;
        file.fd = ::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
        if (file.fd < 0) {
            const int error = errno;
            reason = systemReason(error);
            return error == ENOENT || error == ENOTDIR ? Problem::Missing : Problem::ReadFailed;
        }
        if (::fstat(file.fd, &info) != 0) {
            reason = systemReason(errno);
            return Problem::ReadFailed;
        }
        return S_ISREG(info.st_mode) ? Problem::None : Problem::NotRegular;
    }

    // An empty text from bytes is a failure too: the toolkit's decoders give
    // nothing for inputs they cannot take whole.
    bool decodeWith(QStringDecoder &&decoder, QByteArrayView bytes, QString &text)
    {
        text = decoder.decode(bytes);
        return !decoder.hasError() && (bytes.isEmpty() || !text.isEmpty());
    }
    constexpr auto Stateless = QStringDecoder::Flag::Stateless;
} // namespace

namespace {
    // Opens a regular file for reading, its size within the limit.
    Problem openToRead(const QString &path, qint64 limit, Descriptor &file, qint64 &size, QString &reason)
    {
        Stat info {};
        const Problem problem = openRegular(QFile::encodeName(path), O_RDONLY, file, info, reason);
        if (problem != Problem::None)
            return problem;
        size = info.st_size;
        if (size > limit) {
            reason = QLocale(QLocale::Italian).toString(double(size) / MiB, 'f', 1) + QStringLiteral(" MB");
            return Problem::TooBig;
        }
        return Problem::None;
    }

    // Reads exactly `length` bytes; false, with the reason, when the file ends first or the read fails.
    bool readInto(int fd, char *data, qint64 length, QString &reason)
    {
        qint64 done = 0;
        while (done < length) {
            const ssize_t n = ::read(fd, data + done, std::size_t(length - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                reason = n < 0 ? systemReason(errno) : QStringLiteral("il file si \u00e8 accorciato");
                return false;
            }
            done += n;
        }
        return true;
    }

    // After `size` bytes the file must end, and still have that size.
    bool unchanged(int fd, qint64 size, QString &reason)
    {
        char extra = 0;
        Stat after {};
        if (::read(fd, &extra, 1) != 0 || ::fstat(fd, &after) != 0 || after.st_size != size) {
            reason = QStringLiteral("il file \u00e8 cambiato mentre lo leggevo");
            return false;
        }
        return true;
    }
} // namespace

Bytes read(const QString &path, qint64 limit)
{
    Bytes result;
    Descriptor file;
    qint64 size = 0;
    result.problem = openToRead(path, limit, file, size, result.reason);
    if (!result)
        return result;
    result.bytes.resize(qsizetype(size));
    if (!readInto(file.fd, result.bytes.data(), size, result.reason)
        || !unchanged(file.fd, size, result.reason)) {
        result.problem = Problem::ReadFailed;
        result.bytes.clear();
    }
    return result;
}

namespace {
    constexpr qint64 Piece = 4 * MiB;
} // namespace

Pieces readPieces(const QString &path, qint64 limit, const std::function<void(const QByteArray &)> &take)
{
    Pieces result;
    Descriptor file;
    qint64 size = 0;
    result.problem = openToRead(path, limit, file, size, result.reason);
    QByteArray buffer;
    for (qint64 done = 0; result && done < size; done += buffer.size()) {
        buffer.resize(qsizetype(std::min(Piece, size - done)));
        if (readInto(file.fd, buffer.data(), buffer.size(), result.reason))
            take(buffer);
        else
            result.problem = Problem::ReadFailed;
    }
    if (result && !unchanged(file.fd, size, result.reason))
        result.problem = Problem::ReadFailed;
    return result;
}

namespace {
    // UTF-16 that some programs write without a byte order mark: letters of
    // the first 256 code points have a zero high byte, and a text in any 8-bit
    // encoding holds no zero byte at all.
    std::optional<QStringDecoder::Encoding> utf16WithoutMark(QByteArrayView bytes)
    {
        const QByteArrayView sample = bytes.first(std::min<qsizetype>(bytes.size(), 4096) & ~1);
        qsizetype even = 0, odd = 0;
        for (qsizetype i = 0; i < sample.size(); ++i)
            (i % 2 ? odd : even) += sample.at(i) == '\0';
        const qsizetype pairs = sample.size() / 2;
        if (pairs > 0 && odd * 3 >= pairs && even * 4 <= odd)
            return QStringDecoder::Utf16LE;
        if (pairs > 0 && even * 3 >= pairs && odd * 4 <= even)
            return QStringDecoder::Utf16BE;
        return std::nullopt;
    }

    // The bytes at the end of a piece of UTF-8 that begin a letter the next piece ends.
    qsizetype cutLetter(QByteArrayView piece)
    {
        for (qsizetype back = 1; back <= std::min<qsizetype>(3, piece.size()); ++back) {
            const uchar c = uchar(piece.at(piece.size() - back));
            if ((c & 0xC0) == 0x80)
                continue; // a continuation byte: look further back
            const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            return length > back ? back : 0;
        }
        return 0;
    }

    // Decodes a text piece by piece, so that a file is read holding only
    // the text and one piece, never the file's bytes as well.
    struct PieceDecoder
    {
        std::optional<QStringDecoder::Encoding> encoding; // unknown before the first piece
        bool marked = false; // a byte order mark names the encoding: an error refuses the file
        QByteArray carry; // the start of a letter that the next piece ends
        bool failed = false; // not the encoding found (UTF-8 broken without a mark: Windows-1252)

        void start(QByteArrayView &piece)
        {
            if (piece.startsWith("\xFF\xFE") || piece.startsWith("\xFE\xFF")) {
                encoding = piece.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE;
                piece = piece.sliced(2);
                marked = true;
            } else if (piece.startsWith("\xEF\xBB\xBF")) {
                encoding = QStringDecoder::Utf8;
                piece = piece.sliced(3);
                marked = true;
            } else {
                encoding = utf16WithoutMark(piece);
                marked = encoding.has_value(); // its zero bytes name it as well as a mark
                if (!encoding)
                    encoding = QStringDecoder::Utf8;
            }
        }

        void add(QByteArrayView piece, bool last, QString &text)
        {
            // The piece is copied only behind a carried letter start.
            const QByteArray joined = carry.isEmpty() ? QByteArray() : carry + piece.toByteArray();
            QByteArrayView whole = carry.isEmpty() ? piece : QByteArrayView(joined);
            const bool utf8 = *encoding == QStringDecoder::Utf8;
            const qsizetype cut = last ? 0 : utf8 ? cutLetter(whole) : whole.size() % 2;
            carry = whole.last(cut).toByteArray();
            whole.chop(cut);
            QString part;
            if (!decodeWith(QStringDecoder(*encoding, Stateless), whole, part)
                || (last && !utf8 && whole.size() % 2 != 0))
                failed = true;
            text += part;
        }
    };
} // namespace

bool decode(const QByteArray &bytes, QString &text)
{
    PieceDecoder decoder;
    QByteArrayView piece(bytes);
    decoder.start(piece);
    text.clear();
    decoder.add(piece, true, text);
    if (decoder.failed && decoder.marked) {
        text.clear();
        return false;
    }
    // Windows-1252 takes every byte.
    return !decoder.failed || decodeWith(QStringDecoder("windows-1252", Stateless), bytes, text);
}

Text readText(const QString &path, qint64 limit)
{
    Text result;
    Descriptor file;
    qint64 size = 0;
    result.problem = openToRead(path, std::min(limit, MaxTextBytes), file, size, result.reason);
    if (!result)
        return result;
    QByteArray buffer;
    PieceDecoder decoder;
    for (qint64 done = 0; done < size && !decoder.failed;) {
        buffer.resize(qsizetype(std::min(Piece, size - done)));
        if (!readInto(file.fd, buffer.data(), buffer.size(), result.reason)) {
            result.problem = Problem::ReadFailed;
            return { QString(), result.problem, result.reason };
        }
        QByteArrayView piece(buffer);
        if (done == 0) {
            decoder.start(piece);
            result.text.reserve(qsizetype(*decoder.encoding == QStringDecoder::Utf8 ? size : size / 2));
        }
        done += buffer.size();
        decoder.add(piece, done == size, result.text);
    }
    if (decoder.failed && decoder.marked) {
        result.problem = Problem::Undecodable;
        result.text.clear();
        return result;
    }
    if (decoder.failed) {
        // Not UTF-8 after all: Windows-1252 takes every byte, read once more.
        result.text.clear();
        result.text.reserve(qsizetype(size));
        if (::lseek(file.fd, 0, SEEK_SET) != 0) {
            result.reason = systemReason(errno);
            result.problem = Problem::ReadFailed;
        }
        for (qint64 done = 0; done < size && result;) {
            buffer.resize(qsizetype(std::min(Piece, size - done)));
            if (!readInto(file.fd, buffer.data(), buffer.size(), result.reason))
                result.problem = Problem::ReadFailed;
            QString part;
            decodeWith(QStringDecoder("windows-1252", Stateless), buffer, part);
            result.text += part;
            done += buffer.size();
        }
    }
    if (result && !unchanged(file.fd, size, result.reason))
        result.problem = Problem::ReadFailed;
    if (!result)
        result.text.clear();
    return result;
}

bool append(const QString &path, const QByteArray &bytes, QString *reason)
{
    Descriptor file;
    Stat info {};
    QString why;
    Problem problem = openRegular(QFile::encodeName(path), O_WRONLY | O_APPEND | O_CREAT, file, info, why);
    if (problem == Problem::NotRegular)
        why = QStringLiteral("non \u00e8 un file normale");
    if (problem != Problem::None) {
        if (reason)
            *reason = why;
        return false;
    }
    const off_t oldSize = info.st_size;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (reason)
                *reason = n < 0 ? systemReason(errno) : QStringLiteral("disco pieno");
            // A line the disk took only in part is cut away again, so the
            // next line never joins a broken one.
            [[maybe_unused]] const int cut = ::ftruncate(file.fd, oldSize);
            return false;
        }
        done += n;
    }
    return true;
}

qsizetype findCrLf(QStringView text, qsizetype from)
{
    // Searching for the CR alone lets the search run at full speed.
    for (;;) {
        const qsizetype cr = text.indexOf(u'\r', from);
        if (cr < 0 || (cr + 1 < text.size() && text.at(cr + 1) == u'\n'))
            return cr;
        from = cr + 1;
    }
}

bool write(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    // The explicit flush matters: commit() does not notice a buffered write
    // that the disk refused (full, or over a size limit), and would put the
    // cut file in place of the old one.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    file.cancelWriting();
    return false;
}

QString limitText(qint64 limit)
{
    return limit >= MiB ? QString::number(limit / MiB) + QStringLiteral(" MB")
                        : QString::number(std::max<qint64>(limit / 1024, 1)) + QStringLiteral(" KB");
}

QString problemText(const QString &path, Problem problem, qint64 limit, const QString &reason)
{
    const QString file = QStringLiteral("Il file\r\n") + path + QStringLiteral("\r\n");
    const QString because = reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + u')';
    switch (problem) {
    case Problem::None:
        break;
    case Problem::Missing:
        return file + QStringLiteral("non c'\u00e8") + because + u'.';
    case Problem::NotRegular:
        return file
            + QStringLiteral("non \u00e8 un file normale (\u00e8 una cartella, una coda o un dispositivo): "
                             "non lo leggo.");
    case Problem::TooBig:
        return file + QStringLiteral("\u00e8 troppo grande") + because + QStringLiteral(": il limite \u00e8 ")
            + limitText(limit) + u'.';
    case Problem::ReadFailed:
        return file + QStringLiteral("non si \u00e8 potuto leggere") + because + u'.';
    case Problem::Undecodable:
        return file
            + QStringLiteral("dichiara di essere UTF-8 o UTF-16, ma contiene byte che non lo sono: "
                             "salvalo di nuovo dal tuo editor.");
    }
    return QString();
}

} // namespace UserFile
